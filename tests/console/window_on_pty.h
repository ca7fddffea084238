// Test support for the window's command and decoding tests: a pseudo-terminal
// standing in for the transmitter's line, the window opened on its slave,
// and a catcher for the message boxes an action shows.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/tform1.h"
#include "ui_tform1.h"

namespace console_test {

using namespace std::chrono_literals;

// Owns both ends; the test reads what the window sends on the master and
// writes the transmitter's replies there.
class Pty {
public:
    Pty() {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) == 0) path_ = name;
    }
    ~Pty() {
        if (master_ >= 0) ::close(master_);
        if (slave_ >= 0) ::close(slave_);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return master_ >= 0 && !path_.empty(); }

    // The transmitter's end goes away, as when an adapter is pulled: the
    // slave hangs up.
    void CloseMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }
    const std::string& slavePath() const { return path_; }

    // Reads until `count` bytes have come (or `timeout` passes), then keeps
    // reading while more bytes follow within `settle`, so a frame that is too
    // long shows as such instead of spilling into the next one.
    std::string Read(std::size_t count, std::chrono::milliseconds timeout = 3s,
                     std::chrono::milliseconds settle = 30ms) {
        std::string bytes;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (bytes.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left <= 0ms || !ReadSome(bytes, left)) break;
        }
        while (ReadSome(bytes, settle)) {
        }
        return bytes;
    }

    // True when nothing at all arrives within `wait`.
    bool Silent(std::chrono::milliseconds wait) {
        std::string bytes;
        return !ReadSome(bytes, wait);
    }

    void Write(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(master_, bytes.data(), bytes.size());
            if (n <= 0) return;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

private:
    bool ReadSome(std::string& bytes, std::chrono::milliseconds wait) {
        pollfd pfd{master_, POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(wait.count())) <= 0 || !(pfd.revents & POLLIN)) {
            return false;
        }
        char chunk[4096];
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n <= 0) return false;
        bytes.append(chunk, static_cast<std::size_t>(n));
        return true;
    }

    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QString informativeText;  // shown below the message
    int width = 0;
    QFont font;
    QString shownExplanation;  // the explanation as read on screen
};

// The text a label shows, as a screen reader reads it: markup taken as
// markup only where the label shows it so.
inline QString ShownText(QWidget* label) {
    QAccessibleInterface* read = label ? QAccessible::queryAccessibleInterface(label) : nullptr;
    return read ? read->text(QAccessible::Name) : QString();
}

// Watches for message boxes while it lives: each one is recorded and closed
// with its OK button, so no test is ever left hanging in a modal loop.
class MessageBoxCatcher {
public:
    MessageBoxCatcher() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { CloseOpenBox(); });
        timer_.start();
    }

    // Runs the event loop until a box has been seen or `timeout` passes.
    bool WaitForBox(std::chrono::milliseconds timeout = 2s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (boxes_.empty() && std::chrono::steady_clock::now() < deadline) {
            QTest::qWait(5);
        }
        return !boxes_.empty();
    }

    const std::vector<SeenBox>& boxes() const { return boxes_; }

private:
    void CloseOpenBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        boxes_.push_back(
            {box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
             box->informativeText(), box->width(), box->font(),
             ShownText(box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))});
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
            ok->click();
        } else {
            box->reject();
        }
    }

    QTimer timer_;
    std::vector<SeenBox> boxes_;
};

// The window, shown on the offscreen platform, with its port open on a pty.
class WindowOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty_.ok());
        form_ = std::make_unique<TForm1>();
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        ui().SPREALCOM->setEditText(QString::fromStdString(pty_.slavePath()));
        ui().Button1->click();
        ASSERT_TRUE(form_->portOpen()) << "could not open " << pty_.slavePath();
    }

    void TearDown() override { form_.reset(); }

    Ui::TForm1& ui() { return *form_->controls(); }
    std::int32_t& replyKind() { return form_->exchange().ReplyKind; }

    // Clicks the button and returns what reaches the line, expecting about
    // `expected` bytes.
    std::string ClickAndRead(QAbstractButton* button, std::size_t expected) {
        button->click();
        return pty_.Read(expected);
    }

    Pty pty_;
    std::unique_ptr<TForm1> form_;
};

}  // namespace console_test
