#include "widgets/flat_button.h"

#include <QPainter>

namespace {
const QColor kHighlight(0xFF, 0xFF, 0xFF);
const QColor kShadow(0x80, 0x80, 0x80);
} // namespace

TFlatSpeedButton::TFlatSpeedButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void TFlatSpeedButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    const bool hover = underMouse() && isEnabled();
    if (isDown() || hover) {
        const QColor topLeft = isDown() ? kShadow : kHighlight;
        const QColor bottomRight = isDown() ? kHighlight : kShadow;
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
    if (!text().isEmpty()) {
        p.setFont(font());
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                 QPalette::ButtonText));
        // A held button's caption moves by one pixel, as a pressed plate would.
        p.drawText(rect().translated(isDown() ? 1 : 0, isDown() ? 1 : 0), Qt::AlignCenter, text());
    }
}

void TFlatSpeedButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    update();
}

void TFlatSpeedButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    update();
}
