#include "console/unplug_notice.h"

#include <QFile>
#include <QFontMetrics>
#include <QPalette>

#include "console/window_fonts.h"

namespace console {
namespace {

// Right of the title, above the version label: the one free area of the
// header, so no control of the window moves or is covered.
constexpr QRect kPlace(825, 2, 206, 50);

}  // namespace

UnplugNotice::UnplugNotice(QWidget* parent) : QLabel(parent) {
    setGeometry(kPlace);
    setWordWrap(true);
    // It names a path, which may hold anything, "<b>" included.
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFont(ContentsFace());
    hide();
}

void UnplugNotice::PortGone(const std::string& commName) {
    commName_ = commName;
    back_ = false;
    setToolTip(QFile::decodeName(commName.c_str()));
    Show(QStringLiteral("%1 is gone; it opens again when the same adapter is back."),
         QStringLiteral("#8b0000"));
}

void UnplugNotice::DeviceBack() {
    if (isHidden() || back_) return;
    back_ = true;
    Show(QStringLiteral("%1 is back. Press Close, then Open to go on."), QStringLiteral("#006400"));
}

void UnplugNotice::Dismiss() {
    hide();
    clear();
    back_ = false;
}

void UnplugNotice::Tell(const QString& text, bool trouble, const QString& details) {
    back_ = true;
    setToolTip(details.isEmpty() ? QFile::decodeName(commName_.c_str()) : details);
    Show(text, trouble ? QStringLiteral("#8b0000") : QStringLiteral("#006400"));
}

// `text` names the port as %1, shortened in the middle to fit a line.
void UnplugNotice::Show(const QString& text, const QString& colour) {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, QColor(colour));
    setPalette(colours);
    setText(text.arg(fontMetrics().elidedText(QFile::decodeName(commName_.c_str()), Qt::ElideMiddle,
                                              width() - 4)));
    show();
    raise();
}

}  // namespace console
