#pragma once

#include "tracker.h"
#include "tracker_observer.h"
#include "window/window_room.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class BoardView;
class PlayerAids;
class ProgramTimer;
class SessionTools;
class SettingsBar;
class SpinUndo;
class TFocusCue;
class TNumberEntry;

// The main window's shell: the board (board_view.h) and the settings bar
// (settings_bar.h) on it, the keys, the menus and the side windows (its
// helpers), locking and the keyboard focus, and the error box. It owns the
// tracker, and the board and the bar follow the tracker's notifications
// (TrackerSignals); clicks, ticks and text changes run the tracker's
// procedures through one guard that reports an error in a message box.
class MainWindow : public QWidget, public WindowRoom {
    Q_OBJECT
  public:
    explicit MainWindow(vantel::CalendarClock clock = vantel::systemCalendarSeconds,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    void FormCreate();
    void ShowValuesTimer();
    void ReCalculateClick();
    void Timer_RecalculateTimer();

    // The window as its helpers see it.
    QWidget& widget() override { return *this; }
    vantel::Tracker& tracker() override { return m_tracker; }
    // Ctrl+Z, Ctrl+Shift+Z and the right-button menu (spin_undo.cpp).
    SpinUndo& spinUndo() override { return *m_spinUndo; }
    vantel::Settings settings() const override;
    void applySettings(const vantel::Settings& settings) override;
    void refresh() override;
    // Statistics, Simulate and About (session_tools.cpp).
    SessionTools& sessionTools() { return *m_sessionTools; }

    // Enters spin n exactly as a click on its cell would; false, and nothing
    // else, while the window is locked. The keyboard's number entry uses it
    // and beeps the refusal once.
    bool enterSpin(int n);
    // Gives the window its icon, if it has none yet; done once the window is first
    // exposed, so that painting it does not hold back the window's appearance.
    void ensureIcon() override;
    // Focus, wheel, descriptions and the keyboard's number entry (player_aids.h).
    PlayerAids& playerAids() { return *m_playerAids; }
    // Opens the number entry (Ctrl+E).
    void openNumberEntry();
    TNumberEntry* numberEntry();
    TFocusCue* focusCue() const;

    // Shows an error the way the event loop does: a message box with an error
    // icon, an OK button and the application's title as caption, over the
    // given window (none while no window stands). Tests replace it.
    using ErrorSink = std::function<void(const QString& caption, const QString& text)>;
    static void setErrorSink(ErrorSink sink);
    static void showError(const QString& message, QWidget* parent = nullptr);
    static QString applicationTitle(const QString& programPath);
    static QString errorText(const QString& message);

    // Runs a click, tick or change procedure; an error ends it and everything
    // that ran it, and is reported once the outermost procedure has unwound.
    void guarded(const std::function<void()>& procedure) override;

    // The calendar the tracker reads.
    int64_t calendarSeconds() const;
    // What the tracker keeps, shown by the controls as it tells them.
    void showLit(int n, bool lit);
    void showStrip(const vantel::HistoryStrip& strip);
    void showBet(const std::string& text);
    void showSettingText(vantel::SpinSetting s, const std::string& text);
    void showProgress(int progress);
    void showLock(bool locked);
    void showTimer(vantel::TimerId id, bool on, int interval, bool restart);

    // Locks and unlocks the window through the tracker, as a draw does.
    void Disable_Buttons() { m_tracker.Disable_Buttons(); }
    void Enable_Buttons() { m_tracker.Enable_Buttons(); }
    bool buttonsLocked() const override { return m_tracker.buttonsLocked(); }
    int currentNum() const { return m_tracker.currentNum(); }
    // What the controls show: a lit mark, a history cell's text and colour.
    bool actNumberVisible(int n) const;
    std::string historyText(int cell) const;
    uint32_t historyColour(int cell) const;
    // A tracker timer's flag and interval as its timer has them.
    bool timerEnabled(vantel::TimerId id) const;
    int timerInterval(vantel::TimerId id) const;
    // Show a mark or a Bet text without the tracker (their descriptions follow).
    void setActNumberVisible(int n, bool visible) { showLit(n, visible); }
    void setBetText(const std::string& text) { showBet(text); }

    // The client size for the chosen game mode: the Sequential settings add a strip.
    static constexpr int kClientWidth = 473;
    static constexpr int kClientHeight = 261;
    static constexpr int kSequentialClientHeight = 302;

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void setUpPlayerAids();
    void buildTimers();
    void bindProcedures();
    void followTracker();
    void gameModeChosen(int index);
    void recoverAfterError();
    void showUnlocked();
    ProgramTimer* timerOf(vantel::TimerId id) const;
    std::array<QWidget*, 12> lockedSettings() const;

    vantel::CalendarClock m_clock;
    // Before the tracker and the helpers, so that they go last: whatever the
    // others show while they go still has its controls.
    std::unique_ptr<BoardView> m_boardView;
    std::unique_ptr<SettingsBar> m_settingsBar;
    vantel::Tracker m_tracker;
    ProgramTimer* ShowValues = nullptr;
    ProgramTimer* Timer_Classic = nullptr;
    ProgramTimer* Timer_Recalculate = nullptr;
    ProgramTimer* Fixed_Matrix_Timer = nullptr;
    ProgramTimer* Sequential_Timer = nullptr;
    ProgramTimer* Timer_Mode2 = nullptr;
    // Whether the controls show the window locked.
    bool m_shownLocked = false;
    // The control that had the keyboard focus when the window locked.
    QPointer<QWidget> m_focusBeforeLock;
    bool m_placed = false;
    bool m_iconSet = false;
    int m_guardDepth = 0;
    qreal m_pixelRatio = 1.0;
    PlayerAids* m_playerAids = nullptr;
    // After the tracker, so that it goes first.
    std::unique_ptr<SpinUndo> m_spinUndo;
    // After the history it reads, so that it goes first.
    std::unique_ptr<SessionTools> m_sessionTools;
};
