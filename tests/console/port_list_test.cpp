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
#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

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

// "Open" on a path that is not there: the message as ever, and below it
// what is wrong and which ports there are.
TEST_F(PortList, FailedOpenExplainsItselfInTheErrorBox) {
    console_test::MessageBoxCatcher boxes;
    const std::string missing = "/dev/vk630e-no-such-port";
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
    EXPECT_EQ(form_->controls()->Button1->text(), "Open");
    // Wide enough that a stable name, the longest path it may name, is not
    // broken across lines.
    const QString byId("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3XYZ-if00-port0");
    EXPECT_GT(seen.width, QFontMetrics(seen.font).horizontalAdvance(byId));
}

}  // namespace
