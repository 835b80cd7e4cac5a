#include "window/session_files.h"

#include "widgets/beeper.h"
#include "widgets/cspinedit.h"
#include "widgets/save_file.h"
#include "window/spin_undo.h"
#include "window/window_room.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <QSlider>
#include <QToolTip>

namespace {

const QString kFilter = QStringLiteral("Vantel sessions (*.vantel);;All files (*)");

} // namespace

SessionFiles::SessionFiles(WindowRoom& form, QObject* parent) : QObject(parent), m_form(form) {
    m_saveKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &form.widget());
    m_saveKey->setObjectName(QStringLiteral("SaveSessionKey"));
    m_openKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), &form.widget());
    m_openKey->setObjectName(QStringLiteral("OpenSessionKey"));
    // From the side windows too: they belong to the same session.
    for (QShortcut* key : {m_saveKey, m_openKey})
        key->setContext(Qt::ApplicationShortcut);
    connect(m_saveKey, &QShortcut::activated, this, &SessionFiles::askAndSave);
    connect(m_openKey, &QShortcut::activated, this, &SessionFiles::askAndOpen);
}

bool SessionFiles::refusedWhileLocked() {
    if (!m_form.buttonsLocked()) return false;
    Beeper::beep();
    return true;
}

vantel::Session SessionFiles::session() {
    vantel::Session s;
    s.settings = m_form.settings();
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
    if (!saveWholeOrSay(&m_form.widget(), path,
                        QByteArray(text.data(), static_cast<qsizetype>(text.size()))))
        return false;
    // Said for a moment under the board, where the player looks; the window's
    // layout stays as it is.
    const QString said = QStringLiteral("Session saved to %1")
                             .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    if (NoticeHook) {
        NoticeHook(said);
    } else {
        QWidget& w = m_form.widget();
        QToolTip::showText(w.mapToGlobal(QPoint(8, w.height() - 8)), said, &w, {}, 5000);
    }
    return true;
}

std::optional<vantel::Session> SessionFiles::readOrSay(const QString& path) {
    try {
        return vantel::readSessionFile(path.toStdString());
    } catch (const vantel::SessionFileError& e) {
        const QString title = QStringLiteral("Session not opened");
        const QString text =
            QString::fromStdString(e.what()) + QStringLiteral(". The window is left as it was.");
        if (SayHook)
            SayHook(title, text);
        else
            QMessageBox::warning(&m_form.widget(), title, text);
        return std::nullopt;
    }
}

bool SessionFiles::openFrom(const QString& path) {
    if (refusedWhileLocked()) return false;
    std::optional<vantel::Session> s = readOrSay(path);
    if (!s) return false;
    apply(std::move(*s));
    return true;
}

bool SessionFiles::replacingConfirmed(const QString& path) {
    // Opening puts the file's session in place of the window's: spins entered
    // here and not saved would be lost without a word.
    const size_t spins = m_form.spinUndo().history().entered().size();
    if (spins == 0) return true;
    const QString title = QStringLiteral("Open session");
    const QString entered = spins == 1
                                ? QStringLiteral("the spin")
                                : QStringLiteral("the %1 spins")
                                      .arg(QLocale(QLocale::English).toString(qulonglong(spins)));
    const QString text = QStringLiteral("Opening %1 replaces %2 entered in this "
                                        "window; spins that were not saved are lost.")
                             .arg(QDir::toNativeSeparators(path), entered);
    if (ConfirmHook) return ConfirmHook(title, text);
    return QMessageBox::question(&m_form.widget(), title, text,
                                 QMessageBox::Open | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Open;
}

void SessionFiles::apply(vantel::Session&& s) {
    // The settings through the window's own controls, as the player sets
    // them; what their changes run on the tracker is then overwritten whole.
    m_form.applySettings(s.settings);

    vantel::Tracker& tracker = m_form.tracker();
    tracker.restore(s.tracker);
    tracker.NumbersList.clear();
    for (const vantel::EnteredSpin& e : s.entered)
        tracker.NumbersList.append(int64_t{e.number});
    m_form.spinUndo().history().load(std::move(s.undo), std::move(s.redo), std::move(s.entered));
    m_form.refresh();
}

void SessionFiles::askAndSave() {
    if (refusedWhileLocked()) return;
    const QString path =
        AskPathHook ? AskPathHook(&m_form.widget(), true)
                    : QFileDialog::getSaveFileName(&m_form.widget(), QStringLiteral("Save session"),
                                                   QStringLiteral("session.vantel"), kFilter);
    if (!path.isEmpty()) saveTo(path);
}

void SessionFiles::askAndOpen() {
    if (refusedWhileLocked()) return;
    const QString path =
        AskPathHook ? AskPathHook(&m_form.widget(), false)
                    : QFileDialog::getOpenFileName(&m_form.widget(), QStringLiteral("Open session"),
                                                   {}, kFilter);
    if (path.isEmpty()) return;
    std::optional<vantel::Session> s = readOrSay(path);
    if (!s || !replacingConfirmed(path) || refusedWhileLocked()) return;
    apply(std::move(*s));
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
