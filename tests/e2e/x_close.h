#pragma once

// Asks a top-level window to close as a window manager does: a WM_PROTOCOLS
// client message carrying WM_DELETE_WINDOW. Works without a window manager.
// Kept apart from the tests because Xlib's macros clash with Qt and GoogleTest.
bool sendCloseRequest(unsigned long window);
