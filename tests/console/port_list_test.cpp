// The port box lists the serial devices present after its nine fixed items
// and follows them as they come and go, through real device events from a
// directory the test controls, without ever changing what the operator
// typed or chose; and a failed open explains itself in the error box.
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "console/port_feeder.h"
#include "console/tform1.h"
#include "ports/open_diagnosis.h"
#include "ui_tform1.h"
#include "window_on_pty.h"

namespace {

namespace fs = std::filesystem;

class PortList : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vk630-portlist-XXXXXX";
        root_ = ::mkdtemp(pattern);
        places_.byIdDir = root_ + "/by-id";
        places_.devDir = root_ + "/dev";
        places_.simulatorLink = root_ + "/vk630-sim";
        fs::create_directories(places_.byIdDir);
        fs::create_directories(places_.devDir);
        form_ = std::make_unique<TForm1>();
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        // Listed once painted, from the system's own places.
        ASSERT_TRUE(QTest::qWaitFor([this] { return form_->portFeeder().started(); }));
        form_->portFeeder().Start(places_);
    }
    void TearDown() override {
        form_.reset();
        fs::remove_all(root_);
    }

    QComboBox& box() { return *form_->controls()->SPREALCOM; }
    QStringList Items() {
        QStringList items;
        for (int i = 0; i < box().count(); ++i) items << box().itemText(i);
        return items;
    }
    // Runs the event loop until the box lists `path` (or no longer does).
    bool WaitListed(const std::string& path, bool listed) {
        return QTest::qWaitFor(
            [&] { return (box().findText(QString::fromStdString(path)) >= 0) == listed; });
    }

    std::string root_;
    ports::PortPlaces places_;
    std::unique_ptr<TForm1> form_;
    console_test::Pty adapter_;
};

TEST_F(PortList, FixedItemsFirstThenPortsThatComeAndGo) {
    const QStringList fixed = {"COM1", "COM2", "COM3", "COM4", "COM5",
                               "COM6", "COM7", "COM8", "COM9"};
    EXPECT_EQ(Items().mid(0, 9), fixed);
    EXPECT_EQ(box().currentIndex(), -1);
    EXPECT_EQ(box().currentText(), "COM1");
    const int before = box().count();

    const std::string stable = places_.byIdDir + "/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0";
    fs::create_symlink(adapter_.slavePath(), stable);
    ASSERT_TRUE(WaitListed(stable, true));
    const int item = box().findText(QString::fromStdString(stable));
    EXPECT_GE(item, 9);
    EXPECT_EQ(box().count(), before + 1);
    EXPECT_TRUE(box()
                    .itemData(item, Qt::ToolTipRole)
                    .toString()
                    .contains(QString::fromStdString(adapter_.slavePath())));
    EXPECT_EQ(Items().mid(0, 9), fixed);
    EXPECT_EQ(box().currentIndex(), -1) << "nothing chosen for the operator";
    EXPECT_EQ(box().currentText(), "COM1");

    // The drop-down shows whole paths, and every item without scrolling.
    box().showPopup();
    const int needed = QFontMetrics(box().view()->font()).horizontalAdvance(box().itemText(item));
    EXPECT_GE(box().view()->viewport()->width(), needed);
    const QModelIndex last = box().model()->index(box().count() - 1, 0);
    EXPECT_TRUE(box().view()->viewport()->rect().contains(box().view()->visualRect(last)));
    box().hidePopup();

    fs::remove(stable);
    ASSERT_TRUE(WaitListed(stable, false));
    EXPECT_EQ(box().count(), before);
}

