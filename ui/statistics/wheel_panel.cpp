#include "statistics/wheel_panel.h"

#include <algorithm>
#include <limits>

WheelPanel::WheelPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("WheelPanel"));
    m_wheel = new WheelView(this);
    m_figures = new WheelFigures(this);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    follow({});
}

WheelPanel::Arrangement WheelPanel::arrangementFor(int width) const {
    Arrangement a;
    const int natural = m_figures->sizeHint().width();
    const int room = m_room > 0 ? m_room : std::numeric_limits<int>::max();
    if (width >= WheelView::kSmallest + kGap + natural) {
        // Beside: the figures take their natural width and the wheel the
        // rest, no taller than the room the page has.
        const int side = std::max(WheelView::kSmallest, std::min(width - natural - kGap, room));
        const int figuresWidth = width - side - kGap;
        a.wheel = QRect(0, 0, side, side);
        a.figures = QRect(side + kGap, 0, figuresWidth, m_figures->heightForWidth(figuresWidth));
        a.beside = true;
    } else {
        // Above: the wheel as wide as the panel, or as the room is high.
        const int side = std::min(width, std::max(WheelView::kSmallest, room));
        a.wheel = QRect((width - side) / 2, 0, side, side);
        a.figures = QRect(0, side + kGap, width, m_figures->heightForWidth(width));
    }
    a.height = std::max(a.wheel.bottom(), a.figures.bottom()) + 1;
    return a;
}

QSize WheelPanel::sizeHint() const {
    const int width = m_wheel->sizeHint().width() + kGap + m_figures->sizeHint().width();
    return {width, arrangementFor(width).height};
}

QSize WheelPanel::minimumSizeHint() const {
    const int width = std::max(WheelView::kSmallest, m_figures->minimumSizeHint().width());
    return {width, arrangementFor(width).height};
}

int WheelPanel::heightForWidth(int width) const {
    return arrangementFor(width).height;
}

bool WheelPanel::besideItsFigures() const {
    return arrangementFor(width()).beside;
}

void WheelPanel::setRoomHeight(int height) {
    if (height == m_room) return;
    m_room = height;
    updateGeometry();
    place();
}

void WheelPanel::resizeEvent(QResizeEvent*) {
    place();
}

void WheelPanel::place() {
    const Arrangement a = arrangementFor(width());
    m_wheel->setGeometry(a.wheel);
    m_figures->setGeometry(a.figures);
}

void WheelPanel::follow(const std::vector<vantel::EnteredSpin>& spins) {
    m_tally.follow(spins);
    m_stats = m_tally.stats();
    m_wheel->set(m_stats);
    m_figures->set(m_stats);
}
