#pragma once

#include "engine.h"
#include "simulate/simulate_dialog.h"
#include "statistics/statistics_window.h"

#include <QObject>
#include <QPointer>

#include <functional>

class KeyRoutes;
class QMenu;
class QShortcut;
class SessionFiles;
class JournalRecorder;
class WheelEvidenceView;
class WindowRoom;
namespace vantel {
class SideWindows;
}

// What the session means, one right-click away: "Statistics…" (Ctrl+I),
// "Simulate these settings…" (Ctrl+R) and "About Vantel", below Undo and Redo
// in the window's menu. The program's keys work in every window of the
// program, wherever the focus is.
class SessionTools : public QObject {
    Q_OBJECT
  public:
    explicit SessionTools(WindowRoom& form);
    ~SessionTools() override;

    void openStatistics();
    void openSimulate();
    void showAbout();
    void addEntries(QMenu* menu);

    StatisticsWindow* statistics() const { return m_statistics; }
    SimulateDialog* simulate() const { return m_simulate; }
    QShortcut* StatisticsKey() const { return m_statisticsKey; }
    QShortcut* SimulateKey() const { return m_simulateKey; }
    // Save session… and Open session… (session_files.cpp).
    SessionFiles& files() const { return *m_files; }
    // Record to a wheel…, Stop recording and Import spins… (journal_recorder.cpp).
    JournalRecorder& recorder() const { return *m_recorder; }

    // Tells assistive tools what opened (the window's announcement line).
    std::function<void(const QString&)> Announce;

    // The window's settings as a backtest plays them.
    vantel::sim::Settings currentSettings() const;
    static QString aboutText();

  private:
    void historyChanged();
    void refreshStatistics();

    WindowRoom& m_form;
    QPointer<StatisticsWindow> m_statistics;
    // Statistics' whole-wheel page: the session's figures or a wheel's journal.
    WheelEvidenceView* m_wheelPage = nullptr;
    QPointer<SimulateDialog> m_simulate;
    QShortcut* m_statisticsKey = nullptr;
    QShortcut* m_simulateKey = nullptr;
    SessionFiles* m_files = nullptr;
    JournalRecorder* m_recorder = nullptr;
    bool m_refreshPending = false;
    KeyRoutes* m_keys = nullptr;
    // Statistics and the Simulate dialog, placed as a set.
    vantel::SideWindows* m_sides = nullptr;
};
