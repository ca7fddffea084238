#include "console/jpeg_picture.h"

#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QSysInfo>
#include <csetjmp>
#include <cstddef>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace console {
namespace {

// libjpeg's default reaction to a fatal error is to end the process; ours
// returns to the decoder instead. The jump only crosses libjpeg's C frames.
struct ErrorManager {
    jpeg_error_mgr library;
    std::jmp_buf recovery;
};

[[noreturn]] void JumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->recovery, 1);
}

void StayQuiet(j_common_ptr) {}

// Decoding straight into the byte order of QImage::Format_RGB32 (libjpeg
// fills the fourth byte with 0xFF) spares a conversion when it is painted.
constexpr J_COLOR_SPACE kRgb32Order =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// The smallest scaling of n/8 whose output still covers atLeast.
void ChooseScale(jpeg_decompress_struct& info, QSize atLeast) {
    info.scale_denom = 8;
    for (info.scale_num = 1; info.scale_num < 8; ++info.scale_num) {
        jpeg_calc_output_dimensions(&info);
        if (static_cast<int>(info.output_width) >= atLeast.width() &&
            static_cast<int>(info.output_height) >= atLeast.height())
            return;
    }
}

// Kept free of objects with destructors between setjmp and any longjmp back
// to it: the image is written only through the caller's reference.
bool ReadJpeg(const unsigned char* data, std::size_t size, QSize atLeast, QImage& image) {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.library);
    errors.library.error_exit = JumpBack;
    errors.library.output_message = StayQuiet;
    if (setjmp(errors.recovery) != 0) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = kRgb32Order;
    if (!atLeast.isEmpty()) ChooseScale(info, atLeast);
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB32);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    // Warnings mean corrupt or missing data that libjpeg papered over.
    const bool clean = errors.library.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return clean;
}

// Decodes its label's picture at the label's first Show event, then goes.
class DecodeWhenShown : public QObject {
public:
    DecodeWhenShown(QLabel& picture, const QString& resourcePath)
        : QObject(&picture), picture_(picture), resourcePath_(resourcePath) {
        picture.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &picture_ && event->type() == QEvent::Show) {
            picture_.removeEventFilter(this);
            ShowJpeg(picture_, resourcePath_);
            deleteLater();
        }
        return false;
    }

private:
    QLabel& picture_;
    QString resourcePath_;
};

}  // namespace

QImage DecodeJpeg(QByteArrayView bytes, QSize atLeast) {
    QImage image;
    if (bytes.isEmpty() || !ReadJpeg(reinterpret_cast<const unsigned char*>(bytes.data()),
                                     static_cast<std::size_t>(bytes.size()), atLeast, image))
        return {};
    return image;
}

void ShowJpeg(QLabel& picture, const QString& resourcePath) {
    picture.setScaledContents(true);
    QFile file(resourcePath);
    const QImage image =
        file.open(QIODevice::ReadOnly) ? DecodeJpeg(file.readAll(), picture.size()) : QImage();
    if (image.isNull())
        picture.clear();
    else
        picture.setPixmap(QPixmap::fromImage(image));
}

void ShowJpegWhenShown(QLabel& picture, const QString& resourcePath) {
    picture.setScaledContents(true);
    new DecodeWhenShown(picture, resourcePath);
}

}  // namespace console
