#include "art/artwork.h"

#include "art/fonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
#include <cstdint>

namespace vantel {

namespace {

// The colours the layout fixes; everything else is shading around them.
constexpr QRgb kOlive = 0xFF9CB151;
constexpr QRgb kTileFill = 0xFF313131;
constexpr QRgb kLitFill = 0xFF81A82D;

constexpr int kWidth = 520;
constexpr int kHeight = 241;
constexpr int kHeaderBottom = 44; // first row of the body
constexpr int kBodyBottom = 240;  // the grey line
constexpr int kCell = 33;
constexpr int kIcon = 64;

// A fixed xorshift sequence: the grain looks random but is identical on every run.
class Grain {
  public:
    explicit Grain(uint32_t seed) : m_state(seed) {}
    // A value in [-amplitude, amplitude].
    int next(int amplitude) {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<int>(m_state % static_cast<uint32_t>(2 * amplitude + 1)) - amplitude;
    }

  private:
    uint32_t m_state = 1;
};

// A ratio that is not positive would give an empty image; paint at 1 instead.
QImage blankImage(int width, int height, QImage::Format format, qreal dpr) {
    if (!(dpr > 0)) dpr = 1.0;
    QImage image(qRound(width * dpr), qRound(height * dpr), format);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}

// Lettering as an outline scaled onto a box, so a logotype covers exactly the
// pixels the layout reserves for it whichever sans face the system supplies.
QPainterPath fittedText(const QString& text, const QFont& font, const QRectF& box) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty()) return path;
    QTransform fit;
    fit.translate(box.x(), box.y());
    fit.scale(box.width() / bounds.width(), box.height() / bounds.height());
    fit.translate(-bounds.x(), -bounds.y());
    return fit.map(path);
}

// Olive lettering lit from above and casting a faint shadow down-right.
void paintOliveLettering(QPainter& p, const QPainterPath& text, qreal top, qreal bottom) {
    p.fillPath(text.translated(1, 1), QColor(0, 0, 0, 190));
    QLinearGradient shade(0, top, 0, bottom);
    shade.setColorAt(0, QColor(0xC2, 0xD6, 0x7A));
    shade.setColorAt(0.45, QColor(kOlive));
    shade.setColorAt(1, QColor(0x83, 0x99, 0x3D));
    p.fillPath(text, shade);
}

// Brushed grain over whole device rows: fine per-pixel noise plus short
// horizontal streaks, the look of machined sheet metal.
void addGrain(QImage& image, int firstRow, int endRow, int fine, int streak, uint32_t seed) {
    Grain grain(seed);
    for (int y = firstRow; y < endRow; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        int run = grain.next(streak);
        for (int x = 0; x < image.width(); ++x) {
            if (x % 6 == 0) run = (run + grain.next(streak)) / 2;
            const int delta = grain.next(fine) + run;
            const auto channel = [delta](int c) { return std::clamp(c + delta, 0, 255); };
            line[x] =
                qRgb(channel(qRed(line[x])), channel(qGreen(line[x])), channel(qBlue(line[x])));
        }
    }
}

// A hollow pressed into the surface: black, with a faint lit lower rim.
void paintRecess(QPainter& p, const QRectF& box, qreal radius) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 150));
    p.drawRoundedRect(box.translated(0, -1), radius, radius);
    p.setBrush(QColor(0x4C, 0x4C, 0x4C));
    p.drawRoundedRect(box, radius, radius);
    p.setBrush(Qt::black);
    p.drawRoundedRect(box.adjusted(0, 0, 0, -1), radius, radius);
}

void paintBaseLayers(QPainter& p) {
    QLinearGradient header(0, 0, 0, kHeaderBottom);
    header.setColorAt(0, QColor(0x3E, 0x3E, 0x3E));
    header.setColorAt(1, QColor(0x25, 0x25, 0x25));
    p.fillRect(QRectF(0, 0, kWidth, kHeaderBottom), header);
    QLinearGradient body(0, kHeaderBottom, 0, kBodyBottom);
    body.setColorAt(0, QColor(0x1D, 0x1D, 0x1D));
    body.setColorAt(1, QColor(0x14, 0x14, 0x14));
    p.fillRect(QRectF(0, kHeaderBottom, kWidth, kBodyBottom - kHeaderBottom), body);
}

