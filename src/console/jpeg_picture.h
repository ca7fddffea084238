// The window's two pictures are JPEG artwork decoded with libjpeg itself, the
// program's declared dependency, rather than through Qt's image plugins.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>

class QLabel;

namespace console {

// The decoded picture, or a null image when the bytes are not a JPEG that
// decodes cleanly (a damaged picture is not shown half-grey).
QImage DecodeJpeg(QByteArrayView bytes);

// Shows the JPEG stored at resourcePath stretched over the whole label,
// proportions not kept. A picture that fails to decode leaves the label empty.
void ShowJpeg(QLabel& picture, const QString& resourcePath);

}  // namespace console