// What the operator typed or chose survives every change of the list.
TEST_F(PortList, OperatorsTextAndChoiceSurviveUpdates) {
    const std::string first = places_.byIdDir + "/usb-first";
    const std::string second = places_.byIdDir + "/usb-second";
    struct Row {
        const char* name;
        std::function<void()> operatorDoes;
        int expectedIndexAfter;  // -2: the index of `first`
        QString expectedText;
    };
    const Row rows[] = {
        {"TypedTextStays",
         [&] {
             box().lineEdit()->setFocus();
             box().lineEdit()->selectAll();
             QTest::keyClicks(box().lineEdit(), "/dev/ttyU");
         },
         -1, "/dev/ttyU"},
        {"FixedItemStaysChosen", [&] { box().setCurrentIndex(2); }, 2, "COM3"},
        {"DiscoveredItemFollowsItsPlace",
         [&] { box().setCurrentIndex(box().findText(QString::fromStdString(first))); }, -2,
         QString::fromStdString(first)},
    };
    fs::create_symlink(adapter_.slavePath(), first);
    ASSERT_TRUE(WaitListed(first, true));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.operatorDoes();
        // An item sorted in before the chosen one shifts its index.
        fs::create_symlink(adapter_.slavePath(), places_.byIdDir + "/usb-aaa");
        ASSERT_TRUE(WaitListed(places_.byIdDir + "/usb-aaa", true));
        fs::create_symlink(adapter_.slavePath(), second);
        ASSERT_TRUE(WaitListed(second, true));
        const int expected = row.expectedIndexAfter == -2
                                 ? box().findText(QString::fromStdString(first))
                                 : row.expectedIndexAfter;
        EXPECT_EQ(box().currentIndex(), expected);
        EXPECT_EQ(box().currentText(), row.expectedText);
        fs::remove(second);
        fs::remove(places_.byIdDir + "/usb-aaa");
        ASSERT_TRUE(WaitListed(second, false));
        EXPECT_EQ(box().currentText(), row.expectedText);
    }
    // The chosen adapter pulled: its text stays, no item is chosen.
    fs::remove(first);
    ASSERT_TRUE(WaitListed(first, false));
    EXPECT_EQ(box().currentIndex(), -1);
    EXPECT_EQ(box().currentText(), QString::fromStdString(first));
}

// A device event while the drop-down is open leaves the highlight on the
// same port, so Enter picks the port the operator sees highlighted.
TEST_F(PortList, EnterPicksTheHighlightedPortThroughADeviceEvent) {
    const std::string before = places_.byIdDir + "/usb-a";
    struct Row {
        const char* name;
        std::string highlight;
        std::function<void()> deviceEvent;
        bool listedAfter;  // `before` after the event
    };
    const Row rows[] = {
        {"an adapter sorted before it comes", places_.byIdDir + "/usb-b",
         [&] { fs::create_symlink(adapter_.slavePath(), before); }, true},
        {"an adapter sorted before it goes", places_.byIdDir + "/usb-b",
         [&] { fs::remove(before); }, false},
    };
    for (const char* name : {"/usb-b", "/usb-c"})
        fs::create_symlink(adapter_.slavePath(), places_.byIdDir + name);
    ASSERT_TRUE(WaitListed(places_.byIdDir + "/usb-c", true));
    QAbstractItemView& view = *box().view();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString target = QString::fromStdString(row.highlight);
        box().showPopup();
        ASSERT_TRUE(view.isVisible());
        for (int i = 0; i < box().count() && view.currentIndex().data() != target; ++i)
            QTest::keyClick(&view, view.currentIndex().row() < box().findText(target) ? Qt::Key_Down
                                                                                      : Qt::Key_Up);
        ASSERT_EQ(view.currentIndex().data(), target);

        row.deviceEvent();
        ASSERT_TRUE(WaitListed(before, row.listedAfter));
        EXPECT_EQ(view.currentIndex().data(), target);
        QTest::keyClick(&view, Qt::Key_Return);
        EXPECT_FALSE(view.isVisible());
        EXPECT_EQ(box().currentText(), target);
        EXPECT_EQ(box().currentIndex(), box().findText(target));
    }
}

