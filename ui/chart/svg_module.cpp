// The module itself: the only code that uses Qt's SVG library.
#include "chart/svg_module.h"

#include <QPainter>
#include <QSvgGenerator>

extern "C" Q_DECL_EXPORT bool vantelWriteSvg(QIODevice* out, QSize size, const QString& title,
                                             void (*paint)(QPainter&, void*), void* context) {
    QSvgGenerator svg;
    svg.setOutputDevice(out);
    svg.setSize(size);
    svg.setViewBox(QRectF(QPointF(0, 0), QSizeF(size)));
    svg.setTitle(title);
    QPainter p;
    if (!p.begin(&svg)) return false;
    paint(p, context);
    return p.end();
}
