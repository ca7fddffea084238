// The window's typefaces as every widget resolves them, and the way they are
// resolved: each widget takes its face once, as it is made, instead of being
// told of a change once it and its children exist.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QMap>
#include <QPlainTextEdit>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWidget>
#include <cstring>
#include <memory>
#include <string>

#include "console/tform1.h"
#include "ui_tform1.h"

namespace {

// A widget's place in the window: the names of its ancestors and its own; an
// unnamed widget (inside a choice box, the tab control, the memo) is told by
// its kind and its rank among unnamed siblings of that kind.
QString PathOf(const QWidget& w) {
    QString step = w.objectName();
    if (step.isEmpty()) {
        int rank = 0;
        if (const QObject* parent = w.parent())
            for (const QObject* sibling : parent->children()) {
                if (sibling == &w) break;
                if (sibling->isWidgetType() && sibling->objectName().isEmpty() &&
                    std::strcmp(sibling->metaObject()->className(), w.metaObject()->className()) ==
                        0)
                    ++rank;
            }
        step = QStringLiteral("%1#%2").arg(w.metaObject()->className()).arg(rank);
    }
    return w.parentWidget() ? PathOf(*w.parentWidget()) + u'/' + step : step;
}

// What a widget's text is drawn with: the face found, its size and weight,
// and the width a sample takes in it (which also tells a narrowed face).
QString FaceOf(const QWidget& w) {
    const QFontInfo info(w.font());
    const int advance =
        QFontMetrics(w.font()).horizontalAdvance(QStringLiteral("VK630-E Transmitter 0123456789"));
    return QStringLiteral("%1 %2px %3 %4 stretch %5 advance %6")
        .arg(info.family(), QString::number(info.pixelSize()),
             info.bold() ? QStringLiteral("bold") : QStringLiteral("regular"), info.styleName(),
             QString::number(w.font().stretch()), QString::number(advance));
}

const QString kRegular =
    QStringLiteral("DejaVu Sans Condensed 11px regular Condensed stretch 0 advance 167");
const QString kBold =
    QStringLiteral("DejaVu Sans Condensed 11px bold Condensed Bold stretch 0 advance 187");
const QString kTitle =
    QStringLiteral("DejaVu Sans 27px bold Condensed Bold stretch 84 advance 446");

// Containers that draw no text of their own. They used to carry the regular
// face and now carry the bold window face, as the window description has it,
// so that the top bar and the tab captions inherit it as they are made.
const QSet<QString> kTextless = {
    "TForm1",
    "TForm1/centralWidget",
    "TForm1/centralWidget/Image2",
    "TForm1/centralWidget/PageControl1",
    "TForm1/centralWidget/PageControl1/qt_tabwidget_stackedwidget",
};
const QString kDrawsNoText = QStringLiteral("draws no text");

class WindowFonts : public ::testing::Test {
protected:
    Ui::TForm1& ui() { return *form.controls(); }
    QString faceOf(QWidget* w) { return FaceOf(*w); }
    TForm1 form;
};

// Every widget of the window, drop-down lists included, recorded as the
// window drew them before the faces were named as installed: how many
// widgets draw with each face, and a checksum over each widget's path and
// face that any single changed widget alters.
TEST_F(WindowFonts, EveryWidgetDrawsWithTheFaceItHadBefore) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QMap<QString, QString> faces;
    faces.insert(PathOf(form), FaceOf(form));
    for (QWidget* w : form.findChildren<QWidget*>()) faces.insert(PathOf(*w), FaceOf(*w));

    QMap<QString, int> widgetsPerFace;
    QCryptographicHash sum(QCryptographicHash::Sha1);
    QString listing;
    for (auto it = faces.cbegin(); it != faces.cend(); ++it) {
        QString face = it.value();
        if (kTextless.contains(it.key())) {
            EXPECT_EQ(face, kBold) << it.key().toStdString();
            face = kDrawsNoText;
        }
        ++widgetsPerFace[face];
        const QString line = it.key() + u'=' + face + u'\n';
        sum.addData(line.toUtf8());
        listing += line;
    }
    const QMap<QString, int> before = {
        {kRegular, 218}, {kBold, 41}, {kTitle, 1}, {kDrawsNoText, 5}};
    EXPECT_EQ(widgetsPerFace, before);
    EXPECT_EQ(sum.result().toHex(), "d1effd0f1b7ab7a186a3326077639091df81454b")
        << "the faces now:\n"
        << listing.toStdString();

    const std::pair<QWidget*, QString> spots[] = {
        {ui().Button1, kBold},
        {ui().SPREALCOM, kBold},
        {ui().SPREALCOM->view()->window(), kBold},  // its drop-down list
        {ui().Label4, kBold},
        {ui().PageControl1->findChild<QTabBar*>(), kBold},
        {ui().Label1, kTitle},
        {ui().Label23, kRegular},
        {ui().GroupBox7, kRegular},
        {ui().MAD2XIN, kRegular},
        {ui().MAD2XIN->view()->window(), kRegular},
        {ui().JTME, kRegular},
        {ui().Button9, kRegular},
        {ui().Image1, kRegular},
        {ui().Label42, kRegular},
        {ui().discomm, kRegular},
        {ui().Memo10, kRegular},
        {ui().Memo10->viewport(), kRegular},
    };
    for (const auto& [widget, face] : spots)
        EXPECT_EQ(faceOf(widget), face) << PathOf(*widget).toStdString();
}

// Notes every font change each widget is told of, and under which class name.
// While a widget is being made, the change that gives it its parent's face
// reaches it under the name of a base class; once made, under its own.
class LateFontChanges : public QObject {
public:
    LateFontChanges() { qApp->installEventFilter(this); }
    ~LateFontChanges() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FontChange) {
            ++all[watched];
            classesTold[watched] += QString::fromLatin1(watched->metaObject()->className()) + u' ';
        }
        return false;
    }

    QHash<QObject*, int> all;
    QHash<QObject*, QString> classesTold;
};

// Before, the pages' controls were made in the default face and all told of
// the window's when their page joined the tab control, and the top bar was
// told of the bold face after it had taken the regular one.
TEST(WindowFontResolution, NoControlIsToldOfAFaceOnceMade) {
    auto changes = std::make_unique<LateFontChanges>();
    TForm1 form;
    const QHash<QObject*, int> all = changes->all;
    const QHash<QObject*, QString> classesTold = changes->classesTold;
    changes.reset();

    Ui::TForm1& ui = *form.controls();
    // The title, the version label and the send/receive area are told of
    // their own face, once, before they are ever laid out or drawn; the
    // memo passes it on to its viewport and scroll bars.
    QSet<const QWidget*> ownFace = {ui.Label1,  ui.Label23, ui.Label42,
                                    ui.Label43, ui.discomm, ui.Memo10};
    for (QWidget* w : ui.Memo10->findChildren<QWidget*>()) ownFace.insert(w);

    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (w->window() != &form) continue;  // drop-down lists get their box's face from it
        const std::string path = PathOf(*w).toStdString();
        const QString ownClass = QString::fromLatin1(w->metaObject()->className());
        const int lateChanges =
            ownClass == "QWidget" || ownClass == "TabPage"
                ? all.value(w) - 1  // a plain container looks the same while made
                : static_cast<int>(
                      classesTold.value(w).split(u' ', Qt::SkipEmptyParts).count(ownClass));
        if (ownFace.contains(w))
            EXPECT_LE(lateChanges, 1) << path;
        else
            EXPECT_LE(lateChanges, 0) << path << " told of " << classesTold.value(w).toStdString();
    }
}

}  // namespace