void paintHeader(QPainter& p) {
    // Bevel edges: lit top, dark seam where the band meets the body.
    p.fillRect(QRectF(0, 0, kWidth, 1), QColor(0x5A, 0x5A, 0x5A));
    p.fillRect(QRectF(0, kHeaderBottom - 2, kWidth, 1), QColor(0x19, 0x19, 0x19));
    p.fillRect(QRectF(0, kHeaderBottom - 1, kWidth, 1), QColor(0x05, 0x05, 0x05));

    QFont logoFont = arialFont(25, true);
    logoFont.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    paintOliveLettering(p, fittedText("Vantel", logoFont, QRectF(5, 20, 106, 18)), 20, 38);

    const QPainterPath version = fittedText("2.0", arialFont(12, true), QRectF(116, 30, 18, 8));
    p.fillPath(version.translated(1, 1), QColor(0, 0, 0, 190));
    p.fillPath(version, QColor(0x9A, 0x9A, 0x90));

    paintRecess(p, QRectF(148, 20, 248, 18), 9);
}

// Punched holes on a staggered grid, each with a lit lower rim where the
// sheet's edge catches the light.
constexpr qreal kHoleRadius = 4.5;
template <typename Hole> void forEachHole(Hole hole) {
    for (int row = 0;; ++row) {
        const qreal cy = 51.5 + 15 * row;
        if (cy > kBodyBottom) break;
        for (qreal cx = (row % 2 ? 8.5 : 0.5); cx < kWidth + kHoleRadius; cx += 16)
            hole(cx, cy);
    }
}

void drawHoles(QPainter& p) {
    forEachHole([&p](qreal cx, qreal cy) {
        p.setBrush(QColor(0x38, 0x38, 0x38));
        p.drawEllipse(QPointF(cx, cy + 1), kHoleRadius, kHoleRadius);
        p.setBrush(QColor(0x03, 0x03, 0x03));
        p.drawEllipse(QPointF(cx, cy), kHoleRadius, kHoleRadius);
    });
}

// At a whole pixel ratio every hole lies on the same sub-pixel phase, so one
// hole is rendered once as coverage and laid down at each place: the same
// blend of colour and coverage as filling the ellipse there, pixel for pixel.
void stampHoles(QPainter& p, int ratio) {
    constexpr int kBox = 12; // layout pixels round the hole's centre
    QImage coverage(kBox * ratio, kBox * ratio, QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    {
        QPainter c(&coverage);
        c.setRenderHint(QPainter::Antialiasing);
        c.setPen(Qt::NoPen);
        c.setBrush(Qt::white);
        c.scale(ratio, ratio);
        c.drawEllipse(QPointF(kBox / 2 + 0.5, kBox / 2 + 0.5), kHoleRadius, kHoleRadius);
    }
    const auto tinted = [&coverage, ratio](QRgb colour) {
        QImage stamp(coverage.size(), QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < coverage.height(); ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
            auto* out = reinterpret_cast<QRgb*>(stamp.scanLine(y));
            for (int x = 0; x < coverage.width(); ++x) {
                const int a = qAlpha(in[x]);
                const auto mul = [a](int c) {
                    const int t = c * a + 0x80;
                    return (t + (t >> 8)) >> 8;
                };
                out[x] = qRgba(mul(qRed(colour)), mul(qGreen(colour)), mul(qBlue(colour)), a);
            }
        }
        stamp.setDevicePixelRatio(ratio);
        return stamp;
    };
    const QImage rim = tinted(qRgb(0x38, 0x38, 0x38));
    const QImage hole = tinted(qRgb(0x03, 0x03, 0x03));
    forEachHole([&](qreal cx, qreal cy) {
        const QPointF at(cx - 0.5 - kBox / 2, cy - 0.5 - kBox / 2);
        p.drawImage(at + QPointF(0, 1), rim);
        p.drawImage(at, hole);
    });
}

void paintPerforation(QPainter& p, qreal dpr) {
    p.save();
    p.setClipRect(QRectF(0, kHeaderBottom, kWidth, kBodyBottom - kHeaderBottom));
    p.setPen(Qt::NoPen);
    const int ratio = qRound(dpr);
    if (ratio >= 1 && qFuzzyCompare(dpr, qreal(ratio)))
        stampHoles(p, ratio);
    else
        drawHoles(p);
    p.restore();
}

void paintShelf(QPainter& p) {
    const QRectF shelf(58, 162, 381, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 160));
    p.drawRoundedRect(shelf.translated(0, 2), 2, 2);
    QLinearGradient metal(0, shelf.top(), 0, shelf.bottom());
    metal.setColorAt(0, QColor(0xB4, 0xB4, 0xB4));
    metal.setColorAt(0.2, QColor(0x92, 0x92, 0x92));
    metal.setColorAt(0.75, QColor(0x66, 0x66, 0x66));
    metal.setColorAt(1, QColor(0x3A, 0x3A, 0x3A));
    p.setBrush(metal);
    p.drawRoundedRect(shelf, 2, 2);
}

