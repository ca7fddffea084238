// What the certificate says, as rich text for Qt's layout.
#pragma once

#include <QString>
#include <QStringList>

#include "calibration/record.h"

namespace certificate {

// The page's content; `fontPoints` is the body text's size (the document's
// default font), the title and the verdict scale with it.
QString CertificateHtml(const calibration::Record& record, double fontPoints);

}  // namespace certificate