// A device event moves neither the caret nor a selection in the port box's
// text, nor turns a selection made backwards round.
TEST_F(PortList, CaretAndSelectionSurviveADeviceEvent) {
    const std::string chosen = places_.byIdDir + "/usb-b";
    const std::string before = places_.byIdDir + "/usb-a";
    const int length = static_cast<int>(chosen.size());
    struct Row {
        const char* name;
        std::vector<QKeyCombination> keys;  // after Home
        int cursor;
        int selectionStart;  // -1: none
    };
    const auto keys = [](int count, QKeyCombination key) {
        return std::vector<QKeyCombination>(static_cast<std::size_t>(count), key);
    };
    const Row rows[] = {
        {"caret inside", keys(5, Qt::Key_Right), 5, -1},
        {"selection forwards", keys(4, Qt::ShiftModifier | Qt::Key_Right), 4, 0},
        {"selection backwards",
         {Qt::Key_End, Qt::ShiftModifier | Qt::Key_Left, Qt::ShiftModifier | Qt::Key_Left},
         length - 2,
         length - 2},
    };
    fs::create_symlink(adapter_.slavePath(), chosen);
    ASSERT_TRUE(WaitListed(chosen, true));
    box().setCurrentIndex(box().findText(QString::fromStdString(chosen)));
    QLineEdit& edit = *box().lineEdit();
    edit.setFocus();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QTest::keyClick(&edit, Qt::Key_Home);
        for (const QKeyCombination key : row.keys)
            QTest::keyClick(&edit, key.key(), key.keyboardModifiers());
        ASSERT_EQ(edit.cursorPosition(), row.cursor);

        fs::create_symlink(adapter_.slavePath(), before);
        ASSERT_TRUE(WaitListed(before, true));
        EXPECT_EQ(box().currentText(), QString::fromStdString(chosen));
        EXPECT_EQ(edit.cursorPosition(), row.cursor);
        EXPECT_EQ(edit.selectionStart(), row.selectionStart);
        fs::remove(before);
        ASSERT_TRUE(WaitListed(before, false));
    }
}

// Names that mean no serial device wake the watcher yet change nothing:
// no rebuilt list, no device change told. A relevant name that adds no port
// is told as a change, still without rebuilding the list.
TEST_F(PortList, OnlyEventsAboutDevicesCount) {
    QSignalSpy changes(&form_->portFeeder(), &console::PortFeeder::devicesChanged);
    QSignalSpy inserted(box().model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(box().model(), &QAbstractItemModel::rowsRemoved);
    for (const std::string& name :
         {places_.devDir + "/tty0", places_.devDir + "/null", root_ + "/other"}) {
        SCOPED_TRACE(name);
        std::ofstream{name};
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(changes.count(), 0);
    }
    std::ofstream{places_.devDir + "/serial"};
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes.count() > 0; }));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(inserted.count() + removed.count(), 0);
}

// "Open" on a path that is not there: the message as ever, and below it
// what is wrong and which ports there are.
TEST_F(PortList, FailedOpenExplainsItselfInTheErrorBox) {
    console_test::MessageBoxCatcher boxes;
    // Any text names a path; none of it is markup.
    const std::string missing = "/dev/vk630e-<b>no</b>-such-&lt;port";
    box().lineEdit()->setFocus();
    box().lineEdit()->selectAll();
    QTest::keyClicks(box().lineEdit(), QString::fromStdString(missing));
    QTest::mouseClick(form_->controls()->Button1, Qt::LeftButton);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    const console_test::SeenBox& seen = boxes.boxes()[0];
    EXPECT_EQ(seen.text, "Error opening serial port.");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.informativeText.toStdString(),
              ports::ExplainOpenFailure(missing, ENOENT, places_));
    EXPECT_TRUE(seen.informativeText.startsWith(
        QString::fromStdString("There is no device " + missing + " on this computer. ")));
    EXPECT_EQ(seen.shownExplanation, seen.informativeText);
    EXPECT_EQ(form_->controls()->Button1->text(), "Open");
    // Wide enough that a stable name, the longest path it may name, is not
    // broken across lines.
    const QString byId("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0");
    EXPECT_GT(seen.width, QFontMetrics(seen.font).horizontalAdvance(byId));
}

}  // namespace
