#include "console/record_in_window.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <exception>
#include <string>

#include "certificate/certificate.h"
#include "console/field_text.h"
#include "console/program_name.h"

namespace console {
namespace {

// The library's messages name files and quote texts in UTF-8.
[[noreturn]] void RethrowInOperatorWords() {
    try {
        throw;
    } catch (const std::exception& failed) {
        throw FieldError(QString::fromUtf8(failed.what()));
    }
}

}  // namespace

QString AskRecordFile(QWidget& parent, RecordQuestion question, const calibration::Unit& unit) {
    // Kept for this run only: the console stores nothing between runs.
    static QString lastFolder;
    const bool record = question == RecordQuestion::Record;
    const QString suffix = record ? QStringLiteral("json") : QStringLiteral("pdf");
    QFileDialog dialog(&parent,
                       record ? QStringLiteral("Save Record") : QStringLiteral("Save Certificate"),
                       lastFolder,
                       record ? QStringLiteral("Calibration records (*.json);;All files (*)")
                              : QStringLiteral("Certificates (*.pdf);;All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    // A record is added to, not overwritten: the merge decides what stays.
    if (record) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const std::string& name = unit.tag.empty() ? unit.address : unit.tag;
    // The tag is the technician's text: nothing in it may lead elsewhere.
    QString stem = QString::fromUtf8(name).replace(u'/', u'-');
    if (stem.isEmpty() || stem.startsWith(u'.')) stem.prepend(QStringLiteral("unit"));
    dialog.selectFile(QStringLiteral("vk630e-%1.%2").arg(stem, suffix));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().constFirst();
    lastFolder = QFileInfo(path).absolutePath();
    return path;
}

calibration::Record SaveRecordFile(const QString& path, const calibration::Record& update) {
    try {
        return calibration::SaveRecord(QFile::encodeName(path).toStdString(), update);
    } catch (...) {
        RethrowInOperatorWords();
    }
}

void SaveCertificateFile(const QString& path, const calibration::Record& record) {
    try {
        certificate::RenderCertificate(record, QFile::encodeName(path).toStdString(),
                                       certificate::PaperOfLocale());
    } catch (...) {
        RethrowInOperatorWords();
    }
}

void SayNothingToRecord(QWidget& parent) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kProgramName),
                    QStringLiteral("Nothing to record yet: run \"Write All Settings\", \"Verify "
                                   "Against File\u2026\" or \"Calibrate Outputs\u2026\" first."),
                    QMessageBox::Ok, &parent);
    box.exec();
}

}  // namespace console
