// Draws the console's logo, wiring diagram and window icon, and the desktop icon at each size
// a desktop's icon theme asks for.
//
//   vk630_artwork <resource-dir> <icon-dir> [preview-dir]
//
// The icon directory receives icon-<size>.png for every size in kIconSizes, each drawn at that
// size: a 16-pixel icon scaled down from a larger one would blur its strokes.
//
// The preview directory receives PNG copies plus the pictures scaled to the size the main
// window shows them at, which is what the art has to survive.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <cstdio>
#include <iterator>

#include "artwork.h"

namespace {

constexpr int kJpegQuality = 90;
const QSize kLogoShown(97, 41);
const QSize kWiringShown(497, 257);
constexpr int kWindowIconSize = 32;
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

bool save(const QImage& image, const QString& path, const char* format, int quality = -1) {
    if (image.save(path, format, quality)) {
        return true;
    }
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// Every desktop icon size side by side, enlarged to 256 pixels without smoothing, so each pixel
// of the small ones can be judged.
QImage iconSheet() {
    constexpr int kCell = 256;
    QImage sheet(kCell * static_cast<int>(std::size(kIconSizes)), kCell, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    int left = 0;
    for (int size : kIconSizes) {
        painter.drawImage(left, 0, artwork::renderIcon(size).scaled(kCell, kCell));
        left += kCell;
    }
    return sheet;
}

bool writePreviews(const QDir& dir, const QImage& logo, const QImage& wiring, const QImage& icon) {
    const auto shown = [](const QImage& image, QSize size) {
        return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    // The re-read JPEGs show the compression as it will really be seen.
    const QImage logoJpeg(dir.filePath("logo.jpg"));
    const QImage wiringJpeg(dir.filePath("wiring.jpg"));
    return save(logo, dir.filePath("logo.png"), "PNG") &&
           save(wiring, dir.filePath("wiring.png"), "PNG") &&
           save(shown(logoJpeg, kLogoShown), dir.filePath("logo_shown.png"), "PNG") &&
           save(shown(wiringJpeg, kWiringShown), dir.filePath("wiring_shown.png"), "PNG") &&
           save(shown(logoJpeg, kLogoShown).scaled(kLogoShown * 4),
                dir.filePath("logo_shown_x4.png"), "PNG") &&
           save(icon.scaled(256, 256), dir.filePath("icon_x8.png"), "PNG") &&
           save(iconSheet(), dir.filePath("icons_enlarged.png"), "PNG");
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s <resource-dir> <icon-dir> [preview-dir]\n", argv[0]);
        return 2;
    }
    if (!artwork::loadDejaVuFonts()) {
        std::fprintf(stderr, "DejaVu fonts not found (install fonts-dejavu-core)\n");
        return 1;
    }
    const QImage logo = artwork::renderLogo();
    const QImage wiring = artwork::renderWiring();
    const QImage icon = artwork::renderIcon(kWindowIconSize);

    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!save(logo, out.filePath("logo.jpg"), "JPEG", kJpegQuality) ||
        !save(wiring, out.filePath("wiring.jpg"), "JPEG", kJpegQuality) ||
        !save(icon, out.filePath("icon.png"), "PNG")) {
        return 1;
    }
    const QDir icons(QString::fromLocal8Bit(argv[2]));
    for (int size : kIconSizes) {
        if (!save(artwork::renderIcon(size), icons.filePath(QString("icon-%1.png").arg(size)),
                  "PNG")) {
            return 1;
        }
    }
    if (argc == 4) {
        QDir preview(QString::fromLocal8Bit(argv[3]));
        preview.mkpath(".");
        if (!save(logo, preview.filePath("logo.jpg"), "JPEG", kJpegQuality) ||
            !save(wiring, preview.filePath("wiring.jpg"), "JPEG", kJpegQuality) ||
            !writePreviews(preview, logo, wiring, icon)) {
            return 1;
        }
    }
    return 0;
}
