// The calibration record and its certificate saved from the window: the
// file questions, and the refusals and failures put in the operator's
// words. Nothing here talks to the device.
#pragma once

#include <QString>

#include "calibration/record.h"

class QWidget;

namespace console {

enum class RecordQuestion { Record, Certificate };
// The file the operator picks, empty when the question is cancelled; the
// name offered is made from the unit's tag, else its address.
QString AskRecordFile(QWidget& parent, RecordQuestion question, const calibration::Unit& unit);

// `update` merged into the record the file holds for the same unit. A file
// of another unit, or one that cannot be read or written, raises a
// FieldError with the reason; the file is then as it was.
calibration::Record SaveRecordFile(const QString& path, const calibration::Record& update);
// The certificate of `record` as a PDF, on the locale's paper.
void SaveCertificateFile(const QString& path, const calibration::Record& record);

// Neither a settings run nor a check has been done since the last save.
void SayNothingToRecord(QWidget& parent);

}  // namespace console
