// The window's fields as a transmitter's settings, and settings files read
// into and written from them. Nothing here sends a frame.
#pragma once

#include <QByteArray>
#include <QString>

#include "settings/device_settings.h"

class QWidget;
class TForm1;

namespace console {

// The settings as the window's fields hold them now. A text with a
// character that no frame can carry is refused (FieldError) as a "Set"
// button refuses it.
settings::Fields FieldsOf(const TForm1& window);

// Shows `fields` in the window as decoded replies are shown.
void ShowFields(TForm1& window, const settings::Fields& fields);

// The file's settings. A file that cannot be read or is refused whole
// raises a FieldError with the reader's message; nothing is shown.
// `asRead`, when given, receives the file's bytes as they were read.
settings::Fields LoadSettingsFile(const QString& path, QByteArray* asRead = nullptr);
// Replaces the file only once the whole document is written.
void SaveSettingsFile(const QString& path, const settings::Fields& fields);

enum class FileQuestion { Open, Save };
// The file the operator picks, empty when the question is cancelled.
// `suggestion` is the file name offered for saving.
QString AskSettingsFile(QWidget& parent, FileQuestion question, const QString& suggestion = {});

}  // namespace console
