#include "window/main_window.h"

#include "art/fonts.h"
#include "art/ready_art.h"
#include "widgets/accessibility.h"
#include "widgets/focus_cue.h"
#include "widgets/program_timer.h"
#include "window/board_view.h"
#include "window/number_entry.h"
#include "window/player_aids.h"
#include "window/session_tools.h"
#include "window/settings_bar.h"
#include "window/spin_undo.h"
#include "window/tracker_signals.h"
#include "window/window_placement.h"

#include "settings.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QWindow>

#include <array>
#include <exception>
#include <optional>

using vantel::TimerId;
namespace setting = vantel::setting;

namespace {

// A new line edit lays out its empty text once in the application's font
// before it takes its own. With the desktop's font that loads a face the
// window never shows, a tenth of the start-up's font work; so while the
// controls are built the application's font is the window's, and the
// desktop's is put back before anything is shown. Having been set, the
// application's font no longer follows the desktop's by itself: the window
// passes on each change of the desktop's theme (changeEvent).
class ApplicationFontWhileBuilding {
  public:
    explicit ApplicationFontWhileBuilding(const QFont& font) : m_saved(QApplication::font()) {
        QApplication::setFont(font);
    }
    ~ApplicationFontWhileBuilding() { QApplication::setFont(m_saved); }
    ApplicationFontWhileBuilding(const ApplicationFontWhileBuilding&) = delete;
    ApplicationFontWhileBuilding& operator=(const ApplicationFontWhileBuilding&) = delete;

  private:
    const QFont m_saved;
};

MainWindow::ErrorSink& errorSink() {
    static MainWindow::ErrorSink sink;
    return sink;
}

} // namespace

MainWindow::MainWindow(vantel::CalendarClock clock, QWidget* parent)
    : QWidget(parent), m_clock(std::move(clock)) {
    followTracker();
    // Before any control: a tool may ask for one while it is built.
    vantel::accessibility::install();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Vantel 2.0"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    move(252, 129);
    // The icon is painted once the window is on the screen (showEvent), so
    // that it does not hold back the window's first appearance.
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    pal.setColor(QPalette::ButtonText, Qt::white);
    setPalette(pal);
    setFont(vantel::arialFont(11, false));

    // The art is painted at the screen's density, so it stays sharp when scaled.
    m_pixelRatio = qApp->devicePixelRatio();
    {
        const ApplicationFontWhileBuilding windowFont(font());
        // The board first: the settings, windowed controls, lie above it.
        m_boardView = std::make_unique<BoardView>(*this, m_pixelRatio);
        m_settingsBar = std::make_unique<SettingsBar>(*this);
        buildTimers();
        bindProcedures();
        m_spinUndo = std::make_unique<SpinUndo>(*this);
        m_sessionTools = std::make_unique<SessionTools>(*this);
        m_spinUndo->MoreEntries = [this](QMenu* menu) {
            m_playerAids->addEntries(menu);
            menu->addSeparator();
            m_sessionTools->addEntries(menu);
        };
        setUpPlayerAids();
        m_sessionTools->Announce = [this](const QString& text) { m_playerAids->announce(text); };
    }
    m_settingsBar->controls()[vantel::settingIndex(&vantel::Settings::gameMode)]->setFocus();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ThemeChange)
        QApplication::setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    QWidget::changeEvent(event);
}

MainWindow::~MainWindow() {
    // The controls outlive the tracker by a moment: nothing may call it any more.
    for (ProgramTimer* t : {ShowValues, Timer_Classic, Timer_Recalculate, Fixed_Matrix_Timer,
                            Sequential_Timer, Timer_Mode2}) {
        t->setEnabled(false);
        t->OnTimer = nullptr;
    }
    m_settingsBar->disconnect(this);
    m_boardView->disconnect(this);
    for (QObject* child : children())
        disconnect(child, nullptr, this, nullptr);
    // Hiding while the base class tears the window down moves the focus and
    // sends events: neither may reach this half-destroyed window any more.
    disconnect(qApp, nullptr, this, nullptr);
    if (m_playerAids) m_playerAids->release();
}

void MainWindow::buildTimers() {
    auto timer = [this](const char* name, int interval, bool on) {
        auto* t = new ProgramTimer(interval, on, this);
        t->setObjectName(QString::fromLatin1(name));
        return t;
    };
    const auto startInterval = [](TimerId id) {
        return vantel::kTimerStartIntervals[static_cast<size_t>(id)];
    };
    ShowValues = timer("ShowValues", 10, true);
    Timer_Classic = timer("Timer_Classic", startInterval(TimerId::Classic), false);
    Timer_Recalculate = timer("Timer_Recalculate", 60, false);
    Fixed_Matrix_Timer = timer("Fixed_Matrix_Timer", startInterval(TimerId::FixedMatrix), false);
    Sequential_Timer = timer("Sequential_Timer", startInterval(TimerId::Sequential), false);
    Timer_Mode2 = timer("Timer_Mode2", startInterval(TimerId::Mode2), false);
}

