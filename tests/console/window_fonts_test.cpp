// The window's typefaces as a machine with the package's fonts draws them,
// and the way they are resolved: each widget takes its face once, as it is
// made, instead of being told of a change once it and its children exist.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSet>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
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

// What a caption needs and the room its control gives it; no caption for
// widgets that draw none, or wrap theirs.
struct Caption {
    QString text;
    int room = 0;
};

Caption CaptionOf(const QWidget& w) {
    if (const auto* label = qobject_cast<const QLabel*>(&w); label && !label->wordWrap())
        return {label->text(), label->contentsRect().width()};
    if (const auto* button = qobject_cast<const QPushButton*>(&w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return {button->text(), button->style()
                                    ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                                    .width()};
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(&w))
        return {group->title(), group->width()};
    return {};
}

// The window as a machine with only the given fonts draws it: every widget
// finds the family and weight it names, and every caption fits its control.
void ExpectEveryFaceFoundAndEveryCaptionFitting() {
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QList<QWidget*> widgets = form.findChildren<QWidget*>();
    widgets.prepend(&form);
    for (QWidget* w : widgets) {
        const std::string path = PathOf(*w).toStdString();
        const QFont named = w->font();
        const QFontInfo found(named);
        EXPECT_EQ(found.family().toStdString(),
                  named.families().value(0, named.family()).toStdString())
            << path;
        EXPECT_EQ(found.bold(), named.bold()) << path;
        const Caption caption = CaptionOf(*w);
        if (caption.text.isEmpty()) continue;
        EXPECT_LE(QFontMetrics(named).horizontalAdvance(caption.text), caption.room)
            << path << " \"" << caption.text.toStdString() << "\"";
    }
}

// Fontconfig is read once, at start, so each set of fonts is tried in a
// child run of this same test with FONTCONFIG_FILE naming a configuration
// that offers that set alone.
constexpr char kFontsChild[] = "VK_TEST_FONTS_CHILD";

// A fresh desktop has fonts-dejavu-core; the package adds fonts-dejavu-extra,
// which installs into the same folder.
const QString kDejaVuFolder = QStringLiteral("/usr/share/fonts/truetype/dejavu");
const QStringList kDejaVuCoreFiles = {
    "DejaVuSans.ttf",          "DejaVuSans-Bold.ttf", "DejaVuSansMono.ttf",
    "DejaVuSansMono-Bold.ttf", "DejaVuSerif.ttf",     "DejaVuSerif-Bold.ttf",
};

// A fontconfig file in `scratch` offering `files` of the DejaVu folder, or
// the whole folder when none are named.
QString FontConfigOffering(const QString& scratch, const QStringList& files) {
    QString folder = kDejaVuFolder;
    if (!files.isEmpty()) {
        folder = scratch + QStringLiteral("/fonts");
        QDir().mkpath(folder);
        for (const QString& file : files)
            QFile::link(kDejaVuFolder + u'/' + file, folder + u'/' + file);
    }
    const QString path = scratch + QStringLiteral("/fonts.conf");
    QFile conf(path);
    if (!conf.open(QIODevice::WriteOnly)) return {};
    conf.write(
        QStringLiteral("<?xml version=\"1.0\"?>\n"
                       "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                       "<fontconfig><dir>%1</dir><cachedir>%2/cache</cachedir></fontconfig>\n")
            .arg(folder, scratch)
            .toUtf8());
    return path;
}

TEST(WindowFontsOfThePackage, EveryFaceFoundAndEveryCaptionFitting) {
    if (qEnvironmentVariableIsSet(kFontsChild)) {
        ExpectEveryFaceFoundAndEveryCaptionFitting();
        return;
    }
    struct Offer {
        const char* what;
        QStringList files;
        bool drawnAsLaidOut;
    };
    const Offer offers[] = {
        {"the fonts the package depends on", {}, true},
        // Without the extra package the window falls back to the wider
        // regular cut, as on a fresh desktop before the package asked for it.
        {"fonts-dejavu-core alone", kDejaVuCoreFiles, false},
    };
    for (const Offer& offer : offers) {
        SCOPED_TRACE(offer.what);
        QTemporaryDir scratch;
        const QString conf = FontConfigOffering(scratch.path(), offer.files);
        ASSERT_FALSE(conf.isEmpty());
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("FONTCONFIG_FILE", conf);
        environment.insert(kFontsChild, "1");
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(
            QCoreApplication::applicationFilePath(),
            {"--gtest_filter=WindowFontsOfThePackage.EveryFaceFoundAndEveryCaptionFitting"});
        ASSERT_TRUE(child.waitForFinished(60000));
        const std::string output = QString::fromLocal8Bit(child.readAll()).toStdString();
        ASSERT_EQ(child.exitStatus(), QProcess::NormalExit) << output;
        if (offer.drawnAsLaidOut) {
            EXPECT_EQ(child.exitCode(), 0) << output;
        } else {
            EXPECT_NE(child.exitCode(), 0) << output;
            EXPECT_NE(output.find("\"Communication Query\""), std::string::npos) << output;
            EXPECT_NE(output.find("DejaVu Sans Condensed"), std::string::npos) << output;
        }
    }
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
    const QFont desktop = QApplication::font();
    auto changes = std::make_unique<LateFontChanges>();
    TForm1 form;
    EXPECT_EQ(QApplication::font(), desktop) << "the dialogs take the desktop's face";
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
