#pragma once

#include "session_file.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QMenu;
class QShortcut;
class WindowRoom;
class QWidget;

// "Save session…" (Ctrl+S) and "Open session…" (Ctrl+O): the window's whole
// session, its settings, spins, tracker and undo history, kept in a session
// file and taken up again exactly where it stood. A file that cannot be opened
// is refused with one message and the window stays as it was; while the board
// is locked both are refused with a beep. Nothing is written unless asked.
class SessionFiles : public QObject {
    Q_OBJECT
  public:
    SessionFiles(WindowRoom& form, QObject* parent);

    // The session as the window holds it now.
    vantel::Session session();
    // Writes the session to path through the one file writer; a failure is
    // said in a message box, success in a short notice naming the file. False, with a beep, while
    // the board is locked.
    bool saveTo(const QString& path);
    // Opens the session in path in place of the window's; false, and the
    // window untouched, when the file is refused or the board is locked.
    bool openFrom(const QString& path);
    // The same, with the path asked for in the desktop's file dialog.
    void askAndSave();
    void askAndOpen();

    void addEntries(QMenu* menu);
    // Puts a session in place of the window's, as opening a file does.
    void apply(vantel::Session&& session);
    QShortcut* SaveKey() const { return m_saveKey; }
    QShortcut* OpenKey() const { return m_openKey; }

    // Asks for the file to save to (saving) or open; an empty text is a
    // cancel. Empty means the desktop's file dialog; tests answer instead.
    using AskPath = std::function<QString(QWidget* parent, bool saving)>;
    static inline AskPath AskPathHook;
    // Shows why a file was not opened; empty means a warning message box.
    using Say = std::function<void(const QString& title, const QString& text)>;
    static inline Say SayHook;
    // Asks whether to replace the spins entered in the window by an opened
    // session; empty means a question box. Tests answer instead.
    using Confirm = std::function<bool(const QString& title, const QString& text)>;
    static inline Confirm ConfirmHook;
    // Says where a session was saved; empty means a short notice under the
    // board. Tests read it instead.
    using Notice = std::function<void(const QString& text)>;
    static inline Notice NoticeHook;

  private:
    // The session in path, or nothing, said in a message, when it is refused.
    std::optional<vantel::Session> readOrSay(const QString& path);
    bool replacingConfirmed(const QString& path);
    bool refusedWhileLocked();

    WindowRoom& m_form;
    QShortcut* m_saveKey = nullptr;
    QShortcut* m_openKey = nullptr;
};
