#include "console/jpeg_picture.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>
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

// Kept free of objects with destructors between setjmp and any longjmp back
// to it: the image is written only through the caller's reference.
bool ReadJpeg(const unsigned char* data, std::size_t size, QImage& image) {
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
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
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

}  // namespace

QImage DecodeJpeg(QByteArrayView bytes) {
    QImage image;
    if (bytes.isEmpty() || !ReadJpeg(reinterpret_cast<const unsigned char*>(bytes.data()),
                                     static_cast<std::size_t>(bytes.size()), image))
        return {};
    return image;
}

void ShowJpeg(QLabel& picture, const QString& resourcePath) {
    picture.setScaledContents(true);
    QFile file(resourcePath);
    const QImage image = file.open(QIODevice::ReadOnly) ? DecodeJpeg(file.readAll()) : QImage();
    if (image.isNull())
        picture.clear();
    else
        picture.setPixmap(QPixmap::fromImage(image));
}

}  // namespace console
