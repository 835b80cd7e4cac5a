#include "window/session_tools.h"

#include "simulate/simulate_dialog.h"
#include "spin_rules.h"
#include "statistics/statistics_window.h"
#include "statistics/wheel_evidence_view.h"
#include "widgets/cspinedit.h"
#include "widgets/side_placement.h"
#include "window/journal_recorder.h"
#include "window/session_files.h"
#include "window/spin_undo.h"
#include "window/window_room.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScrollArea>
#include <QShortcut>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>

namespace {} // namespace

// The program's keys reach the board from every window of the program: the
// Statistics window, the Simulate dialog and every setting of the main window.
// A text field keeps Ctrl+Z and Ctrl+Shift+Z while it has typing of its own to
// take back or enter again; after that they act on the spins. Ctrl+E, Ctrl+I and
// Ctrl+R always belong to the program, as do the keys of Reset, ReCalculate and
// what was said. Shift+F10 opens the focused control's menu, as the Menu key
// does; Ctrl+Tab and Ctrl+PageDown (with Shift, Ctrl+PageUp) turn the pages of
// the tabs around the focus. Long tooltips are wrapped.
class KeyRoutes : public QObject {
  public:
    KeyRoutes(WindowRoom& form, SessionTools& tools) : QObject(&tools), m_form(form) {
        qApp->installEventFilter(this);
    }
    ~KeyRoutes() override { qApp->removeEventFilter(this); }

    // The program's shortcuts act while any of its windows is active.
    void widen() {
        for (QShortcut* key : m_form.widget().findChildren<QShortcut*>(Qt::FindDirectChildrenOnly))
            if (ownKey(key)) key->setContext(Qt::ApplicationShortcut);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) return route(watched, event);
        if (event->type() == QEvent::KeyPress) return pressKey(watched, event);
        if (event->type() == QEvent::ToolTip) return wrapTip(watched, event);
        return false;
    }

  private:
    static bool ownKey(const QShortcut* key) {
        static const QStringList names{"UndoKey",        "RedoKey",     "NumberEntryShortcut",
                                       "StatisticsKey",  "SimulateKey", "ResetKey",
                                       "ReCalculateKey", "SayAgainKey", "LitNumbersKey"};
        return names.contains(key->objectName());
    }

    bool ours(const QWidget* w) const {
        const QWidget* top = w->window();
        return top == &m_form.widget() || top->parentWidget() == &m_form.widget();
    }

    bool route(QObject* watched, QEvent* event) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || !ours(w)) return false;
        widen();
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        QShortcut* undo = m_form.spinUndo().UndoKey();
        QShortcut* redo = m_form.spinUndo().RedoKey();
        const bool isUndo = undo->keys().contains(pressed);
        const bool isRedo = redo->keys().contains(pressed);
        bool program = isUndo || isRedo;
        for (QShortcut* s : m_form.widget().findChildren<QShortcut*>(Qt::FindDirectChildrenOnly))
            if (ownKey(s) && s->keys().contains(pressed)) program = true;
        if (!program) return false;
        if (isUndo || isRedo) {
            // The field's own typing first.
            const QLineEdit* edit = qobject_cast<QLineEdit*>(w);
            if (!edit)
                if (auto* box = qobject_cast<QAbstractSpinBox*>(w))
                    edit = box->findChild<QLineEdit*>();
            if (edit && !edit->isReadOnly() &&
                (isUndo ? edit->isUndoAvailable() : edit->isRedoAvailable()))
                return false;
        }
        // Not taken by the focused control: the shortcut acts.
        key->ignore();
        return true;
    }

    bool pressKey(QObject* watched, QEvent* event) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || !w->isVisible() || !ours(w) || w != QApplication::focusWidget()) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods =
            key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if ((key->key() == Qt::Key_F10 && mods == Qt::ShiftModifier) ||
            (key->key() == Qt::Key_Menu && mods == Qt::NoModifier)) {
            // The focused control's own menu, or else its window's.
            const QPoint at = w->rect().center();
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, w->mapToGlobal(at));
            QApplication::sendEvent(w, &menu);
            if (!QApplication::activePopupWidget() && w != w->window()) {
                QContextMenuEvent own(QContextMenuEvent::Keyboard, w->mapTo(w->window(), at),
                                      w->mapToGlobal(at));
                QApplication::sendEvent(w->window(), &own);
            }
            return true;
        }
        int step = 0;
        if (mods == Qt::ControlModifier &&
            (key->key() == Qt::Key_Tab || key->key() == Qt::Key_PageDown))
            step = 1;
        if ((mods == (Qt::ControlModifier | Qt::ShiftModifier) && key->key() == Qt::Key_Backtab) ||
            (mods == Qt::ControlModifier && key->key() == Qt::Key_PageUp))
            step = -1;
        if (step == 0) return false;
        QTabWidget* tabs = nullptr;
        for (QWidget* up = w; up && !tabs; up = up->isWindow() ? nullptr : up->parentWidget())
            tabs = qobject_cast<QTabWidget*>(up);
        if (!tabs)
            for (QTabWidget* t : w->window()->findChildren<QTabWidget*>())
                if (t->isVisible()) {
                    tabs = t;
                    break;
                }
        if (!tabs || tabs->count() < 2) return false;
        tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
        return true;
    }

    bool wrapTip(QObject* watched, QEvent* event) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || !ours(w)) return false;
        const QString tip = w->toolTip();
        if (tip.size() <= kLongTip || Qt::mightBeRichText(tip)) return false;
        // A rich text tooltip wraps at the tooltip's width.
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                           QStringLiteral("<p>%1</p>").arg(tip.toHtmlEscaped()), w);
        return true;
    }

    static constexpr int kLongTip = 60;
    WindowRoom& m_form;
};

