#include "window/spin_undo.h"

#include "widgets/beeper.h"
#include "widgets/cspinedit.h"
#include "window/window_room.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QShortcut>

SpinUndo::SpinUndo(WindowRoom& form) : m_form(form), m_history(form.tracker()) {
    m_undoKey = new QShortcut(QKeySequence::Undo, &form.widget());
    m_undoKey->setObjectName(QStringLiteral("UndoKey"));
    m_redoKey = new QShortcut(QKeySequence::Redo, &form.widget());
    m_redoKey->setObjectName(QStringLiteral("RedoKey"));
    // Some key schemes bind redo to Ctrl+Y only; Ctrl+Shift+Z redoes everywhere.
    QList<QKeySequence> redoKeys = m_redoKey->keys();
    const QKeySequence ctrlShiftZ(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    if (!redoKeys.contains(ctrlShiftZ)) {
        redoKeys.append(ctrlShiftZ);
        m_redoKey->setKeys(redoKeys);
    }
    connect(m_undoKey, &QShortcut::activated, this, &SpinUndo::undo);
    connect(m_redoKey, &QShortcut::activated, this, &SpinUndo::redo);

    // The spin edits show their own text menu; the two entries join it there.
    for (TCSpinEdit* edit : form.widget().findChildren<TCSpinEdit*>())
        edit->installEventFilter(this);
}

void SpinUndo::run(vantel::SpinHistory::Result (vantel::SpinHistory::*step)()) {
    // An error raised by a spin entered again is reported like a click's.
    auto result = vantel::SpinHistory::Result::Done;
    m_form.guarded([&] { result = (m_history.*step)(); });
    if (result != vantel::SpinHistory::Result::Done) Beeper::beep();
}

void SpinUndo::undo() {
    run(&vantel::SpinHistory::undo);
}

void SpinUndo::redo() {
    run(&vantel::SpinHistory::redo);
}

QString SpinUndo::undoText(const vantel::SpinHistory& history) {
    const auto n = history.undoNumber();
    return n ? QStringLiteral("Undo spin %1").arg(*n) : QStringLiteral("Undo spin");
}

QString SpinUndo::redoText(const vantel::SpinHistory& history) {
    const auto n = history.redoNumber();
    return n ? QStringLiteral("Redo spin %1").arg(*n) : QStringLiteral("Redo spin");
}

void SpinUndo::addEntries(QMenu* menu) {
    QAction* undo = menu->addAction(undoText(m_history), this, &SpinUndo::undo);
    undo->setObjectName(QStringLiteral("UndoSpin"));
    undo->setEnabled(m_history.canUndo());
    undo->setShortcut(m_undoKey->key());
    QAction* redo = menu->addAction(redoText(m_history), this, &SpinUndo::redo);
    redo->setObjectName(QStringLiteral("RedoSpin"));
    redo->setEnabled(m_history.canRedo());
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    if (MoreEntries) {
        menu->addSeparator();
        MoreEntries(menu);
    }
}

void SpinUndo::showMenu(const QPoint& globalPos) {
    auto* menu = new QMenu(&m_form.widget());
    menu->setObjectName(QStringLiteral("SpinMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    addEntries(menu);
    menu->popup(globalPos);
}

bool SpinUndo::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<TCSpinEdit*>(watched);
    if (!edit || event->type() != QEvent::ContextMenu) return QObject::eventFilter(watched, event);
    QMenu* menu = edit->createStandardContextMenu();
    menu->setObjectName(QStringLiteral("SpinMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    addEntries(menu);
    menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
    return true;
}
