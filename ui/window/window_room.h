#pragma once

#include "settings.h"
#include "tracker.h"

#include <functional>

class QWidget;
class SpinUndo;

// The main window as the helpers of its room see it: the keys and menus of
// undo, the side windows, the session files. They reach the window only
// through here, as the core reaches it only through its items, so none of
// them includes the window and the window may include them all.
class WindowRoom {
  public:
    virtual ~WindowRoom() = default;

    virtual QWidget& widget() = 0;
    virtual vantel::Tracker& tracker() = 0;
    // Ctrl+Z, Ctrl+Shift+Z, the right-button menu and the undo history.
    virtual SpinUndo& spinUndo() = 0;
    virtual bool buttonsLocked() const = 0;
    // Runs a procedure as the window runs its clicks: an error raised by the
    // tracker ends it and is shown in the error box.
    virtual void guarded(const std::function<void()>& procedure) = 0;
    // The settings as the window's controls show them, read without changing
    // any of them, and set through the controls as a player sets them.
    virtual vantel::Settings settings() const = 0;
    virtual void applySettings(const vantel::Settings& settings) = 0;
    // Shows the tracker's state in the window's labels now, as the 10 ms
    // refresh does.
    virtual void refresh() = 0;
    // Gives the window its icon, if it has none yet.
    virtual void ensureIcon() = 0;

    // Called when the window unlocks, a draw over (the journal keeps the
    // window's state then).
    std::function<void()> OnUnlocked;
};
