#pragma once

#include "journal_store.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class WindowRoom;
class QMenu;
class SessionFiles;

// Recording the spins entered in the window to a wheel of the journal, the
// player's choice ("Record to a wheel…", or vantel --journal FILE --wheel
// NAME): each spin is committed before its draw starts, a spin taken back is
// marked, and after every finished draw the window's whole state (a session
// file's text) is kept with the night, so that a new start resumes it exactly.
// A fault of the journal (a full disk, a read-only, locked or damaged file)
// stops recording with one message; the window goes on taking spins. Nothing
// is written unless the player asks. "Import spins…" brings recorded spins in
// as a night of their own.
class JournalRecorder : public QObject {
    Q_OBJECT
  public:
    JournalRecorder(WindowRoom& form, SessionFiles& files, QObject* parent);
    ~JournalRecorder() override;

    // Records to the wheel of that name in the journal at path (both made
    // when missing). A night left open there is offered for resuming. False,
    // with the reason said, when the journal cannot be used.
    bool start(const QString& path, const QString& wheel);
    // Ends the night and the recording; the next start records nothing.
    void stop();
    bool recording() const { return m_store != nullptr; }
    // The journal recorded to, or null; it goes with the next statusChanged.
    vantel::journal::JournalStore* store() const { return m_store.get(); }
    const QString& wheelName() const { return m_wheelName; }
    // "Recording to 'Table 3' in journal.sqlite", or empty when not recording.
    QString statusText() const;
    // The journal and wheel last chosen, recorded to at the next start.
    static std::optional<std::pair<QString, QString>> remembered();
    void startRemembered();
    // Where a journal goes unless the player chooses: the user's data folder.
    static QString defaultJournal();

    // Called with the window's spins changed (SpinHistory::OnChange).
    void historyChanged();
    void addEntries(QMenu* menu);
    void askAndStart();
    void askAndImport();
    // Imports text (spins file, CSV, pasted or a session) as a night of the
    // wheel in the journal at path; the night's spins, or 0 with the reason said.
    std::int64_t importText(const QString& path, const QString& wheel, const std::string& text,
                            const QString& origin);

    // Tests answer instead of the dialogs: which journal and wheel to record
    // to (empty: cancelled), whether to resume a night, and what is said.
    using AskWheel = std::function<std::pair<QString, QString>()>;
    static inline AskWheel AskWheelHook;
    using Confirm = std::function<bool(const QString& title, const QString& text)>;
    static inline Confirm ResumeHook;
    using Say = std::function<void(const QString& title, const QString& text)>;
    static inline Say SayHook;
    // How the journal is opened (tests limit its size to make a full disk).
    static inline vantel::journal::OpenOptions OpenOptionsHook;

  signals:
    void statusChanged(const QString& text);

  private:
    void begin(bool resume);
    void resumeNight(const vantel::journal::NightInfo& night);
    void recordSpin(int number);
    void saveStateWhenDrawn();
    void enterPending();
    void failed(const std::exception& e);
    void say(const QString& title, const QString& text);
    bool guardedWrite(const std::function<void()>& write);

    WindowRoom& m_form;
    SessionFiles& m_files;
    std::unique_ptr<vantel::journal::JournalStore> m_store;
    QString m_path;
    QString m_wheelName;
    std::int64_t m_wheel = 0;
    std::int64_t m_night = 0;
    std::int64_t m_lastOrder = 0;
    // The spins the window holds, as last seen.
    std::size_t m_known = 0;
    bool m_statePending = false;
    // Spins of a resumed night (order, number) to enter again in the window,
    // not recorded anew.
    std::vector<std::pair<std::int64_t, int>> m_pending;
    bool m_replaying = false;
};
