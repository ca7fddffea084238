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
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWidget>
#include <cstring>
#include <memory>
#include <string>

#include "console/tform1.h"
#include "console/unplug_notice.h"
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

// The names in the window when the faces were recorded. A control added
// since is not part of the record; it need only draw in one of the faces.
const char kRecordedNames[] =
    "ACOMBY1 ACOMBY2 ACOMBY3 ADRM BCOMBY1 BCOMBY2 BCOMBY3 Button1 Button10 Button11 "
    "Button12 Button17 Button170 Button171 Button172 Button2 Button3 Button4 Button5 "
    "Button6 Button7 Button73 Button74 Button75 Button76 Button79 Button8 Button80 Button81 "
    "Button9 COMAD1 COMAD2 COMDDATA1 COMDDATA2 ComboBox3 ComboBox4 DAO1H DAO1L DAO2H DAO2L "
    "DAO3H DAO3L DataQY1 DataQY2 DataQY3 Edit1 Edit2 Edit3 Edit5 GroupBox1 GroupBox2 "
    "GroupBox3 GroupBox4 GroupBox5 GroupBox7 Image1 Image2 JTME Label1 Label10 Label11 "
    "Label12 Label13 Label14 Label15 Label16 Label17 Label18 Label19 Label2 Label20 Label21 "
    "Label22 Label23 Label24 Label25 Label26 Label27 Label28 Label29 Label3 Label30 Label31 "
    "Label32 Label33 Label34 Label35 Label36 Label37 Label38 Label39 Label4 Label40 Label41 "
    "Label42 Label43 Label5 Label6 Label7 Label8 Label9 MAD1DADR MAD1MADR MAD1USE MAD1XIN "
    "MAD1XS MAD2DADR MAD2MADR MAD2USE MAD2XIN MAD2XS MAD3DADR MAD3MADR MAD3USE MAD3XIN "
    "MAD3XS MR485BT MR485JN Memo10 PageControl1 SPREALCOM ScrollLeftButton "
    "ScrollRightButton TForm1 TabSheet1 TabSheet2 centralWidget discomm "
    "qt_scrollarea_hcontainer qt_scrollarea_vcontainer qt_scrollarea_viewport "
    "qt_tabwidget_stackedwidget qt_tabwidget_tabbar";

// An unnamed widget of the console's own classes (the unplug notice) was
// added beside the description after the record, like a new name.
bool Recorded(const QString& path) {
    static const QStringList recorded = QString::fromLatin1(kRecordedNames).split(u' ');
    for (const QString& step : path.split(u'/')) {
        if (step.startsWith(QStringLiteral("console::"))) return false;
        if (!step.contains(u'#') && !recorded.contains(step)) return false;
    }
    return true;
}

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
        if (!Recorded(it.key())) {
            EXPECT_TRUE(face == kRegular || face == kBold || face == kTitle)
                << it.key().toStdString() << " draws with " << face.toStdString();
            continue;
        }
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
    // So is the unplug notice, made hidden after the description's controls.
    QSet<const QWidget*> ownFace = {ui.Label1,  ui.Label23, ui.Label42,          ui.Label43,
                                    ui.discomm, ui.Memo10,  &form.unplugNotice()};
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
