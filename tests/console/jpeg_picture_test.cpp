// JPEG decoding through libjpeg: the pixels come out right way round and in
// the right colours, and anything that is not a clean JPEG gives no picture
// rather than a crash or a half-grey one.
#include "console/jpeg_picture.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <jpeglib.h>
// clang-format on

// Outside any namespace: the resource's entry point is a global function.
static void RegisterArtwork() {
    Q_INIT_RESOURCE(console);
}

namespace {

// A picture of four colour quadrants, encoded here so the expected pixels
// are known independently of the artwork.
QByteArray EncodeQuadrants(int width, int height) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
        const bool top = static_cast<int>(info.next_scanline) < height / 2;
        for (int x = 0; x < width; ++x) {
            const bool left = x < width / 2;
            const QColor c = top ? (left ? Qt::red : Qt::green) : (left ? Qt::blue : Qt::white);
            row[x * 3] = static_cast<unsigned char>(c.red());
            row[x * 3 + 1] = static_cast<unsigned char>(c.green());
            row[x * 3 + 2] = static_cast<unsigned char>(c.blue());
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    std::free(out);
    return bytes;
}

void ExpectNear(QColor got, QColor want, const char* where) {
    EXPECT_NEAR(got.red(), want.red(), 24) << where;
    EXPECT_NEAR(got.green(), want.green(), 24) << where;
    EXPECT_NEAR(got.blue(), want.blue(), 24) << where;
}

TEST(DecodeJpeg, PixelsComeOutInPlaceAndInColour) {
    const QImage image = console::DecodeJpeg(EncodeQuadrants(64, 48));
    ASSERT_EQ(image.size(), QSize(64, 48));
    ExpectNear(image.pixelColor(8, 8), Qt::red, "top left");
    ExpectNear(image.pixelColor(56, 8), Qt::green, "top right");
    ExpectNear(image.pixelColor(8, 40), Qt::blue, "bottom left");
    ExpectNear(image.pixelColor(56, 40), Qt::white, "bottom right");
}

// Asked to cover 20 x 10, the 64 x 48 picture decodes at 3/8: 24 x 18.
TEST(DecodeJpeg, ScalesWhileDecodingToCoverTheArea) {
    const QImage image = console::DecodeJpeg(EncodeQuadrants(64, 48), QSize(20, 10));
    ASSERT_EQ(image.size(), QSize(24, 18));
    ExpectNear(image.pixelColor(3, 3), Qt::red, "top left");
    ExpectNear(image.pixelColor(20, 3), Qt::green, "top right");
    ExpectNear(image.pixelColor(3, 14), Qt::blue, "bottom left");
    ExpectNear(image.pixelColor(20, 14), Qt::white, "bottom right");
    EXPECT_EQ(console::DecodeJpeg(EncodeQuadrants(64, 48), QSize(64, 48)).size(), QSize(64, 48));
    EXPECT_EQ(console::DecodeJpeg(EncodeQuadrants(64, 48), QSize(200, 10)).size(), QSize(64, 48))
        << "never enlarged";
}

TEST(DecodeJpeg, ArtworkDecodesAtItsOwnSize) {
    RegisterArtwork();
    struct Art {
        const char* path;
        QSize size;
    };
    for (const Art& art :
         {Art{":/console/logo.jpg", {649, 259}}, Art{":/console/wiring.jpg", {666, 314}}}) {
        QFile file(art.path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << art.path;
        EXPECT_EQ(console::DecodeJpeg(file.readAll()).size(), art.size) << art.path;
    }
}

struct Damage {
    const char* name;
    QByteArray (*make)(const QByteArray& good);
};

void PrintTo(const Damage& d, std::ostream* os) {
    *os << d.name;
}

const Damage kDamages[] = {
    {"Empty", [](const QByteArray&) { return QByteArray(); }},
    {"NotAJpeg", [](const QByteArray&) { return QByteArray("GIF89a, not what it claims"); }},
    {"HeaderOnly", [](const QByteArray& good) { return good.left(2); }},
    {"CutInTheHeader", [](const QByteArray& good) { return good.left(100); }},
    {"CutInTheScan", [](const QByteArray& good) { return good.left(good.size() * 2 / 3); }},
    {"ScanOverwritten",
     [](const QByteArray& good) {
         QByteArray bad = good;
         for (qsizetype i = bad.size() / 2; i < bad.size() - 2; ++i) bad[i] = '\xFF';
         return bad;
     }},
};

class DamagedJpeg : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedJpeg, GivesNoPicture) {
    const QByteArray bytes = GetParam().make(EncodeQuadrants(64, 48));
    EXPECT_TRUE(console::DecodeJpeg(bytes).isNull());
}

INSTANTIATE_TEST_SUITE_P(DecodeJpeg, DamagedJpeg, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeJpeg, OpaqueEverywhere) {
    const QImage image = console::DecodeJpeg(EncodeQuadrants(16, 16));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ASSERT_EQ(qAlpha(image.pixel(x, y)), 255);
}

TEST(ShowJpeg, MissingOrBrokenPictureLeavesTheLabelEmpty) {
    QLabel label;
    label.setText("placeholder");
    console::ShowJpeg(label, ":/console/no-such-picture.jpg");
    EXPECT_TRUE(label.pixmap().isNull());
    EXPECT_TRUE(label.text().isEmpty());
}

}  // namespace
