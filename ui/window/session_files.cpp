#include "window/session_files.h"

#include "widgets/cspinedit.h"
#include "widgets/save_file.h"
#include "window/spin_undo.h"
#include "window/unit1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <QSlider>

namespace {

const QString kFilter = QStringLiteral("Vantel sessions (*.vantel);;All files (*)");

} // namespace

SessionFiles::SessionFiles(TForm1& form, std::function<vantel::Settings()> settings,
                           QObject* parent)
    : QObject(parent), m_form(form), m_settings(std::move(settings)) {
    m_saveKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &form);
    m_saveKey->setObjectName(QStringLiteral("SaveSessionKey"));
    m_openKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), &form);
    m_openKey->setObjectName(QStringLiteral("OpenSessionKey"));
    // From the side windows too: they belong to the same session.
    for (QShortcut* key : {m_saveKey, m_openKey})
        key->setContext(Qt::ApplicationShortcut);
    connect(m_saveKey, &QShortcut::activated, this, &SessionFiles::askAndSave);
    connect(m_openKey, &QShortcut::activated, this, &SessionFiles::askAndOpen);
}

bool SessionFiles::refusedWhileLocked() {
    if (!m_form.buttonsLocked()) return false;
    if (SpinUndo::BeepHook)
        SpinUndo::BeepHook();
    else
        QApplication::beep();
    return true;
}

vantel::Session SessionFiles::session() {
    vantel::Session s;
    s.settings = m_settings();
    const vantel::SpinHistory& history = m_form.spinUndo().history();
    s.entered = history.entered();
    s.tracker = m_form.tracker().snapshot();
    s.undo = history.undoSteps();
    s.redo = history.redoNumbers();
    return s;
}

bool SessionFiles::saveTo(const QString& path) {
    // During the draw after a spin the session is between two states: it is
    // saved once the spin is done.
    if (refusedWhileLocked()) return false;
    const std::string text = vantel::sessionText(session());
    return saveWholeOrSay(&m_form, path,
                          QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

bool SessionFiles::openFrom(const QString& path) {
    if (refusedWhileLocked()) return false;
    vantel::Session s;
    try {
        s = vantel::readSessionFile(path.toStdString());
    } catch (const vantel::SessionFileError& e) {
        const QString title = QStringLiteral("Session not opened");
        const QString text =
            QString::fromStdString(e.what()) + QStringLiteral(". The window is left as it was.");
        if (SayHook)
            SayHook(title, text);
        else
            QMessageBox::warning(&m_form, title, text);
        return false;
    }
    apply(std::move(s));
    return true;
}

void SessionFiles::apply(vantel::Session&& s) {
    // The settings through the window's own controls, as the player sets
    // them; what their changes run on the tracker is then overwritten whole.
    const vantel::SessionSettings& st = s.settings;
    m_form.Game_Mode->setCurrentIndex(st.gameMode);
    m_form.Betting_System->setCurrentIndex(
        m_form.Betting_System->findText(QString::fromStdString(st.bettingSystem)));
    m_form.Initial_Bet->setValue(st.initialBet);
    m_form.SafeLevel->setValue(st.safeLevel);
    m_form.Fixed_Matrix->setChecked(st.fixedMatrix);
    m_form.Mode3_Reset->setCurrentIndex(st.mode3Reset);
    m_form.Increase_Till->setValue(st.increaseTill);
    m_form.Progression->setCurrentIndex(st.progression);
    m_form.Sequential_Losses->setValue(st.sequentialLosses);
    m_form.Sequential_Wins->setValue(st.sequentialWins);

    vantel::Tracker& tracker = m_form.tracker();
    tracker.restore(s.tracker);
    tracker.NumbersList.clear();
    for (const vantel::EnteredSpin& e : s.entered)
        tracker.NumbersList.append(int64_t{e.number});
    m_form.spinUndo().history().load(std::move(s.undo), std::move(s.redo), std::move(s.entered));
    m_form.guarded([this] { m_form.ShowValuesTimer(); });
}

void SessionFiles::askAndSave() {
    if (refusedWhileLocked()) return;
    const QString path =
        AskPathHook ? AskPathHook(&m_form, true)
                    : QFileDialog::getSaveFileName(&m_form, QStringLiteral("Save session"),
                                                   QStringLiteral("session.vantel"), kFilter);
    if (!path.isEmpty()) saveTo(path);
}

void SessionFiles::askAndOpen() {
    if (refusedWhileLocked()) return;
    const QString path =
        AskPathHook
            ? AskPathHook(&m_form, false)
            : QFileDialog::getOpenFileName(&m_form, QStringLiteral("Open session"), {}, kFilter);
    if (!path.isEmpty()) openFrom(path);
}

void SessionFiles::addEntries(QMenu* menu) {
    const bool locked = m_form.buttonsLocked();
    QAction* save =
        menu->addAction(QStringLiteral("Save session…"), this, &SessionFiles::askAndSave);
    save->setObjectName(QStringLiteral("SaveSessionEntry"));
    save->setShortcut(m_saveKey->key());
    save->setEnabled(!locked);
    QAction* open =
        menu->addAction(QStringLiteral("Open session…"), this, &SessionFiles::askAndOpen);
    open->setObjectName(QStringLiteral("OpenSessionEntry"));
    open->setShortcut(m_openKey->key());
    open->setEnabled(!locked);
}
