// Paints the window's artwork at a device pixel ratio of 1 with the program's
// own painting code and writes the pixels as C++ arrays (see art_pixels.h), so
// the program shows them without painting at start-up.
// Usage: vantel_art_pixels OUTPUT.cpp
#include "art/art_pixels.h"
#include "art/artwork.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>

#include <cstdio>

namespace {

namespace px = vantel::art_pixels;

// Appends the image's pixels as an initializer, eight words a line; false
// when the painting code no longer gives the size the arrays are declared with.
bool appendPixels(QByteArray& out, const QImage& painted, QImage::Format format, int width,
                  int height) {
    const QImage image = painted.convertToFormat(format);
    if (image.width() != width || image.height() != height) return false;
    out += "{\n";
    char word[16];
    int column = 0;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            std::snprintf(word, sizeof word, "0x%08xu,", row[x]);
            out += word;
            out += ++column % 8 == 0 ? '\n' : ' ';
        }
    }
    out += "}";
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    QByteArray out = "// Written by vantel_art_pixels at build time: the artwork's pixels.\n"
                     "#include \"art/art_pixels.h\"\n\n"
                     "namespace vantel::art_pixels {\n\n"
                     "const uint32_t kBackground[kBackgroundWidth * kBackgroundHeight] = ";
    bool sized = appendPixels(out, vantel::paintBackground(1.0).toImage(), QImage::Format_RGB32,
                              px::kBackgroundWidth, px::kBackgroundHeight);
    out += ";\n\nconst uint32_t kTile[kTiles][kTileSide * kTileSide] = {\n";
    for (int n = 0; n < px::kTiles; ++n) {
        sized = appendPixels(out, vantel::paintTile(n, 1.0).toImage(),
                             QImage::Format_ARGB32_Premultiplied, px::kTileSide, px::kTileSide) &&
                sized;
        out += ",\n";
    }
    out += "};\n\nconst uint32_t kIcon[kIconSide * kIconSide] = ";
    sized = appendPixels(out, vantel::paintIcon(px::kIconSide).toImage(),
                         QImage::Format_ARGB32_Premultiplied, px::kIconSide, px::kIconSide) &&
            sized;
    out += ";\n\n} // namespace vantel::art_pixels\n";
    if (!sized) {
        std::fprintf(stderr, "%s: the artwork's sizes differ from art_pixels.h\n", argv[0]);
        return 1;
    }
    QSaveFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
