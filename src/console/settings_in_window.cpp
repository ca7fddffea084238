#include "console/settings_in_window.h"

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QSaveFile>
#include <stdexcept>
#include <string>
#include <string_view>

#include "console/field_text.h"
#include "console/tform1.h"
#include "settings/settings_file.h"

namespace console {
namespace {

QWidget& ControlOf(const TForm1& window, std::string_view name) {
    auto* control = window.findChild<QWidget*>(QString::fromLatin1(name.data(), name.size()));
    if (control == nullptr)
        throw std::logic_error("The window has no control named " + std::string(name));
    return *control;
}

template <class Control>
const Control& As(const QWidget& control) {
    const auto* typed = qobject_cast<const Control*>(&control);
    if (typed == nullptr)
        throw std::logic_error("The control " + control.objectName().toStdString() +
                               " is not of the kind its setting needs");
    return *typed;
}

// Local time with its offset, so a file tells when it was saved wherever it
// is read.
std::string NowWithZone() {
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toStdString();
}

}  // namespace

settings::Fields FieldsOf(const TForm1& window) {
    settings::Fields fields;
    for (const settings::Setting& setting : settings::AllSettings()) {
        const QWidget& control = ControlOf(window, setting.control);
        const std::string name(setting.control);
        if (setting.shape == settings::Shape::Choice) {
            fields.indices[name] = As<QComboBox>(control).currentIndex();
        } else {
            fields.texts[name] = FieldBytes(As<QLineEdit>(control).text(), control.objectName());
        }
    }
    return fields;
}

void ShowFields(TForm1& window, const settings::Fields& fields) {
    window.ApplyUpdates({settings::ToUpdates(fields), std::nullopt});
}

settings::Fields LoadSettingsFile(const QString& path, QByteArray* asRead) {
    try {
        settings::LoadedSettings loaded = settings::ReadSettingsFile(
            QFile::encodeName(path).toStdString(), QFileInfo(path).fileName().toStdString());
        if (asRead != nullptr)
            *asRead = QByteArray(loaded.bytes.data(), static_cast<qsizetype>(loaded.bytes.size()));
        return std::move(loaded.file.fields);
    } catch (const settings::BadSettingsFile& refused) {
        // The reader names the file and quotes its texts in UTF-8.
        throw FieldError(QString::fromUtf8(refused.what()));
    }
}

void SaveSettingsFile(const QString& path, const settings::Fields& fields) {
    const settings::SettingsFile document{NowWithZone(), VK630E_VERSION, fields};
    const std::string json = settings::WriteSettings(document);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(json.data(), static_cast<qint64>(json.size())) !=
            static_cast<qint64>(json.size()) ||
        !file.commit())
        throw FieldError(QStringLiteral("Cannot save %1: %2").arg(path, file.errorString()));
}

QString AskSettingsFile(QWidget& parent, FileQuestion question, const QString& suggestion) {
    // Kept for this run only: the console stores nothing between runs.
    static QString lastFolder;
    const bool save = question == FileQuestion::Save;
    QFileDialog dialog(&parent,
                       save ? QStringLiteral("Save Settings") : QStringLiteral("Open Settings"),
                       lastFolder, QStringLiteral("Settings files (*.json);;All files (*)"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("json"));
    if (save) dialog.selectFile(suggestion);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = dialog.selectedFiles().constFirst();
    lastFolder = QFileInfo(path).absolutePath();
    return path;
}

}  // namespace console
