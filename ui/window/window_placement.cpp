#include "window/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

namespace window_placement {

namespace {

xcb_connection_t* xcbConnection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

void placeNatively(QWidget& window, QPoint devicePos) {
    // A scaled position can fall between device pixels; the X window is put
    // on the exact one before it is mapped.
    xcb_connection_t* c = xcbConnection();
    if (!c) return;
    const uint32_t xy[2] = {static_cast<uint32_t>(devicePos.x()),
                            static_cast<uint32_t>(devicePos.y())};
    xcb_configure_window(c, static_cast<xcb_window_t>(window.winId()),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, xy);
    xcb_flush(c);
}

} // namespace

QPoint openingPosition(const QRect& available, QSize frame) {
    const int maxX = std::max(available.left(), available.right() + 1 - frame.width());
    const int maxY = std::max(available.top(), available.bottom() + 1 - frame.height());
    return {std::clamp(252, available.left(), maxX), std::clamp(129, available.top(), maxY)};
}

void placeAtOpening(QWidget& window) {
    QScreen* s = window.screen();
    if (!s) return;
    const qreal ratio = s->devicePixelRatio();
    const QRect logical = s->availableGeometry();
    const QRect device(QPoint(qRound(logical.x() * ratio), qRound(logical.y() * ratio)),
                       QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio)));
    const QSize frame(qRound(window.frameGeometry().width() * ratio),
                      qRound(window.frameGeometry().height() * ratio));
    const QPoint at = openingPosition(device, frame);
    window.move(qRound(at.x() / ratio), qRound(at.y() / ratio));
    placeNatively(window, at);
}

void offerNoResize(QWidget& window) {
    // The toolkit always offers resizing in the Motif hints; this window is of
    // one size, so it offers only moving, minimising and closing.
    xcb_connection_t* c = xcbConnection();
    if (!c) return;
    const char atomName[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof(atomName) - 1, atomName), nullptr);
    if (!reply) return;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    enum : uint32_t {
        HintFunctions = 1,
        HintDecorations = 2,
        FuncMove = 4,
        FuncMinimize = 8,
        FuncClose = 32,
        DecorBorder = 2,
        DecorTitle = 8,
        DecorMenu = 16,
        DecorMinimize = 32,
    };
    const uint32_t hints[5] = {HintFunctions | HintDecorations, FuncMove | FuncMinimize | FuncClose,
                               DecorBorder | DecorTitle | DecorMenu | DecorMinimize, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()), atom,
                        atom, 32, 5, hints);
    xcb_flush(c);
}

} // namespace window_placement