// The tracker reads the window's calendar and tells the controls what changed.
void MainWindow::followTracker() {
    m_tracker.setCalendar(m_clock);
    auto* tell = new TrackerSignals(this);
    m_tracker.setObserver(tell);
    connect(tell, &TrackerSignals::markLit, this, &MainWindow::showLit);
    connect(tell, &TrackerSignals::stripShown, this, &MainWindow::showStrip);
    connect(tell, &TrackerSignals::stakeShown, this, &MainWindow::showBet);
    connect(tell, &TrackerSignals::progressShown, this, &MainWindow::showProgress);
    connect(tell, &TrackerSignals::lockShown, this, &MainWindow::showLock);
    connect(tell, &TrackerSignals::settingTextShown, this, &MainWindow::showSettingText);
    connect(tell, &TrackerSignals::timerRequested, this, &MainWindow::showTimer);
}

void MainWindow::bindProcedures() {
    connect(m_boardView.get(), &BoardView::cellClicked, this, [this](int n) {
        guarded([this, n] { m_tracker.numberClick(n); });
        m_playerAids->spinEntered(n);
    });
    connect(m_boardView.get(), &BoardView::resetClicked, this,
            [this] { guarded([this] { m_tracker.Reset_BetsClick(); }); });
    connect(m_boardView.get(), &BoardView::reCalculateClicked, this,
            [this] { guarded([this] { ReCalculateClick(); }); });

    m_settingsBar->bind(*this);

    ShowValues->OnTimer = [this] { guarded([this] { ShowValuesTimer(); }); };
    Timer_Recalculate->OnTimer = [this] { guarded([this] { Timer_RecalculateTimer(); }); };
    for (TimerId id : vantel::kTrackerTimers)
        timerOf(id)->OnTimer = [this, id] { guarded([this, id] { m_tracker.tick(id); }); };

    connect(m_settingsBar.get(), &SettingsBar::gameModeChosen, this, &MainWindow::gameModeChosen);
}

void MainWindow::setUpPlayerAids() {
    PlayerAids::Controls c;
    c.window = this;
    c.settings = lockedSettings();
    c.fields = m_settingsBar->controls();
    c.sequentialPanel = m_settingsBar->sequentialPanel();
    m_boardView->addControls(c);
    const std::vector<QWidget*> bevels = m_settingsBar->bevels();
    c.decorative.insert(c.decorative.end(), bevels.begin(), bevels.end());
    m_playerAids = new PlayerAids(c, [this](int n) { return enterSpin(n); });
    m_boardView->setPlayerAids(m_playerAids);
}

bool MainWindow::enterSpin(int n) {
    // A refusal is the caller's to tell: the number entry beeps and says why.
    if (n < 0 || n > vantel::kHighestNumber || m_tracker.buttonsLocked()) return false;
    guarded([this, n] { m_tracker.numberClick(n); });
    m_playerAids->spinEntered(n);
    return true;
}

void MainWindow::openNumberEntry() {
    m_playerAids->openNumberEntry();
}

TNumberEntry* MainWindow::numberEntry() {
    return m_playerAids->numberEntry();
}

TFocusCue* MainWindow::focusCue() const {
    return m_playerAids->focusCue();
}

void MainWindow::ensureIcon() {
    if (m_iconSet) return;
    m_iconSet = true;
    setWindowIcon(QIcon(vantel::iconArt()));
}

void MainWindow::showEvent(QShowEvent* event) {
    if (!m_placed) {
        m_placed = true;
        window_placement::placeAtOpening(*this);
        window_placement::offerNoResize(*this);
        // The icon waits for the window's first appearance on the screen.
        if (windowHandle())
            windowHandle()->installEventFilter(this);
        else
            ensureIcon();
    }
    QWidget::showEvent(event);
    m_playerAids->followFocus();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched == windowHandle() &&
        windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &MainWindow::ensureIcon, Qt::QueuedConnection);
        return false;
    }
    return QWidget::eventFilter(watched, event);
}

// The right button anywhere on the window, wherever no control takes it first.
void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    m_spinUndo->showMenu(event->globalPos());
    event->accept();
}

void MainWindow::FormCreate() {
    m_tracker.Hide_Active();
}

void MainWindow::gameModeChosen(int index) {
    const bool sequential = index == setting::kSequential;
    m_settingsBar->showSequential(sequential);
    m_boardView->showSequentialCount(sequential);
    setFixedSize(kClientWidth, sequential ? kSequentialClientHeight : kClientHeight);
}

// ---- Errors ----

void MainWindow::setErrorSink(ErrorSink sink) {
    errorSink() = std::move(sink);
}

QString MainWindow::applicationTitle(const QString& programPath) {
    QString name = QFileInfo(programPath).baseName();
    if (name.size() > 1) name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString MainWindow::errorText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
    return message;
}

