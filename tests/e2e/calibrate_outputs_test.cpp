// The guided output check against the simulated transmitter, done from the
// keyboard as a technician at the bench does it: the menu by its letters,
// the fields by Tab, the readings typed with Enter between them; then the
// record and the certificate saved from the Device menu.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTemporaryDir>
#include <array>
#include <csignal>
#include <string>

#include "calibration/file_digest.h"
#include "calibration/record.h"
#include "console/calibration_dialog.h"
#include "console/calibration_run.h"
#include "console/field_text.h"
#include "console/settings_in_window.h"
#include "console_on_sim.h"
#include "menu_clicks.h"

namespace e2e {
namespace {

using Readings = std::array<const char*, 3>;

class CalibrateOutputs : public ConsoleOnSim {
protected:
    static QWidget* Focused() { return QApplication::focusWidget(); }
    static bool FocusIs(const char* name) { return Focused() && Focused()->objectName() == name; }
    static void Key(Qt::Key key) { QTest::keyClick(Focused(), key); }

    QDialog* Dialog() { return form().findChild<QDialog*>("CalibrationDialog"); }
    QString Shown(const char* label) { return Dialog()->findChild<QLabel*>(label)->text(); }

    void OpenCheck() {
        console_test::ClickMenuItem(form(), "CalibrateOutputs1");
        ASSERT_TRUE(QTest::qWaitFor([this] { return Dialog() && Dialog()->isActiveWindow(); }));
    }

    void TabTo(const char* name) {
        for (int i = 0; i < 20 && !FocusIs(name); ++i) Key(Qt::Key_Tab);
        ASSERT_TRUE(FocusIs(name))
            << name << " (focus on " << (Focused() ? Focused()->objectName().toStdString() : "none")
            << ") active "
            << (QApplication::activeWindow()
                    ? QApplication::activeWindow()->objectName().toStdString()
                    : "none")
            << " dialog focus "
            << (Dialog()->focusWidget() ? Dialog()->focusWidget()->objectName().toStdString()
                                        : "none");
    }

