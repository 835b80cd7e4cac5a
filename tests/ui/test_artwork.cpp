#include "art/artwork.h"
#include "art/ready_art.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

using namespace vantel;

namespace {

QImage argb(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

bool near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// The olive family: green leads, blue far behind.
bool olive(QRgb c) {
    return qGreen(c) > qRed(c) + 10 && qGreen(c) > qBlue(c) + 60;
}

// Bounding box of the pixels inside `area` that satisfy `keep`.
template <typename Pred> QRect pixelsWhere(const QImage& image, const QRect& area, Pred keep) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (keep(image.pixel(x, y))) box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST(Artwork, BackdropAndIconHaveTheirLayoutSizeAtAnyPixelRatio) {
    EXPECT_EQ(paintBackground().size(), QSize(520, 241));
    EXPECT_FALSE(paintBackground().hasAlphaChannel());
    EXPECT_EQ(paintIcon().size(), QSize(64, 64));
    EXPECT_TRUE(paintIcon().hasAlphaChannel());
    EXPECT_EQ(paintBackground(2.0).size(), QSize(1040, 482));
    EXPECT_EQ(paintBackground(2.0).deviceIndependentSize(), QSizeF(520, 241));
    EXPECT_EQ(paintTile(7, 2.0).deviceIndependentSize(), QSizeF(33, 33));
    EXPECT_EQ(argb(paintTile(7, 2.0)).pixel(8, 32), 0xFF313131u);
    EXPECT_EQ(paintBackground(0.0).size(), QSize(520, 241)) << "a bad ratio paints at 1";
    EXPECT_EQ(paintOverlay(7, -1.0).size(), QSize(33, 33));
}

TEST(Artwork, BackgroundShowsTheLayoutColoursAtTheirPlaces) {
    const QImage bg = argb(paintBackground());
    struct Probe {
        int x, y;
        QRgb colour;
        int tolerance;
        const char* what;
    };
    const Probe probes[] = {
        {174, 28, 0xFF000000, 0, "history slot"}, {390, 28, 0xFF000000, 0, "slot, right end"},
        {0, 240, 0xFF808080, 0, "bottom line"},   {519, 240, 0xFF808080, 0, "bottom line"},
        {300, 8, 0xFF383838, 14, "header band"},  {100, 196, 0xFF000000, 0, "Bet slot"},
        {250, 197, 0xFF000000, 0, "progress"},    {404, 196, 0xFF484848, 12, "Reset plate"},
        {240, 165, 0xFF808080, 24, "shelf"}};
    for (const Probe& p : probes)
        EXPECT_TRUE(near(bg.pixel(p.x, p.y), p.colour, p.tolerance))
            << p.what << ": " << std::hex << bg.pixel(p.x, p.y);
}

TEST(Artwork, BodyIsNearBlackMetalWithHoleRows15ApartAndDarkerThanTheShelf) {
    const QImage bg = argb(paintBackground());
    int lightest = 0;
    std::vector<int> holeRows; // first row of each band of holes, right of the board
    for (int y = 44, holes = 0, above = 0; y < 184; ++y, above = holes, holes = 0) {
        for (int x = 445; x < 520; ++x) {
            lightest = std::max(lightest, qGray(bg.pixel(x, y)));
            holes += qGray(bg.pixel(x, y)) < 8;
        }
        if (holes > 10 && above <= 10) holeRows.push_back(y);
    }
    EXPECT_LT(lightest, 0x48);
    ASSERT_GE(holeRows.size(), 8u);
    for (size_t i = 1; i < holeRows.size(); ++i)
        EXPECT_NEAR(holeRows[i] - holeRows[i - 1], 15, 1);
    EXPECT_GT(qGray(bg.pixel(240, 165)), lightest + 0x30) << "the shelf stands out";
}

TEST(Artwork, OliveLetteringFillsItsBoxesAndNoMore) {
    const QImage bg = argb(paintBackground());
    const QRect logo = pixelsWhere(bg, QRect(0, 0, 147, 44), olive);
    EXPECT_TRUE(QRect(4, 19, 109, 20).contains(logo)) << "about x 5 to 110, y 20 to 37";
    EXPECT_GE(logo.width(), 100);
    EXPECT_GE(logo.height(), 17);
    const auto logoOlive = [](QRgb c) { return near(c, 0xFF9CB151, 0x18); };
    EXPECT_GE(pixelsWhere(bg, QRect(5, 20, 106, 18), logoOlive).width(), 90);
    const QRect bet = pixelsWhere(bg, QRect(58, 184, 28, 23), olive);
    EXPECT_TRUE(QRect(61, 190, 21, 11).contains(bet)) << "BET at about x 62 to 80";
}

TEST(Artwork, TilesAndOverlaysAreOutlinedRoundedSquaresOfTheirFill) {
    for (int n : {0, 17, 36}) {
        for (const auto& [image, fill] : {std::pair{argb(paintTile(n)), 0xFF313131u},
                                          std::pair{argb(paintOverlay(n)), 0xFF81A82Du}}) {
            EXPECT_EQ(image.pixel(4, 16), fill) << n << " beside the digits";
            EXPECT_EQ(image.pixel(28, 6), fill) << n;
            for (QPoint edge : {QPoint(16, 0), QPoint(0, 16), QPoint(32, 16), QPoint(16, 32)})
                EXPECT_EQ(image.pixel(edge), 0xFF000000u) << n << " outline";
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << n << " the body shows in the corners";
            EXPECT_EQ(qAlpha(image.pixel(32, 32)), 0) << n;
        }
    }
}

TEST(Artwork, DigitsAreBlackCentredTenHighAndOnlyLitOnesHaveALightEdge) {
    const auto black = [](QRgb c) { return qGray(c) < 0x10; };
    const auto light = [](QRgb c) { return qGray(c) > 0xC0; };
    const QRect inside(3, 3, 27, 27);
    for (int n : {1, 8, 10, 36}) {
        for (const auto& [image, lit] :
             {std::pair{argb(paintTile(n)), false}, std::pair{argb(paintOverlay(n)), true}}) {
            const QRect digits = pixelsWhere(image, inside, black);
            EXPECT_NEAR(digits.height(), 10, 1) << n;
            EXPECT_NEAR(digits.center().x() + 0.5, 16.5, 1.5) << n;
            EXPECT_NEAR(digits.center().y() + 0.5, 16.5, 1.5) << n;
            EXPECT_EQ(!pixelsWhere(image, inside, light).isEmpty(), lit) << n;
        }
    }
}

TEST(Artwork, EveryNumberGetsItsOwnTileAndOverlayOfCellSize) {
    std::vector<QImage> tiles, overlays;
    for (int n = 0; n <= 36; ++n) {
        tiles.push_back(argb(paintTile(n)));
        overlays.push_back(argb(paintOverlay(n)));
        EXPECT_TRUE(tiles.back().size() == QSize(33, 33) &&
                    overlays.back().size() == QSize(33, 33));
    }
    for (int a = 0; a <= 36; ++a)
        for (int b = a + 1; b <= 36; ++b) {
            EXPECT_NE(tiles[a], tiles[b]) << a << " vs " << b;
            EXPECT_NE(overlays[a], overlays[b]) << a << " vs " << b;
        }
}

TEST(Artwork, PaintingIsDeterministic) {
    EXPECT_EQ(paintBackground().toImage(), paintBackground().toImage());
    EXPECT_EQ(paintOverlay(23).toImage(), paintOverlay(23).toImage());
    EXPECT_EQ(paintIcon().toImage(), paintIcon().toImage());
}

TEST(Artwork, IconIsOliveLetteringOnADarkGreySquare) {
    const QImage icon = argb(paintIcon());
    const QRgb face = icon.pixel(6, 32);
    EXPECT_TRUE(qAlpha(icon.pixel(0, 0)) == 0 && qAlpha(face) == 255) << "rounded corners";
    EXPECT_TRUE(qRed(face) == qBlue(face) && qGray(face) < 0x50) << std::hex << face;
    EXPECT_GE(pixelsWhere(icon, icon.rect(), olive).height(), 24);
}

// The pictures the window shows at a ratio of 1 are compiled in at build time;
// they must be, pixel for pixel, what the painting code gives, and any other
// ratio must still be painted at its own size. The build paints in a fresh
// process, and Qt's glyph caches can make lettering depend on the text painted
// before it, so the comparison runs in a fresh process too.
int readyArtMismatches() {
    int mismatches = 0;
    const auto expectSame = [&](const QPixmap& ready, const QPixmap& painted, const char* what) {
        if (ready.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied) !=
            painted.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied)) {
            std::fprintf(stderr, "%s differs\n", what);
            ++mismatches;
        }
    };
    expectSame(backgroundArt(1.0), paintBackground(1.0), "background");
    for (int n = 0; n <= 36; ++n)
        expectSame(tileArt(n, 1.0), paintTile(n, 1.0),
                   qPrintable(QStringLiteral("tile %1").arg(n)));
    expectSame(iconArt(), paintIcon(64), "icon");
    expectSame(tileArt(7, 2.0), paintTile(7, 2.0), "tile 7 at ratio 2");
    std::fflush(stderr);
    return mismatches;
}

TEST(Artwork, ReadyMadePicturesAreWhatThePaintingCodePaints) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(readyArtMismatches()), testing::ExitedWithCode(0), "");

    EXPECT_FALSE(backgroundArt(1.0).hasAlphaChannel());
    EXPECT_TRUE(iconArt().hasAlphaChannel());
    EXPECT_EQ(backgroundArt(2.0).size(), QSize(1040, 482));
    EXPECT_EQ(tileArt(7, 2.0).deviceIndependentSize(), QSizeF(33, 33));
    EXPECT_EQ(backgroundArt(0.0).size(), QSize(520, 241)) << "a bad ratio paints at 1";
}