SessionTools::SessionTools(WindowRoom& form) : QObject(&form.widget()), m_form(form) {
    m_statisticsKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_I), &form.widget());
    m_statisticsKey->setObjectName(QStringLiteral("StatisticsKey"));
    m_simulateKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), &form.widget());
    m_simulateKey->setObjectName(QStringLiteral("SimulateKey"));
    connect(m_statisticsKey, &QShortcut::activated, this, &SessionTools::openStatistics);
    connect(m_simulateKey, &QShortcut::activated, this, &SessionTools::openSimulate);
    form.spinUndo().history().OnChange = [this] { historyChanged(); };
    m_files = new SessionFiles(form, this);
    m_sides = new vantel::SideWindows(&form.widget());
    m_recorder = new JournalRecorder(form, *m_files, this);
    m_keys = new KeyRoutes(form, *this);
    // The number entry's key is made after these tools.
    QTimer::singleShot(0, m_keys, [keys = m_keys] { keys->widen(); });
}

SessionTools::~SessionTools() {
    m_form.spinUndo().history().OnChange = nullptr;
    delete m_simulate;
    delete m_statistics;
}

void SessionTools::historyChanged() {
    // Spins come in from inside the tracker's procedures; the window reads the
    // session once they are done, in the same turn of the event loop. The
    // journal takes each spin at once, before its draw.
    m_recorder->historyChanged();
    if (!m_statistics || m_refreshPending) return;
    m_refreshPending = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshPending = false;
        refreshStatistics();
    });
}

void SessionTools::refreshStatistics() {
    if (!m_statistics) return;
    m_statistics->refresh();
    std::vector<int> numbers;
    numbers.reserve(m_form.spinUndo().history().entered().size());
    for (const vantel::EnteredSpin& spin : m_form.spinUndo().history().entered())
        numbers.push_back(spin.number);
    m_wheelPage->setSession(vantel::sim::talliesOfNight(numbers));
    m_wheelPage->refresh();
}

