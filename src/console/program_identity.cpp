#include "console/program_identity.h"

#include <QGuiApplication>

#include "console/program_name.h"

namespace console {

void IdentifyProgram() {
    QGuiApplication::setApplicationName(QString::fromLatin1(kProgramName));
    // The installed entry's file name without ".desktop"; the build takes
    // both from one setting.
    QGuiApplication::setDesktopFileName(QStringLiteral(VK_DESKTOP_ENTRY_ID));
}

}  // namespace console
