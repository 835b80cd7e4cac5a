#include "chart/sim_chart_view.h"

#include <QImage>
#include <QPainter>

SimChartView::SimChartView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(260, 170);
    setAccessibleName(QStringLiteral("Backtest chart"));
}

void SimChartView::set(const vantel::SimChartData* data) {
    m_data = data;
    // The title in whole, where the chart has to shorten it.
    setToolTip(data ? data->title : QString());
    update();
}

QString SimChartView::needsRoomText() {
    return QStringLiteral("The chart needs more room: enlarge the window, or Save chart… to keep "
                          "it whole");
}

bool SimChartView::chartFits() const {
    if (!m_data || m_data->empty()) return false;
    QImage scratch(1, 1, QImage::Format_RGB32);
    QPainter p(&scratch);
    // Laid out without painting beyond the scratch: the answer is the layout's.
    p.setClipRect(QRect(0, 0, 0, 0));
    return vantel::drawSimChart(p, QRectF(rect()), *m_data);
}

namespace {

// A line in the largest font, down to the chart's smallest, that fits rect
// wrapped at words.
void drawFitted(QPainter& p, const QRect& rect, const QString& text) {
    QFont font = p.font();
    const int from = font.pixelSize() > 0 ? font.pixelSize() : 13;
    for (int px = from; px >= vantel::kSimChartSmallestFont; --px) {
        font.setPixelSize(px);
        p.setFont(font);
        const QRect needed = p.boundingRect(rect, Qt::AlignCenter | Qt::TextWordWrap, text);
        if (rect.contains(needed)) break;
    }
    p.drawText(rect, Qt::AlignCenter | Qt::TextWordWrap, text);
}

} // namespace

void SimChartView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    QFont font = p.font();
    font.setPixelSize(QFontInfo(font).pixelSize());
    p.setFont(font);
    if (!m_data || m_data->empty()) {
        drawFitted(p, rect(), QStringLiteral("Run a simulation to see its chart"));
        return;
    }
    // Drawn at the widget's size with every text legible, or not at all.
    if (!vantel::drawSimChart(p, QRectF(rect()), *m_data)) drawFitted(p, rect(), needsRoomText());
}