    void TypeInto(const char* name, const QString& text) {
        ASSERT_NO_FATAL_FAILURE(TabTo(name));
        QTest::keyClick(Focused(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Focused(), text);
    }

    void StartCheck() {
        ASSERT_NO_FATAL_FAILURE(TypeInto("CalTag", "FT-101"));
        ASSERT_NO_FATAL_FAILURE(TypeInto("CalTechnician", "A. Meier"));
        ASSERT_NO_FATAL_FAILURE(TypeInto("CalMeter", "Fluke 87V #4411"));
        ASSERT_NO_FATAL_FAILURE(TabTo("CalStart"));
        Key(Qt::Key_Space);
    }

    // Waits until the row asks for its readings, then types them with the
    // regional separator, Enter after each.
    void TypeReadings(const Readings& readings) {
        ASSERT_TRUE(QTest::qWaitFor([] { return FocusIs("CalReading1"); },
                                    static_cast<int>(kReplyDeadline.count())))
            << Shown("CalStatus").toStdString();
        for (const char* reading : readings) {
            QTest::keyClicks(Focused(), Regional(reading));
            Key(Qt::Key_Return);
        }
    }

    static QString Regional(const char* number) {
        return QString::fromLatin1(number).replace(u'.', QChar(console::SystemDecimalSeparator()));
    }

    bool Ended() {
        return QTest::qWaitFor([this] { return !Shown("CalVerdict").isEmpty(); },
                               static_cast<int>(kReplyDeadline.count()));
    }

    calibration::Record SaveRecord(const QString& path) {
        console_test::FileDialogAnswer answer(path);
        console_test::ClickMenuItem(form(), "SaveRecord1");
        QFile file(path);
        EXPECT_EQ(answer.asked, 1);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return calibration::ReadRecord(file.readAll().toStdString(), "record");
    }

    void TearDown() override {
        // Qt's file dialogs share the folder visited last in the process; the
        // tests after this one start from the working folder.
        QFileDialog().setDirectory(QDir::currentPath());
        ConsoleOnSim::TearDown();
    }

    QTemporaryDir dir_;
};

TEST_F(CalibrateOutputs, FoundAdjustedAndLeftThenRecordedAndCertified) {
    ReadParameters();
    console_test::ClickMenuItem(form(), "WriteAllSettings1");
    ASSERT_TRUE(boxes_.WaitForBox(std::chrono::milliseconds(60'000)));
    ASSERT_NO_FATAL_FAILURE(OpenCheck());
    ASSERT_NO_FATAL_FAILURE(StartCheck());
    // Output 1 reads 2 % of span high at 20 mA, output 2 3 % low.
    for (const Readings& point :
         {Readings{"4.01", "4.00", "3.98"}, Readings{"12.02", "11.99", "12.00"},
          Readings{"20.40", "19.50", "20.00"}})
        ASSERT_NO_FATAL_FAILURE(TypeReadings(point));
    for (const Readings& point :
         {Readings{"4.00", "4.04", "4.00"}, Readings{"12.01", "12.00", "11.99"},
          Readings{"20.00", "19.99", "20.01"}})
        ASSERT_NO_FATAL_FAILURE(TypeReadings(point));
    ASSERT_TRUE(Ended()) << Shown("CalStatus").toStdString();
    EXPECT_EQ(Shown("CalVerdict"), "Verdict: pass");
    EXPECT_TRUE(Shown("CalNotes")
                    .contains("The outputs stay at 20 mA until the transmitter is "
                              "restarted."));
    auto* table = Dialog()->findChild<QTableWidget*>("CalTable");
    ASSERT_EQ(table->rowCount(), 6);
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 8; ++column)
            ASSERT_NE(table->item(row, column), nullptr) << row << ", " << column;
    const QString high = Regional("2.50");
    EXPECT_EQ(table->item(2, 5)->text(), high);
    EXPECT_EQ(table->item(2, 5)->toolTip(), "out of tolerance");
    EXPECT_EQ(table->item(2, 6)->text(), Regional("-3.13"));
    // Exactly at the tolerance as shown: within it.
    EXPECT_EQ(table->item(3, 6)->text(), Regional("0.25"));
    EXPECT_EQ(table->item(3, 6)->toolTip(), "");
    EXPECT_TRUE(Shown("CalWorst").contains("as found: output 1 " + high + " %"));

    // The device holds the new coefficients: the window reads them back.
    Key(Qt::Key_Escape);
    ASSERT_FALSE(Dialog()->isVisible());
    ReadParameters();
    EXPECT_EQ(TextOf("MAD1XS"), Regional("0.9800"));
    EXPECT_EQ(TextOf("MAD2XS"), Regional("1.0250"));
    EXPECT_EQ(TextOf("MAD3XS"), Regional("1.0000"));

    const calibration::Record saved = SaveRecord(dir_.filePath("FT-101.json"));
    EXPECT_EQ(saved.unit,
              (calibration::Unit{"FT-101", "VK630-E V1.0 SIM", "017", sim().LinkPath()}));
    EXPECT_EQ(saved.technician, "A. Meier");
    EXPECT_EQ(saved.meter, "Fluke 87V #4411");
    ASSERT_TRUE(saved.settings && saved.outputs);
    EXPECT_EQ(saved.settings->file, "");
    EXPECT_EQ(saved.settings->written, 11);  // the command slots have no enable chosen
    EXPECT_TRUE(saved.settings->verified);
    EXPECT_EQ(saved.outputs->asFound.size(), 3u);
    ASSERT_TRUE(saved.outputs->adjustment && saved.outputs->asLeft);
    EXPECT_EQ(saved.outputs->adjustment->before,
              (std::array<std::string, 3>{"000001", "000001", "000001"}));
    EXPECT_TRUE(saved.outputs->adjustment->verified);
    EXPECT_EQ(saved.outputs->asLeft->at(0).errorPercentOfSpan[1], 0.25);
    EXPECT_EQ(calibration::Verdict(saved), "pass");
    // The next unit gets a tag of its own; who checks with what stays.
    EXPECT_EQ(Dialog()->findChild<QLineEdit*>("CalTag")->text(), "");
    EXPECT_EQ(Dialog()->findChild<QLineEdit*>("CalMeter")->text(), "Fluke 87V #4411");

    console_test::FileDialogAnswer answer(dir_.filePath("FT-101.pdf"));
    console_test::ClickMenuItem(form(), "SaveCertificate1");
    QFile pdf(dir_.filePath("FT-101.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
}

TEST_F(CalibrateOutputs, AHangUpMidCheckKeepsWhatWasMeasuredAsIncomplete) {
    // Verified against a file first: the record names it by its bytes.
    ReadParameters();
    // In the working folder, where the settings questions of the tests after
    // this one expect to start.
    const QString settings = QDir::current().absoluteFilePath("calibrate-outputs-unit.json");
    console::SaveSettingsFile(settings, console::FieldsOf(form()));
    const auto removeSettings = qScopeGuard([&] { QFile::remove(settings); });
    {
        console_test::FileDialogAnswer verifyWith(settings);
        console_test::ClickMenuItem(form(), "VerifyAgainstFile1");
        ASSERT_TRUE(boxes_.WaitForBox(std::chrono::milliseconds(60'000)));
    }
    ASSERT_NO_FATAL_FAILURE(OpenCheck());
    ASSERT_NO_FATAL_FAILURE(StartCheck());
    // A reading that is no number is named, and its cell kept for correction.
    ASSERT_NO_FATAL_FAILURE(TypeReadings({"4.01", "4.0x", "3.98"}));
    ASSERT_TRUE(boxes_.WaitForBox());
    EXPECT_EQ(boxes_.boxes().back().text, "'" + Regional("4.0x") +
                                              "' is not a valid floating "
                                              "point value.");
    ASSERT_TRUE(QTest::qWaitFor([] { return FocusIs("CalReading2"); }));
    QTest::keyClicks(Focused(), Regional("4.00"));
    Key(Qt::Key_Return);
    Key(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([] { return FocusIs("CalReading1"); },
                                static_cast<int>(kReplyDeadline.count())));
    sim().Signal(SIGKILL);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(Shown("CalStatus"), "The line hung up.");
    EXPECT_EQ(Shown("CalVerdict"), "Verdict: incomplete");
    Key(Qt::Key_Escape);
    const calibration::Record saved = SaveRecord(dir_.filePath("FT-101.json"));
    ASSERT_TRUE(saved.outputs);
    EXPECT_EQ(saved.outputs->asFound.size(), 1u);
    EXPECT_FALSE(saved.outputs->complete);
    EXPECT_EQ(calibration::Verdict(saved), "incomplete");
    QFile file(settings);
    ASSERT_TRUE(saved.settings && file.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.settings->file, settings.toStdString());
    EXPECT_EQ(saved.settings->sha256, calibration::Sha256Hex(file.readAll().toStdString()));
    EXPECT_EQ(saved.settings->written, 0);
    EXPECT_TRUE(saved.settings->verified);
}

}  // namespace
}  // namespace e2e