void paintStakeBar(QPainter& p) {
    const QRectF bar(58, 184, 378, 23);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 170));
    p.drawRoundedRect(bar.translated(0, 2), 6, 6);
    QLinearGradient face(0, bar.top(), 0, bar.bottom());
    face.setColorAt(0, QColor(0x4A, 0x4A, 0x4A));
    face.setColorAt(0.5, QColor(0x33, 0x33, 0x33));
    face.setColorAt(1, QColor(0x28, 0x28, 0x28));
    p.setPen(QPen(QColor(0x08, 0x08, 0x08), 1));
    p.setBrush(face);
    p.drawRoundedRect(bar.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    p.setPen(QPen(QColor(255, 255, 255, 45), 1));
    p.drawLine(QPointF(64, 185.5), QPointF(430, 185.5));

    paintOliveLettering(p, fittedText("BET", arialFont(12, true), QRectF(62, 191, 19, 9)), 191,
                        200);
    paintRecess(p, QRectF(88, 189, 24, 14), 7);
    paintRecess(p, QRectF(130, 190, 234, 14), 7);

    // The plate under the Reset button: raised, lit on its top and left edges.
    const QRectF plate(373, 186, 62, 19);
    QLinearGradient plateFace(0, plate.top(), 0, plate.bottom());
    plateFace.setColorAt(0, QColor(0x58, 0x58, 0x58));
    plateFace.setColorAt(1, QColor(0x3A, 0x3A, 0x3A));
    p.setPen(QPen(QColor(0x0C, 0x0C, 0x0C), 1));
    p.setBrush(plateFace);
    p.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.drawLine(QPointF(375, 187.5), QPointF(432, 187.5));
    p.drawLine(QPointF(374.5, 188), QPointF(374.5, 202));
}

