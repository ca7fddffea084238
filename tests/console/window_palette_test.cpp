// The window under a dark desktop theme: every text it draws stays readable
// against what it is drawn on.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <string>

#include "console/tform1.h"

namespace {

// Relative luminance and contrast ratio as the web accessibility guidelines
// define them.
double Luminance(const QColor& colour) {
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const auto [dark, light] = std::minmax(Luminance(a), Luminance(b));
    return (light + 0.05) / (dark + 0.05);
}

// A dark theme as Qt's GTK platform theme reads Adwaita's dark variant.
QPalette DarkDesktop() {
    QPalette dark(QColor(238, 238, 236), QColor(53, 53, 53), QColor(80, 80, 80), QColor(27, 27, 27),
                  QColor(40, 40, 40), QColor(238, 238, 236), Qt::white, QColor(45, 45, 45),
                  QColor(53, 53, 53));
    dark.setColor(QPalette::Highlight, QColor(21, 83, 158));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        dark.setColor(QPalette::Disabled, role, QColor(146, 149, 149));
    return dark;
}

class DarkDesktopPalette {
public:
    DarkDesktopPalette() { QApplication::setPalette(DarkDesktop()); }
    ~DarkDesktopPalette() { QApplication::setPalette(before_); }

private:
    QPalette before_ = QApplication::palette();
};

// A text's colour role and the colour it is drawn on: a caption on the
// nearest widget behind it that paints itself, an entry on its own field.
struct DrawnText {
    QPalette::ColorRole text;
    QPalette::ColorRole ground;
    const QWidget* groundOwner;
};

const QWidget& Backdrop(const QWidget& w) {
    const QWidget* behind = &w;
    while (!behind->autoFillBackground() && !behind->isWindow()) behind = behind->parentWidget();
    return *behind;
}

QList<DrawnText> TextsOf(const QWidget& w) {
    const auto* label = qobject_cast<const QLabel*>(&w);
    const auto* group = qobject_cast<const QGroupBox*>(&w);
    if ((label && !label->text().isEmpty()) || (group && !group->title().isEmpty()) ||
        qobject_cast<const QTabBar*>(&w)) {
        const QWidget& behind = Backdrop(w);
        return {{QPalette::WindowText, behind.backgroundRole(), &behind}};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w);
        button && !button->text().isEmpty())
        return {{QPalette::ButtonText, QPalette::Button, &w}};
    if (qobject_cast<const QLineEdit*>(&w) || qobject_cast<const QPlainTextEdit*>(&w) ||
        qobject_cast<const QAbstractItemView*>(&w))
        return {{QPalette::Text, QPalette::Base, &w},
                {QPalette::HighlightedText, QPalette::Highlight, &w}};
    return {};
}

TEST(WindowPalette, EveryTextReadsUnderADarkDesktop) {
    DarkDesktopPalette desktop;
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    // Disabled text is dimmer than enabled, yet still legible.
    const std::pair<QPalette::ColorGroup, double> leastContrast[] = {
        {QPalette::Active, 4.5}, {QPalette::Inactive, 4.5}, {QPalette::Disabled, 3.0}};
    int texts = 0;
    for (const QWidget* w : form.findChildren<QWidget*>()) {
        for (const DrawnText& drawn : TextsOf(*w)) {
            ++texts;
            const auto contrastIn = [&](QPalette::ColorGroup group) {
                return Contrast(w->palette().color(group, drawn.text),
                                drawn.groundOwner->palette().color(group, drawn.ground));
            };
            const std::string what = std::string(w->metaObject()->className()) + ' ' +
                                     w->objectName().toStdString() + " text role " +
                                     std::to_string(drawn.text);
            for (const auto& [group, least] : leastContrast)
                EXPECT_GE(contrastIn(group), least) << what << " group " << group;
            EXPECT_LT(contrastIn(QPalette::Disabled), contrastIn(QPalette::Active)) << what;
        }
    }
    EXPECT_GE(texts, 100);
}

}  // namespace
