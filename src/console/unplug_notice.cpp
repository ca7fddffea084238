#include "console/unplug_notice.h"

#include <sys/stat.h>

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QPalette>

#include "seriallink/port_device.h"

namespace console {
namespace {

// Right of the title, above the version label: the one free area of the
// header, so no control of the window moves or is covered.
constexpr QRect kPlace(825, 2, 206, 50);

}  // namespace

UnplugNotice::UnplugNotice(QWidget* parent) : QLabel(parent) {
    setGeometry(kPlace);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont face = font();
    face.setBold(false);
    setFont(face);
    hide();
}

void UnplugNotice::PortGone(const std::string& commName) {
    commName_ = commName;
    back_ = false;
    seenAbsent_ = !DeviceExists();
    const QString name =
        fontMetrics().elidedText(QFile::decodeName(commName.c_str()), Qt::ElideMiddle, width() - 4);
    setToolTip(QFile::decodeName(commName.c_str()));
    Show(QStringLiteral("%1 is gone. Press Close, reconnect the adapter, then press Open.")
             .arg(name),
         QStringLiteral("#8b0000"));
}

void UnplugNotice::DevicesChanged() {
    if (isHidden() || back_) return;
    if (!DeviceExists()) {
        seenAbsent_ = true;
        return;
    }
    if (!seenAbsent_) return;
    back_ = true;
    const QString name = fontMetrics().elidedText(QFile::decodeName(commName_.c_str()),
                                                  Qt::ElideMiddle, width() - 4);
    Show(QStringLiteral("%1 is back. Press Close, then Open to go on.").arg(name),
         QStringLiteral("#006400"));
}

void UnplugNotice::Dismiss() {
    hide();
    clear();
    back_ = false;
}

bool UnplugNotice::DeviceExists() const {
    struct stat info {};
    return ::stat(seriallink::DevicePathFor(commName_).c_str(), &info) == 0;
}

void UnplugNotice::Show(const QString& text, const QString& colour) {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, QColor(colour));
    setPalette(colours);
    setText(text);
    show();
    raise();
}

}  // namespace console