// The rounded square shared by tiles and overlays; the number is an outline
// so it centres on the square's middle to the sub-pixel.
QImage paintSquare(int number, QRgb fill, bool lit, qreal dpr) {
    QImage image = blankImage(kCell, kCell, QImage::Format_ARGB32_Premultiplied, dpr);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(fill));
    p.drawRoundedRect(QRectF(0.5, 0.5, kCell - 1, kCell - 1), 4, 4);

    // A one-pixel bevel just inside the outline gives the square some depth
    // while leaving the flat fill untouched.
    QLinearGradient bevel(0, 1, 0, kCell - 1);
    bevel.setColorAt(0, QColor(255, 255, 255, lit ? 110 : 30));
    bevel.setColorAt(0.25, Qt::transparent);
    bevel.setColorAt(0.75, Qt::transparent);
    bevel.setColorAt(1, QColor(0, 0, 0, lit ? 80 : 60));
    p.setPen(QPen(QBrush(bevel), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1.5, 1.5, kCell - 3, kCell - 3), 3, 3);

    // Hinted glyphs stay crisp at this size; the halo is the same text drawn
    // at the eight one-pixel offsets into a layer, then laid down translucently.
    const QFont font = arialFont(14, true);
    const QString text = QString::number(number);
    // Each number is centred across on its own ink, but up and down on the ink
    // of all ten digits, so that every number sits on one baseline: a scaled
    // screen measures round and flat-bottomed digits a fraction apart.
    const QFontMetricsF metrics(font);
    const qreal across = metrics.tightBoundingRect(text).center().x();
    const qreal upright = metrics.tightBoundingRect(QStringLiteral("0123456789")).center().y();
    const QPointF origin(qRound(kCell / 2.0 - across), qRound(kCell / 2.0 - upright));
    const auto drawDigits = [&](QPainter& painter, const QColor& colour, QPointF offset) {
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(origin + offset, text);
    };
    if (lit) {
        QImage halo = blankImage(kCell, kCell, QImage::Format_ARGB32_Premultiplied, dpr);
        QPainter hp(&halo);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                drawDigits(hp, QColor(0xEE, 0xF6, 0xD8), QPointF(dx, dy));
        hp.end();
        p.setOpacity(0.8);
        p.drawImage(0, 0, halo);
        p.setOpacity(1);
    } else {
        // Engraved: the lower lip of the cut catches a little light.
        drawDigits(p, QColor(0x4C, 0x4C, 0x4C), QPointF(0, 1));
    }
    drawDigits(p, Qt::black, QPointF(0, 0));
    return image;
}

} // namespace

QPixmap paintBackground(qreal devicePixelRatio) {
    QImage image = blankImage(kWidth, kHeight, QImage::Format_RGB32, devicePixelRatio);
    const qreal dpr = image.devicePixelRatio();
    {
        QPainter p(&image);
        paintBaseLayers(p);
    }
    addGrain(image, 0, qRound(kHeaderBottom * dpr), 5, 4, 0x2F6E2B1u);
    addGrain(image, qRound(kHeaderBottom * dpr), qRound(kBodyBottom * dpr), 3, 1, 0x9E3779B9u);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintPerforation(p, dpr);
    paintHeader(p);
    paintShelf(p);
    paintStakeBar(p);
    p.fillRect(QRectF(0, kBodyBottom, kWidth, 1), QColor(0x80, 0x80, 0x80));
    p.end();
    return QPixmap::fromImage(image);
}

QPixmap paintTile(int number, qreal devicePixelRatio) {
    return QPixmap::fromImage(paintSquare(number, kTileFill, false, devicePixelRatio));
}

QPixmap paintOverlay(int number, qreal devicePixelRatio) {
    return QPixmap::fromImage(paintSquare(number, kLitFill, true, devicePixelRatio));
}

QPixmap paintIcon(int size) {
    QImage image = blankImage(size, size, QImage::Format_ARGB32_Premultiplied, 1.0);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / qreal(kIcon), size / qreal(kIcon));
    const QRectF square(1.5, 1.5, kIcon - 3, kIcon - 3);
    QLinearGradient face(0, 0, 0, kIcon);
    face.setColorAt(0, QColor(0x44, 0x44, 0x44));
    face.setColorAt(1, QColor(0x1E, 0x1E, 0x1E));
    p.setPen(QPen(QColor(0x08, 0x08, 0x08), 1));
    p.setBrush(face);
    p.drawRoundedRect(square, 11, 11);
    p.setPen(QPen(QColor(255, 255, 255, 50), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(square.adjusted(1, 1, -1, -1), 10, 10);

    paintOliveLettering(p, fittedText("V", arialFont(48, true), QRectF(14, 9, 36, 34)), 9, 43);
    const QPainterPath version = fittedText("2.0", arialFont(14, true), QRectF(23, 48, 18, 8));
    p.fillPath(version, QColor(0x9A, 0x9A, 0x90));
    p.end();
    return QPixmap::fromImage(image);
}

} // namespace vantel
