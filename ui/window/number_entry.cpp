#include "window/number_entry.h"

#include <QApplication>
#include <QKeyEvent>

TNumberEntry::TNumberEntry(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("NumberEntry"));
    setWindowFlags(Qt::Popup);
    setMaxLength(2);
    setFixedSize(40, 19);
    setAccessibleName(QStringLiteral("Enter a spin"));
    setAccessibleDescription(QStringLiteral("Type the number that came out, 0 to 36, then Return"));
    setPlaceholderText(QStringLiteral("0-36"));
}

int TNumberEntry::numberOf(const QString& text) {
    if (text.isEmpty() || text.size() > 2) return -1;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
    // One way to write each number: no leading zero.
    if (text.size() == 2 && text[0] == QLatin1Char('0')) return -1;
    const int n = text.toInt();
    return n <= 36 ? n : -1;
}

void TNumberEntry::open(const QPoint& globalPos) {
    clear();
    move(globalPos);
    show();
    activateWindow();
    setFocus(Qt::PopupFocusReason);
}

void TNumberEntry::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int n = numberOf(text());
    if (n >= 0 && OnEnter && OnEnter(n)) {
        hide();
        return;
    }
    if (OnBeep)
        OnBeep();
    else
        QApplication::beep();
    selectAll();
}
