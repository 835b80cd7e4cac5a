#include "statistics/figures_text.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTextMargin = 3;
// Enough for every count and gap a session shows; beyond it the cache starts again.
constexpr int kMostTextsKept = 4096;

} // namespace

FiguresText::FiguresText(int lines, QWidget* parent) : QWidget(parent), m_lines(lines) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    m_glyphs.setTextFormat(Qt::PlainText);
    m_glyphs.setPerformanceHint(QStaticText::AggressiveCaching);
}

void FiguresText::setText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    // Line breaks in the text are kept as line breaks.
    m_glyphs.setText(QString(text).replace(QLatin1Char('\n'), QChar::LineSeparator));
    setAccessibleDescription(text);
    fit();
    update();
}

int FiguresText::textWidth() const {
    return std::max(1, width() - 2 * kTextMargin);
}

void FiguresText::fit() {
    // Before it is shown it has no width of its own yet, and measuring the
    // text at a made-up one would ask the window for room it does not need.
    if (!isVisible()) return;
    if (m_glyphs.textWidth() != textWidth()) m_glyphs.setTextWidth(textWidth());
    const int needed = static_cast<int>(std::ceil(m_glyphs.size().height()));
    if (needed != m_textHeight) {
        const int before = sizeHint().height();
        m_textHeight = needed;
        if (sizeHint().height() != before) updateGeometry();
    }
}

void FiguresText::resizeEvent(QResizeEvent*) {
    fit();
}

void FiguresText::showEvent(QShowEvent*) {
    fit();
}

QSize FiguresText::sizeHint() const {
    const QFontMetrics fm(font());
    return {fm.averageCharWidth() * 40 + 2 * kTextMargin,
            std::max(fm.lineSpacing() * m_lines, m_textHeight) + 2 * kTextMargin};
}

QSize FiguresText::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth() * 16 + 2 * kTextMargin, sizeHint().height()};
}

void FiguresText::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect inside = rect().adjusted(kTextMargin, kTextMargin, -kTextMargin, -kTextMargin);
    if (m_glyphs.textWidth() != inside.width()) m_glyphs.setTextWidth(inside.width());
    p.setPen(palette().color(QPalette::WindowText));
    p.setClipRect(rect());
    p.drawStaticText(inside.topLeft(), m_glyphs);
    if (hasFocus()) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &p, this);
    }
}

const LaidText& FiguresDelegate::glyphs(const QString& text, const QFont& font) const {
    if (font != m_font || m_glyphs.size() >= kMostTextsKept) {
        m_glyphs.clear();
        m_font = font;
    }
    auto it = m_glyphs.find(text);
    if (it == m_glyphs.end()) {
        it = m_glyphs.insert(text, LaidText());
        it->set(text, font);
    }
    return *it;
}

void FiguresDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    painter->save();
    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        opt.state & QStyle::State_Enabled
            ? (opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive)
            : QPalette::Disabled;
    painter->setPen(
        opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    const QRect cell = opt.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    painter->setClipRect(opt.rect);
    if (!opt.text.isEmpty())
        glyphs(opt.text, opt.font).draw(*painter, QRectF(cell), opt.displayAlignment);
    painter->restore();

    if (opt.state & QStyle::State_HasFocus) {
        // The focused cell framed in a colour that stands out from its row,
        // selected or not: the style's own focus frame all but vanishes on a
        // selected row.
        painter->save();
        const QColor ink =
            opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Highlight);
        painter->setPen(QPen(ink, 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(opt.rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
}
