// The window's two pictures are JPEG artwork decoded with libjpeg itself, the
// program's declared dependency, rather than through Qt's image plugins.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>

class QLabel;

namespace console {

// The decoded picture, or a null image when the bytes are not a JPEG that
// decodes cleanly (a damaged picture is not shown half-grey). With atLeast
// given, libjpeg scales while decoding, by a multiple of 1/8, to the
// smallest size that still covers it: a picture shown small costs little.
QImage DecodeJpeg(QByteArrayView bytes, QSize atLeast = {});

// Shows the JPEG stored at resourcePath stretched over the whole label,
// proportions not kept. A picture that fails to decode leaves the label empty.
void ShowJpeg(QLabel& picture, const QString& resourcePath);

// The same, done when the label is first shown: a picture on a page that is
// not in front costs nothing at start-up.
void ShowJpegWhenShown(QLabel& picture, const QString& resourcePath);

}  // namespace console
