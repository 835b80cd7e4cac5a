#include "x_close.h"

#include <X11/Xlib.h>

namespace {
// A window may close by itself between being listed and being asked to:
// Xlib's default handler would end the test for that.
bool g_failed = false;
int noteError(Display*, XErrorEvent*) {
    g_failed = true;
    return 0;
}
} // namespace

bool sendCloseRequest(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    g_failed = false;
    const auto previous = XSetErrorHandler(noteError);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return sent != 0 && !g_failed;
}
