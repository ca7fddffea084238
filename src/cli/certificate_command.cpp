// `vk630e-cli certificate`: the only command that needs the toolkit's
// painting, so the only one that starts it, on the offscreen platform that
// needs no display.
#include <QGuiApplication>
#include <cstdio>
#include <stdexcept>

#include "certificate/certificate.h"
#include "cli/commands.h"
#include "cli/record_file.h"

namespace cli {
namespace {

// The platform's remarks (no runtime folder, no session) say nothing a
// technician could act on; failures reach them as the command's own errors.
void KeepOnlyCriticalMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "vk630e-cli: %s\n", qPrintable(text));
}

}  // namespace

ExitStatus RenderCertificateFile(const std::string& record, const std::string& pdf) {
    calibration::Record read;
    try {
        read = calibration::ReadRecord(ReadFileBytes(record), record);
    } catch (const calibration::BadRecordFile& error) {
        throw Failure(kBadFile, error.what());
    }

    int argc = 3;
    char program[] = "vk630e-cli", platform[] = "-platform", offscreen[] = "offscreen";
    char* argv[] = {program, platform, offscreen, nullptr};
    qInstallMessageHandler(KeepOnlyCriticalMessages);
    QGuiApplication application(argc, argv);
    try {
        certificate::RenderCertificate(read, pdf, certificate::PaperOfLocale());
    } catch (const std::runtime_error& error) {
        throw Failure(kFileNotWritten, error.what());
    }
    return kDone;
}

}  // namespace cli
