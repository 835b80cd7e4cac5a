#pragma once

#include "spin_history.h"

#include <QObject>
#include <QPoint>

#include <functional>

class QMenu;
class QShortcut;
class WindowRoom;

// Taking spins back in the window: Ctrl+Z and Ctrl+Shift+Z, and the
// right-button menu with "Undo spin N" and "Redo spin N". The history itself is
// the core's; this only binds the keys and the menu, and beeps when the core
// refuses (the window locked, or nothing to take back or enter again). A spin
// edit with the keyboard focus keeps the two keys for its own text; its text
// menu gets the two entries below its own.
class SpinUndo : public QObject {
    Q_OBJECT
  public:
    explicit SpinUndo(WindowRoom& form);

    vantel::SpinHistory& history() { return m_history; }

    void undo();
    void redo();
    // Opens the menu at a position on the screen; it closes and goes by itself.
    void showMenu(const QPoint& globalPos);
    QShortcut* UndoKey() const { return m_undoKey; }
    QShortcut* RedoKey() const { return m_redoKey; }

    static QString undoText(const vantel::SpinHistory& history);
    static QString redoText(const vantel::SpinHistory& history);

    // Adds the entries that follow Undo and Redo in the menus.
    std::function<void(QMenu*)> MoreEntries;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void addEntries(QMenu* menu);
    void run(vantel::SpinHistory::Result (vantel::SpinHistory::*step)());

    WindowRoom& m_form;
    vantel::SpinHistory m_history;
    QShortcut* m_undoKey = nullptr;
    QShortcut* m_redoKey = nullptr;
};
