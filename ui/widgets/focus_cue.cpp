#include "widgets/focus_cue.h"

#include <QEvent>
#include <QPainter>

TFocusCue::TFocusCue(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FocusCue"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void TFocusCue::follow(QWidget* target) {
    if (m_target == target) return;
    if (m_target) m_target->removeEventFilter(this);
    m_target = target;
    if (!m_target) {
        hide();
        return;
    }
    m_target->installEventFilter(this);
    place();
}

void TFocusCue::place() {
    if (!m_target || !m_target->isVisible()) {
        hide();
        return;
    }
    const QPoint topLeft = m_target->mapTo(parentWidget(), QPoint(0, 0));
    setGeometry(QRect(topLeft, m_target->size()));
    raise();
    show();
    update();
}

bool TFocusCue::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_target) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFocusCue::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(kColour, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
