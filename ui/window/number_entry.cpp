#include "window/number_entry.h"

#include "widgets/beeper.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

TNumberEntry::TNumberEntry(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NumberEntry"));
    setWindowTitle(QStringLiteral("Enter a spin"));
    setAccessibleDescription(
        QStringLiteral("Type the number that came out, 0 to 36, then Return; Escape closes"));

    auto* prompt = new QLabel(QStringLiteral("&Number, 0 to 36:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("NumberEntryEdit"));
    m_edit->setMaxLength(2);
    m_edit->setFixedWidth(40);
    m_edit->setPlaceholderText(QStringLiteral("0-36"));
    m_edit->setAccessibleName(QStringLiteral("Number that came out"));
    m_edit->setAccessibleDescription(
        QStringLiteral("0 to 36, then Return; the dialog stays for the next spin, Escape closes"));
    prompt->setBuddy(m_edit);
    m_confirmation = new QLabel(this);
    m_confirmation->setObjectName(QStringLiteral("NumberEntryConfirmation"));

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->addWidget(prompt, 0, 0);
    grid->addWidget(m_edit, 0, 1);
    grid->addWidget(m_confirmation, 1, 0, 1, 2);
    // As wide as the longest confirmation, so that the dialog keeps its size.
    m_confirmation->setMinimumWidth(m_confirmation->fontMetrics().horizontalAdvance(
        QStringLiteral("36 black entered, drawing")));

    connect(m_edit, &QLineEdit::returnPressed, this, &TNumberEntry::enterTyped);
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

void TNumberEntry::openAt(const QPoint& globalPos) {
    m_edit->clear();
    if (!isVisible()) {
        m_confirmation->clear();
        move(globalPos);
    }
    show();
    raise();
    activateWindow();
    m_edit->setFocus(Qt::PopupFocusReason);
}

QString TNumberEntry::confirmation() const {
    return m_confirmation->text();
}

void TNumberEntry::confirm(const QString& text) {
    m_confirmation->setText(text);
}

void TNumberEntry::enterTyped() {
    const int n = numberOf(m_edit->text());
    if (n >= 0 && OnEnter && OnEnter(n)) {
        // Ready for the next number.
        m_edit->clear();
        return;
    }
    Beeper::beep();
    const QString typed = m_edit->text();
    const QString why = n >= 0 ? QStringLiteral("%1 not entered: the board is busy").arg(n)
                        : typed.isEmpty()
                            ? QStringLiteral("Type a number from 0 to 36")
                            : QStringLiteral("%1 is not a number from 0 to 36").arg(typed);
    confirm(why);
    if (OnRefused) OnRefused(why);
    m_edit->selectAll();
}