void SessionTools::openStatistics() {
    if (!m_statistics) {
        m_statistics =
            new StatisticsWindow(m_form.spinUndo().history().entered(), &m_form.widget());
        m_wheelPage = new WheelEvidenceView;
        // The window keeps the size its other pages ask for: this page fits
        // any width, its tables split and its choosers stacked where narrow.
        m_wheelPage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        m_statistics->addScrollingPage(QStringLiteral("&Journal"), m_wheelPage);
        const auto follow = [this](const QString& status) {
            m_statistics->setRecordingLine(status);
            m_wheelPage->setJournal(m_recorder->store());
            if (m_recorder->recording()) m_wheelPage->chooseWheel(m_recorder->wheelName());
        };
        follow(m_recorder->statusText());
        connect(m_recorder, &JournalRecorder::statusChanged, m_statistics, follow);
    }
    const bool shown = m_statistics->isVisible();
    refreshStatistics();
    m_statistics->showBeside(m_sides);
    // Shown without taking the keyboard: a screen reader would not hear it open.
    if (Announce)
        Announce(m_statistics->windowTitle() +
                 (shown ? QStringLiteral(", beside the main window")
                        : QStringLiteral(", opened beside the main window")));
}

vantel::sim::Settings SessionTools::currentSettings() const {
    return m_form.settings();
}

void SessionTools::openSimulate() {
    // One dialog for the session of the program: a run keeps going, a closed
    // dialog shows its last report again, and the settings are the window's
    // as they are now unless a run is going.
    if (!m_simulate)
        m_simulate = new SimulateDialog(currentSettings(), &m_form.widget());
    else if (!m_simulate->running())
        m_simulate->setSettings(currentSettings());
    if (!m_simulate->isVisible())
        m_sides->show(m_simulate, m_simulate->wantedSize(), SimulateDialog::kSmallest);
    m_simulate->raise();
    m_simulate->activateWindow();
}

QString SessionTools::aboutText() {
    return QStringLiteral(
        "<p><b>Vantel 2.0</b></p>"
        "<p>A companion for a European roulette table: it records the spins, suggests "
        "numbers and steps the stake.</p>"
        "<p>No setting changes the house edge: every bet returns 36/37 of its stake on "
        "average, whatever the progression.</p>"
        "<p><b>Keys</b><br>"
        "Ctrl+Z: undo the last spin<br>"
        "Ctrl+Shift+Z: enter it again<br>"
        "Ctrl+E: enter spins by their numbers<br>"
        "Ctrl+B: reset the stake<br>"
        "F9: recalculate<br>"
        "F2: say the last announcement again<br>"
        "Ctrl+L: say the lit numbers<br>"
        "Ctrl+I: statistics<br>"
        "Ctrl+R: simulate these settings<br>"
        "Ctrl+S: save the session<br>"
        "Ctrl+O: open a saved session<br>"
        "Tab: the next setting<br>"
        "Shift+F10: the menu<br>"
        "Ctrl+Tab: the next page</p>");
}

void SessionTools::showAbout() {
    QMessageBox box(&m_form.widget());
    box.setObjectName(QStringLiteral("AboutBox"));
    box.setWindowTitle(QStringLiteral("About Vantel"));
    box.setTextFormat(Qt::RichText);
    box.setText(aboutText());
    m_form.ensureIcon();
    box.setIconPixmap(m_form.widget().windowIcon().pixmap(64, 64));
    box.exec();
}

void SessionTools::addEntries(QMenu* menu) {
    QAction* stats =
        menu->addAction(QStringLiteral("Statistics…"), this, &SessionTools::openStatistics);
    stats->setObjectName(QStringLiteral("StatisticsEntry"));
    stats->setShortcut(m_statisticsKey->key());
    QAction* sim = menu->addAction(QStringLiteral("Simulate these settings…"), this,
                                   &SessionTools::openSimulate);
    sim->setObjectName(QStringLiteral("SimulateEntry"));
    sim->setShortcut(m_simulateKey->key());
    menu->addSeparator();
    m_files->addEntries(menu);
    menu->addSeparator();
    m_recorder->addEntries(menu);
    menu->addSeparator();
    QAction* about =
        menu->addAction(QStringLiteral("About Vantel"), this, &SessionTools::showAbout);
    about->setObjectName(QStringLiteral("AboutEntry"));
}
