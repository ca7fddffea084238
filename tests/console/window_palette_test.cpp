// The window under a dark desktop theme, as Qt's GTK platform theme reads
// Adwaita's dark variant: every text stays readable on what it is drawn on.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <algorithm>
#include <cmath>
#include <string>

#include "console/calibration_dialog.h"
#include "console/tform1.h"

namespace {

// The contrast ratio of the web accessibility guidelines.
double Contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    // minmax returns references: it must be given values that outlive it.
    const double la = luminance(a);
    const double lb = luminance(b);
    const auto [dark, light] = std::minmax(la, lb);
    return (light + 0.05) / (dark + 0.05);
}

// Each text of `w` and what it is drawn on: a caption on the nearest widget
// behind it that paints itself, a button on its face, an entry on its field.
QList<std::pair<QColor, QColor>> TextsOf(const QWidget& w, QPalette::ColorGroup g) {
    const QPalette& own = w.palette();
    const auto* label = qobject_cast<const QLabel*>(&w);
    const auto* group = qobject_cast<const QGroupBox*>(&w);
    if ((label && !label->text().isEmpty()) || (group && !group->title().isEmpty()) ||
        qobject_cast<const QTabBar*>(&w)) {
        const QWidget* behind = &w;
        while (!behind->autoFillBackground() && !behind->isWindow())
            behind = behind->parentWidget();
        return {{own.color(g, QPalette::WindowText),
                 behind->palette().color(g, behind->backgroundRole())}};
    }
    if (qobject_cast<const QAbstractButton*>(&w))
        return {{own.color(g, QPalette::ButtonText), own.color(g, QPalette::Button)}};
    if (qobject_cast<const QLineEdit*>(&w) || qobject_cast<const QPlainTextEdit*>(&w) ||
        qobject_cast<const QAbstractItemView*>(&w))
        return {{own.color(g, QPalette::Text), own.color(g, QPalette::Base)},
                {own.color(g, QPalette::HighlightedText), own.color(g, QPalette::Highlight)}};
    return {};
}

TEST(WindowPalette, EveryTextReadsUnderADarkDesktop) {
    struct RestoreDesktop {
        ~RestoreDesktop() { QApplication::setPalette(palette); }
        QPalette palette = QApplication::palette();
    } restore;
    QPalette dark(QColor(238, 238, 236), QColor(53, 53, 53), QColor(80, 80, 80), QColor(27, 27, 27),
                  QColor(40, 40, 40), QColor(238, 238, 236), Qt::white, QColor(45, 45, 45),
                  QColor(53, 53, 53));
    dark.setColor(QPalette::Highlight, QColor(21, 83, 158));
    QApplication::setPalette(dark);
    TForm1 form;
    // The output check's window, with a row of readings open, is the form's too.
    console::CalibrationDialog calibration(form, '.');
    calibration.AskReadings(4, calibration::Pass::AsFound);

    int texts = 0;
    for (const QWidget* w : form.findChildren<QWidget*>()) {
        const auto active = TextsOf(*w, QPalette::Active);
        const auto inactive = TextsOf(*w, QPalette::Inactive);
        const auto disabled = TextsOf(*w, QPalette::Disabled);
        for (int i = 0; i < active.size(); ++i, ++texts) {
            const std::string what = w->objectName().toStdString() + " text " + std::to_string(i);
            const double enabled = Contrast(active[i].first, active[i].second);
            EXPECT_GE(enabled, 4.5) << what;
            EXPECT_GE(Contrast(inactive[i].first, inactive[i].second), 4.5) << what;
            // Disabled text looks disabled, yet still reads.
            const double dimmed = Contrast(disabled[i].first, disabled[i].second);
            EXPECT_GE(dimmed, 3.0) << what;
            EXPECT_LT(dimmed, enabled) << what;
        }
    }
    EXPECT_GE(texts, 100);
}

}  // namespace
