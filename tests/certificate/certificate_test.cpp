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
    calibration::Record record;
    record.made = "2026-12-09T03:41:07+01:00";
    record.program = "1.0";
    record.unit = {"FT-101", "VK630-E V2.1", "017", "/dev/ttyUSB0"};
    record.technician = "A. Tech";
    record.meter = "Fluke 87V #4711";
    record.settings = calibration::SettingsSection{
        "unit.json", std::string(64, 'a'), 13, false, {{"device.address", "018", "017"}}};
    calibration::OutputsSection outputs;
    outputs.tolerancePercentOfSpan = 0.3;
    outputs.asFound = {Evaluate(4, {4.012, 4.003, 3.981}, 0.3),
                       Evaluate(20, {20.408, 19.997, 19.8}, 0.3)};
    outputs.adjustment = calibration::Adjustment{
        {"000001", "000002", "000003"}, {"0.9800", "1.0000", "1.0100"}, true};
    outputs.asLeft = {Evaluate(4, {4.0005, 4.004, 3.998}, 0.3),
                      Evaluate(20, {20.006, 20.011, 20.051}, 0.3)};
    outputs.complete = true;
    record.outputs = outputs;
    return record;
}

// Every test point there can be, both passes: still one page.
calibration::Record Crowded() {
    calibration::Record record = Bench();
    record.outputs->asFound.clear();
    record.outputs->asLeft.emplace();
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
    return QString::fromUtf8(process.readAllStandardOutput());
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
          "VK630-E V2.1",
          "017",
          "/dev/ttyUSB0",
          "2026-12-09T03:41:07+01:00",
          "A. Tech",
          "Fluke 87V #4711",
          "vk630e 1.0",
          "unit.json",
          "aaaaaaaaaaaaaaaaaaaaaaaaaaaa",
          "13",
          "not verified",
          "device.address",
          "018",
          "0.30 %",
          "20 mA",
          "4.012",
          "4.003",
          "3.981",
          "20.408",
          "19.997",
          "19.800",
          "0.08",
          "0.02",
          "-0.12",
          "2.55 out of tolerance",
          "-0.02",
          "-1.25 out of tolerance",
          "000002",
          "000003",
          "0.9800",
          "1.0100",
          "4.0005",
          "20.051",
          "0.32 out of tolerance",
          "FAIL"}},
        {Crowded(), Paper::Letter, "(letter)", {"24.111", "23.998", "-1.39 out of tolerance"}},
    };
    const std::string dir = testing::TempDir();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pageSize);
        const std::string path = dir + "certificate_test.pdf";
        RenderCertificate(c.record, path, c.paper);
        // Cells wrap their words onto lines of their own.
        const QString text = Output(PDFTOTEXT_PATH, {QString::fromStdString(path), "-"})
                                 .replace(QRegularExpression("\\s+"), " ");
        for (const char* value : c.shown)
            EXPECT_TRUE(text.contains(value)) << value << "\n" << text.toStdString();
        const QString info = Output(PDFINFO_PATH, {QString::fromStdString(path)});
        EXPECT_TRUE(info.contains(QRegularExpression("Pages: +1\n"))) << info.toStdString();
        EXPECT_TRUE(info.contains(c.pageSize)) << info.toStdString();
        std::filesystem::remove(path);
    }
}

TEST(Certificate, LeavesNoFileWhereItCannotWrite) {
    const std::string path = testing::TempDir() + "no-such-folder/certificate.pdf";
    EXPECT_THROW(RenderCertificate(Bench(), path, Paper::A4), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace certificate

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
