// The error box of a failed Open explains the failure below the serial
// component's message, whichever message it is and whatever the system's
// error was: the error number travels with the exception.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "console/tform1.h"
#include "ui_tform1.h"
#include "window_on_pty.h"

namespace {

namespace fs = std::filesystem;

TEST(OpenFailure, ErrorBoxExplainsEveryRefusedOpen) {
    char pattern[] = "/tmp/vk630-open-failure-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const std::string file = dir + "/settings.txt";
    std::ofstream(file) << "not a port";
    // A locked master makes opening its slave fail with an I/O error.
    int master = -1, slave = -1, one = 1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    ASSERT_EQ(::ioctl(master, TIOCSPTLCK, &one), 0);
    const std::string failing = name;
    const struct {
        std::string path, message, explanation;
    } rows[] = {
        {file, "File handle is not a comm handle ",
         file + " is a regular file, not a serial port. Choose a port from the list."},
        {dir, "File handle is not a comm handle ",
         dir + " is a directory, not a serial port. Choose a port from the list."},
        {failing, "Error opening serial port.",
         "The system could not open " + failing + ": " + std::strerror(EIO) +
             ". If the port is on an adapter, unplug the adapter and plug it in again, then "
             "press Open."},
    };
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    console_test::MessageBoxCatcher boxes;
    std::size_t seen = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        form.controls()->SPREALCOM->setEditText(QString::fromStdString(row.path));
        QTest::mouseClick(form.controls()->Button1, Qt::LeftButton);
        ASSERT_EQ(boxes.boxes().size(), ++seen);
        EXPECT_EQ(boxes.boxes().back().text.toStdString(), row.message);
        EXPECT_EQ(boxes.boxes().back().informativeText.toStdString(), row.explanation);
        EXPECT_EQ(form.controls()->Button1->text(), "Open");
    }
    ::close(master);
    ::close(slave);
    fs::remove_all(dir);
}

}  // namespace
