#include "statistics/split_table.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace {

// Room a cell and a header take round their text.
constexpr int kCellPadding = 12;
constexpr int kHeaderPadding = 16;

bool isFigure(const QString& text) {
    return !text.isEmpty() && (text[0].isDigit() || text[0] == QLatin1Char('-'));
}

QTableWidget* newPart(QWidget* parent) {
    auto* t = new QTableWidget(parent);
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    t->horizontalHeader()->setStretchLastSection(true);
    t->horizontalHeader()->setMinimumSectionSize(20);
    t->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return t;
}

} // namespace

SplitTable::SplitTable(const QStringList& headers, QWidget* parent)
    : QWidget(parent), m_headers(headers), m_layout(new QVBoxLayout(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    arrange(true);
}

void SplitTable::setRows(std::vector<QStringList> rows) {
    m_rows = std::move(rows);
    arrange(true);
}

QString SplitTable::text(int row, int column) const {
    return m_rows.at(size_t(row)).value(column);
}

std::vector<int> SplitTable::wanted() const {
    const QFontMetrics cells(font());
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics headers(bold);
    std::vector<int> w(size_t(m_headers.size()), 0);
    for (int c = 0; c < int(w.size()); ++c) {
        w[size_t(c)] = headers.horizontalAdvance(m_headers[c]) + kHeaderPadding;
        for (const QStringList& row : m_rows)
            w[size_t(c)] =
                std::max(w[size_t(c)], cells.horizontalAdvance(row.value(c)) + kCellPadding);
    }
    return w;
}

std::vector<std::vector<int>> SplitTable::groupsFor(int width) const {
    const std::vector<int> w = wanted();
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int room = width - frame;
    std::vector<std::vector<int>> groups;
    if (w.empty()) return groups;
    std::vector<int> part = {0};
    int used = w[0];
    for (int c = 1; c < int(w.size()); ++c) {
        if (part.size() > 1 && used + w[size_t(c)] > room) {
            groups.push_back(part);
            part = {0};
            used = w[0];
        }
        part.push_back(c);
        used += w[size_t(c)];
    }
    groups.push_back(part);
    return groups;
}

void SplitTable::fillPart(QTableWidget* t, const std::vector<int>& columns, int width) {
    const std::vector<int> w = wanted();
    const int room = std::max(0, width - 2 * t->frameWidth());
    int asked = 0;
    for (int c : columns)
        asked += w[size_t(c)];
    // Too wide even beside the first column alone: the columns share the
    // room and wrap their words.
    const bool wrap = asked > room;
    t->setWordWrap(wrap);
    t->setColumnCount(int(columns.size()));
    QStringList headers;
    for (int c : columns)
        headers << m_headers[c];
    t->setHorizontalHeaderLabels(headers);
    t->setRowCount(int(m_rows.size()));
    for (int r = 0; r < int(m_rows.size()); ++r)
        for (int k = 0; k < int(columns.size()); ++k) {
            const QString cell = m_rows[size_t(r)].value(columns[size_t(k)]);
            QTableWidgetItem* item = t->item(r, k);
            if (!item) t->setItem(r, k, item = new QTableWidgetItem);
            item->setText(cell);
            const bool right = k > 0 && isFigure(cell);
            item->setTextAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        }
    if (wrap) {
        // Each column its longest word, and the room left shared in
        // proportion to what each asks beyond that.
        const QFontMetrics cells(font());
        QFont bold = font();
        bold.setBold(true);
        const QFontMetrics headerFont(bold);
        std::vector<int> least(columns.size(), 0);
        int leastSum = 0, beyond = 0;
        for (size_t k = 0; k < columns.size(); ++k) {
            least[k] = headerFont.horizontalAdvance(m_headers[columns[k]]) + kHeaderPadding;
            for (const QStringList& row : m_rows)
                for (const QString& word : row.value(columns[k]).split(QLatin1Char(' ')))
                    least[k] = std::max(least[k], cells.horizontalAdvance(word) + kCellPadding);
            least[k] = std::min(least[k], w[size_t(columns[k])]);
            leastSum += least[k];
            beyond += w[size_t(columns[k])] - least[k];
        }
        const int spare = std::max(0, room - leastSum);
        int given = 0;
        for (size_t k = 0; k + 1 < columns.size(); ++k) {
            const int extra = w[size_t(columns[k])] - least[k];
            t->setColumnWidth(int(k), least[k] + (beyond > 0 ? spare * extra / beyond : 0));
            given += t->columnWidth(int(k));
        }
        t->setColumnWidth(int(columns.size()) - 1, std::max(least.back(), room - given));
    } else {
        for (size_t k = 0; k < columns.size(); ++k)
            t->setColumnWidth(int(k), w[size_t(columns[k])]);
    }
    t->resize(width, t->height());
    t->resizeRowsToContents();
    int height = t->horizontalHeader()->sizeHint().height() + 2 * t->frameWidth();
    for (int r = 0; r < t->rowCount(); ++r)
        height += t->rowHeight(r);
    t->setFixedHeight(height);
}

void SplitTable::arrange(bool force) {
    const int width = this->width();
    if (!force && width == m_arrangedWidth) return;
    m_arrangedWidth = width;
    m_groups = groupsFor(width);
    while (m_parts.size() > m_groups.size()) {
        delete m_parts.back();
        m_parts.pop_back();
    }
    while (m_parts.size() < m_groups.size()) {
        m_parts.push_back(newPart(this));
        m_layout->addWidget(m_parts.back());
    }
    int height = 0;
    for (size_t i = 0; i < m_parts.size(); ++i) {
        fillPart(m_parts[i], m_groups[i], width);
        height += m_parts[i]->height();
    }
    height += m_layout->spacing() * std::max(0, int(m_parts.size()) - 1);
    setFixedHeight(height);
}

void SplitTable::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange(false);
}

void SplitTable::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) arrange(true);
}
