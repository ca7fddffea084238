// The calibration certificate: one printable page rendered from a record,
// the same for the window and the command line.
#pragma once

#include <string>

#include "calibration/record.h"

namespace certificate {

enum class Paper { A4, Letter };
// Letter where the locale's paper size is Letter (LC_PAPER), else A4.
Paper PaperOfLocale();

// Writes the certificate of `record` as a one-page PDF at `pdfPath`, whole
// or not at all. Needs a QGuiApplication (any platform, offscreen will do).
// Throws std::runtime_error naming the file when it cannot be written.
void RenderCertificate(const calibration::Record& record, const std::string& pdfPath, Paper paper);

}  // namespace certificate
