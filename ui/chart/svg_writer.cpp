// Finds and loads the SVG writer's module (chart/svg_module.h).
#include "chart/svg_module.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace vantel {

namespace {

struct Loaded {
    SvgWriter writer = nullptr;
    QString failure;
};

QString modulePath() {
    const QByteArray named = qgetenv("VANTEL_SVG_MODULE");
    if (!named.isEmpty()) return QString::fromLocal8Bit(named);
    // Installed at the same place relative to the programs in the build tree
    // and in every installation.
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QDir::cleanPath(QFileInfo(program).absolutePath() + QLatin1Char('/') +
                           QStringLiteral(VANTEL_MODULES_FROM_PROGRAMS) +
                           QStringLiteral("/vantel-svg.so"));
}

Loaded load() {
    Loaded l;
    QLibrary module(modulePath());
    // Kept loaded for the rest of the run: the writer points into it.
    if (!module.load()) {
        l.failure =
            QStringLiteral("the SVG writer could not be loaded (%1)").arg(module.errorString());
        return l;
    }
    l.writer = reinterpret_cast<SvgWriter>(module.resolve(kSvgWriterSymbol));
    if (!l.writer)
        l.failure =
            QStringLiteral("the SVG writer %1 is not one of this version").arg(module.fileName());
    return l;
}

} // namespace

SvgWriter svgWriter(QString* error) {
    static const Loaded loaded = load();
    if (!loaded.writer && error) *error = loaded.failure;
    return loaded.writer;
}

} // namespace vantel