void MainWindow::showError(const QString& message, QWidget* parent) {
    const QString caption = applicationTitle(QCoreApplication::applicationFilePath());
    const QString text = errorText(message);
    if (errorSink()) {
        errorSink()(caption, text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void MainWindow::guarded(const std::function<void()>& procedure) {
    if (m_guardDepth > 0) {
        // Run from inside another procedure: an error ends that one too.
        procedure();
        return;
    }
    std::optional<QString> error;
    ++m_guardDepth;
    try {
        procedure();
    } catch (const std::exception& e) {
        error = QString::fromStdString(e.what());
    } catch (...) {
        error = QString();
    }
    --m_guardDepth;
    if (!error) return;
    // Shown once the click, tick or change has been handled, so that a timer whose
    // tick failed goes on ticking behind the box.
    QMetaObject::invokeMethod(
        this,
        [this, message = *error] {
            showError(message, this);
            recoverAfterError();
        },
        Qt::QueuedConnection);
}

void MainWindow::recoverAfterError() {
    // An error inside the evaluation of a spin leaves the window locked with no
    // analysis to unlock it; once the player has read the message, unlock it.
    if (Timer_Recalculate->enabled()) return;
    m_tracker.recoverAfterError();
}

// ---- Refresh and the recalculation animation ----

vantel::Settings MainWindow::settings() const {
    return m_settingsBar->settings();
}

void MainWindow::applySettings(const vantel::Settings& s) {
    m_settingsBar->applySettings(s);
}

void MainWindow::refresh() {
    guarded([this] { ShowValuesTimer(); });
}

void MainWindow::ShowValuesTimer() {
    m_boardView->showValues(m_tracker.state(), m_tracker.currentNum(), m_settingsBar->safeLevel());
}

void MainWindow::ReCalculateClick() {
    m_tracker.Disable_Buttons();
    Timer_Recalculate->setEnabled(true);
}

void MainWindow::Timer_RecalculateTimer() {
    if (!m_boardView->stepRecalculation()) return;
    Timer_Recalculate->setEnabled(false);
    m_tracker.Enable_Buttons();
}

// ---- Locking ----

std::array<QWidget*, 12> MainWindow::lockedSettings() const {
    return m_settingsBar->lockedControls(m_boardView->resetButton(),
                                         m_boardView->recalculateButton());
}

void MainWindow::showLock(bool locked) {
    if (!locked) return showUnlocked();
    // The window's own focus, also while another window of the program (the
    // number entry) is the active one.
    if (!m_shownLocked) m_focusBeforeLock = focusWidget();
    m_shownLocked = true;
    if (m_playerAids) m_playerAids->locked();
    for (QWidget* w : lockedSettings())
        w->setEnabled(false);
    m_boardView->showLock(true);
}

void MainWindow::showUnlocked() {
    m_shownLocked = false;
    for (QWidget* w : lockedSettings())
        w->setEnabled(true);
    m_boardView->showLock(false);
    // Locking took the focus away; it goes back where it was, when it can.
    QWidget* back = m_focusBeforeLock;
    m_focusBeforeLock = nullptr;
    if (back && back->isEnabled() && back->isVisible() && focusWidget() != back)
        back->setFocus(Qt::OtherFocusReason);
    if (m_playerAids) {
        m_playerAids->followFocus();
        m_playerAids->unlocked();
    }
    if (OnUnlocked) OnUnlocked();
}

// ---- What the tracker tells ----

int64_t MainWindow::calendarSeconds() const {
    return m_clock();
}

void MainWindow::showSettingText(vantel::SpinSetting s, const std::string& text) {
    m_settingsBar->showSettingText(s, text);
}

bool MainWindow::actNumberVisible(int n) const {
    return m_boardView->litShown(n);
}

void MainWindow::showLit(int n, bool lit) {
    m_boardView->showLit(n, lit);
}

std::string MainWindow::historyText(int cell) const {
    return m_boardView->historyText(cell);
}

void MainWindow::showStrip(const vantel::HistoryStrip& strip) {
    m_boardView->showStrip(strip);
}

uint32_t MainWindow::historyColour(int cell) const {
    return m_boardView->historyColour(cell);
}

void MainWindow::showBet(const std::string& text) {
    m_boardView->showBet(text);
}

void MainWindow::showProgress(int progress) {
    m_boardView->showProgress(progress);
}

ProgramTimer* MainWindow::timerOf(TimerId id) const {
    switch (id) {
    case TimerId::Classic:
        return Timer_Classic;
    case TimerId::FixedMatrix:
        return Fixed_Matrix_Timer;
    case TimerId::Mode2:
        return Timer_Mode2;
    case TimerId::Sequential:
        return Sequential_Timer;
    }
    return Timer_Classic;
}

bool MainWindow::timerEnabled(TimerId id) const {
    return timerOf(id)->enabled();
}
int MainWindow::timerInterval(TimerId id) const {
    return timerOf(id)->interval();
}

void MainWindow::showTimer(TimerId id, bool on, int interval, bool restart) {
    ProgramTimer* t = timerOf(id);
    // The timer restarts its count by itself when switched on or given another
    // interval while on; a request that restarts it at the interval it already
    // has restarts it here.
    if (restart && t->enabled() && t->interval() == interval) t->setEnabled(false);
    t->setInterval(interval);
    t->setEnabled(on);
}
