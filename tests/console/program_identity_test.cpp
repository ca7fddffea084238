// A Wayland desktop matches the window to its menu entry and icon by the
// desktop file name the program gives, which must be the installed entry's.
#include "console/program_identity.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>

TEST(ProgramIdentity, DesktopFileNameIsTheInstalledEntrysName) {
    console::IdentifyProgram();
    const QStringList entries =
        QDir(QStringLiteral(VK_PACKAGING_BUILD_DIR)).entryList({"*.desktop"}, QDir::Files);
    ASSERT_EQ(entries.size(), 1) << entries.join(' ').toStdString();
    EXPECT_EQ(QGuiApplication::desktopFileName() + ".desktop", entries.front());
    EXPECT_EQ(QGuiApplication::applicationName(), "VK630-E");
}
