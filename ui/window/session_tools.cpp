#include "window/session_tools.h"

#include "simulate/simulate_dialog.h"
#include "spin_rules.h"
#include "statistics/statistics_window.h"
#include "widgets/cspinedit.h"
#include "window/session_files.h"
#include "window/spin_undo.h"
#include "window/unit1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <QSlider>
#include <QTimer>

namespace {

// A spin edit's value as the tracker would read it, without rewriting its text.
int32_t peek(const TCSpinEdit* edit) {
    const vantel::SpinBounds bounds{edit->MinValue(), edit->MaxValue(), edit->Increment()};
    return vantel::spinClamp(bounds, vantel::spinRead(bounds, edit->text().toStdString()).value);
}

} // namespace

SessionTools::SessionTools(TForm1& form) : QObject(&form), m_form(form) {
    m_statisticsKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_I), &form);
    m_statisticsKey->setObjectName(QStringLiteral("StatisticsKey"));
    m_simulateKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), &form);
    m_simulateKey->setObjectName(QStringLiteral("SimulateKey"));
    connect(m_statisticsKey, &QShortcut::activated, this, &SessionTools::openStatistics);
    connect(m_simulateKey, &QShortcut::activated, this, &SessionTools::openSimulate);
    form.spinUndo().history().OnChange = [this] { historyChanged(); };
    m_files = new SessionFiles(
        form, [this] { return currentSettings(); }, this);
}

SessionTools::~SessionTools() {
    m_form.spinUndo().history().OnChange = nullptr;
    delete m_simulate;
    delete m_statistics;
}

void SessionTools::historyChanged() {
    // Spins come in from inside the tracker's procedures; the window reads the
    // session once they are done, in the same turn of the event loop.
    if (!m_statistics || m_refreshPending) return;
    m_refreshPending = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshPending = false;
        if (m_statistics) m_statistics->refresh();
    });
}

void SessionTools::openStatistics() {
    if (!m_statistics)
        m_statistics = new StatisticsWindow(m_form.spinUndo().history().entered(), &m_form);
    m_statistics->refresh();
    m_statistics->showBeside();
}

vantel::sim::Settings SessionTools::currentSettings() const {
    vantel::sim::Settings s;
    s.gameMode = m_form.Game_Mode->currentIndex();
    s.bettingSystem = m_form.Betting_System->currentText().toStdString();
    s.initialBet = peek(m_form.Initial_Bet);
    s.safeLevel = m_form.SafeLevel->value();
    s.fixedMatrix = m_form.Fixed_Matrix->isChecked();
    s.mode3Reset = m_form.Mode3_Reset->currentIndex();
    s.increaseTill = peek(m_form.Increase_Till);
    s.progression = m_form.Progression->currentIndex();
    s.sequentialLosses = peek(m_form.Sequential_Losses);
    s.sequentialWins = peek(m_form.Sequential_Wins);
    return s;
}

void SessionTools::openSimulate() {
    // A dialog that is running keeps its run; otherwise it starts over from
    // the window's settings as they are now.
    if (m_simulate && !m_simulate->running()) delete m_simulate;
    if (!m_simulate) m_simulate = new SimulateDialog(currentSettings(), &m_form);
    m_simulate->show();
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
        "Ctrl+E: enter a spin by its number<br>"
        "Ctrl+I: statistics<br>"
        "Ctrl+R: simulate these settings<br>"
        "Ctrl+S: save the session<br>"
        "Ctrl+O: open a saved session<br>"
        "Tab: the next setting</p>");
}

void SessionTools::showAbout() {
    QMessageBox box(&m_form);
    box.setObjectName(QStringLiteral("AboutBox"));
    box.setWindowTitle(QStringLiteral("About Vantel"));
    box.setTextFormat(Qt::RichText);
    box.setText(aboutText());
    m_form.ensureIcon();
    box.setIconPixmap(m_form.windowIcon().pixmap(64, 64));
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
    QAction* about =
        menu->addAction(QStringLiteral("About Vantel"), this, &SessionTools::showAbout);
    about->setObjectName(QStringLiteral("AboutEntry"));
}
