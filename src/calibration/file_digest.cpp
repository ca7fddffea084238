#include "calibration/file_digest.h"

#include <QByteArray>
#include <QCryptographicHash>

namespace calibration {

std::string Sha256Hex(std::string_view bytes) {
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                 QCryptographicHash::Sha256);
    return digest.toHex().toStdString();
}

}  // namespace calibration
