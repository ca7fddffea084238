#include "certificate/certificate.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <filesystem>

namespace certificate {
namespace {

using calibration::Evaluate;

calibration::Record Bench() {
    calibration::Record record{
        "2026-12-09T03:41:07+01:00",
        "1.0",
        {"FT-101", "VK630-E V2.1", "017", "/dev/ttyUSB0"},
        "A. Tech",
        "Fluke 87V #4711",
        calibration::SettingsSection{
            "unit.json",
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
            13,
            false,
            {{"device.address", "018", "0x7"}}},
        calibration::OutputsSection{}};
    calibration::OutputsSection& outputs = *record.outputs;
    outputs.tolerancePercentOfSpan = 0.3;
    outputs.asFound = {Evaluate(4, {4.012, 4.003, 3.981}, 0.3),
                       Evaluate(20, {20.408, 20, 19.8}, 0.3)};
    outputs.adjustment = {{"000001", "000002", "000003"}, {"0.9800", "1.0000", "1.0100"}, true};
    outputs.asLeft = {Evaluate(4, {4.0005, 4.004, 3.998}, 0.3)};
    outputs.complete = true;
    return record;
}

// Every test point there can be, in both passes: still one page.
calibration::Record Crowded() {
    calibration::Record record = Bench();
    record.outputs->asFound.clear();
    for (int mA = 0; mA <= 24; ++mA) {
        record.outputs->asFound.push_back(Evaluate(mA, {mA + 0.111, mA + 0.0, mA - 0.222}, 0.3));
        record.outputs->asLeft->push_back(Evaluate(mA, {mA + 0.001, mA + 0.0, mA - 0.002}, 0.3));
    }
    return record;
}

QString Output(const char* program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program;
    // Cells wrap their words onto lines of their own.
    return QString::fromUtf8(process.readAllStandardOutput())
        .replace(QRegularExpression("\\s+"), " ");
}

TEST(Certificate, ShowsEveryValueOfTheRecordOnOnePage) {
    struct Case {
        calibration::Record record;
        Paper paper;
        const char* pageSize;
        std::vector<const char*> shown;
    };
    const Case cases[] = {
        {Bench(),
         Paper::A4,
         "(A4)",
         {"FT-101",
          "Identity VK630-E V2.1",
          "Address 017",
          "/dev/ttyUSB0",
          "2026-12-09T03:41:07+01:00",
          "A. Tech",
          "Fluke 87V #4711",
          "vk630e 1.0",
          "unit.json",
          "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
          "13 frames written; not verified",
          "device.address 018 0x7",
          "0.30 %",
          "at 20 mA",
          "4 4.012 0.08 4.003 0.02 3.981 -0.12",
          "20 20.408 2.55 out of 20.000 0.00 19.800 -1.25 out of",
          "Before 000001 000002 000003",
          "After 0.9800 1.0000 1.0100",
          "4 4.0005 0.00 4.004 0.03 3.998 -0.01",
          "Largest 2.55 0.02 -1.25",
          "Largest 0.00 0.03 -0.01",
          "FAIL"}},
        {Crowded(), Paper::Letter, "(letter)", {"24 24.111 0.69 out of", "24 24.001 0.01 24.000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pageSize);
        const std::string path = testing::TempDir() + "certificate_test.pdf";
        RenderCertificate(c.record, path, c.paper);
        const QString text = Output(PDFTOTEXT_PATH, {"-layout", QString::fromStdString(path), "-"});
        for (const char* value : c.shown)
            EXPECT_TRUE(text.contains(value)) << value << " in " << text.toStdString();
        const QString info = Output(PDFINFO_PATH, {QString::fromStdString(path)});
        EXPECT_TRUE(info.contains("Pages: 1 ")) << info.toStdString();
        EXPECT_TRUE(info.contains(c.pageSize)) << info.toStdString();
        std::filesystem::remove(path);
    }
    const std::string nowhere = testing::TempDir() + "no-such-folder/certificate.pdf";
    EXPECT_THROW(RenderCertificate(Bench(), nowhere, Paper::A4), std::runtime_error);
}

// Letter where the environment's paper is Letter: a locale compiled into a
// folder of the test's own, as a machine with en_US installed has it.
TEST(Certificate, TakesThePaperOfTheEnvironmentsLocale) {
#if defined(__SANITIZE_ADDRESS__)
    // Under AddressSanitizer glibc's loader ignores a LOCPATH set by the
    // process itself and leaks its path list; the plain build holds this.
    GTEST_SKIP() << "locale files from LOCPATH are not loaded under AddressSanitizer";
#endif
    const std::string folder = testing::TempDir() + "certificate_locales";
    std::filesystem::create_directories(folder);
    Output("localedef",
           {"-i", "en_US", "-f", "UTF-8", QString::fromStdString(folder + "/en_US.UTF-8")});
    if (!std::filesystem::exists(folder + "/en_US.UTF-8")) GTEST_SKIP() << "no locale sources";
    qputenv("LOCPATH", QByteArray::fromStdString(folder));
    const std::pair<const char*, Paper> cases[] = {{"en_US.UTF-8", Paper::Letter},
                                                   {"C", Paper::A4}};
    for (const auto& [locale, paper] : cases) {
        qputenv("LC_PAPER", locale);
        EXPECT_EQ(PaperOfLocale(), paper) << locale;
    }
    qunsetenv("LOCPATH");
    qunsetenv("LC_PAPER");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace certificate

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
