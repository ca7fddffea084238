#include <QFontDatabase>
#include <QString>

#include "artwork.h"

namespace artwork {

namespace {

constexpr const char* kFontDir = "/usr/share/fonts/truetype/dejavu/";
constexpr const char* kFontFiles[] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf",
                                      "DejaVuSansCondensed.ttf", "DejaVuSansCondensed-Bold.ttf"};

}  // namespace

bool loadDejaVuFonts() {
    for (const char* file : kFontFiles) {
        if (QFontDatabase::addApplicationFont(QString(kFontDir) + file) < 0) {
            return false;
        }
    }
    return true;
}

QFont dejaVu(int pixelSize, bool bold, bool condensed) {
    QFont font(condensed ? "DejaVu Sans Condensed" : "DejaVu Sans");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    // Full hinting would snap the glyphs differently at each size; the art is scaled anyway.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

}  // namespace artwork
