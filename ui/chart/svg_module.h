// The SVG writer: a module of its own, loaded when a chart is first saved as
// SVG, so that the window starts without Qt's SVG library.
#pragma once

#include <QSize>
#include <QString>

class QIODevice;
class QPainter;

namespace vantel {

// What the module exports, by the name kSvgWriterSymbol: paints through
// paint(painter, context) into an SVG document of size pixels, titled, written
// to out. Returns false where the document could not be begun.
using SvgWriter = bool (*)(QIODevice* out, QSize size, const QString& title,
                           void (*paint)(QPainter&, void*), void* context);
inline constexpr const char* kSvgWriterSymbol = "vantelWriteSvg";

// The module's writer, loaded once: from the file VANTEL_SVG_MODULE names
// where set, else from where it is installed beside the programs. Null, with
// the reason in *error, where it cannot be loaded.
SvgWriter svgWriter(QString* error);

} // namespace vantel
