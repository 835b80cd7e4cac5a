#pragma once

#include <QStringList>
#include <QWidget>

#include <vector>

class QTableWidget;
class QVBoxLayout;

// A table of figures as tall as its rows, that fits any width: where its
// columns do not all fit side by side, it shows them in parts one under the
// other, each part led by the first column (what the row is of), and a column
// too wide even beside the first alone wraps its words. It never scrolls: the
// page it is on scrolls up and down.
class SplitTable : public QWidget {
  public:
    explicit SplitTable(const QStringList& headers, QWidget* parent = nullptr);

    // The rows, each a text per column. Figures (a digit or a minus first) are
    // aligned right, words left; the first column always left.
    void setRows(std::vector<QStringList> rows);

    int rowCount() const { return int(m_rows.size()); }
    QString text(int row, int column) const;
    // The tables it shows now, one per part, first to last.
    const std::vector<QTableWidget*>& parts() const { return m_parts; }
    // The columns of each part: the first column, then the part's own.
    const std::vector<std::vector<int>>& groups() const { return m_groups; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // The width each column asks for: its widest text and its header.
    std::vector<int> wanted() const;
    // The parts' columns for a width.
    std::vector<std::vector<int>> groupsFor(int width) const;
    void arrange(bool force);
    void fillPart(QTableWidget* t, const std::vector<int>& columns, int width);

    QStringList m_headers;
    std::vector<QStringList> m_rows;
    std::vector<std::vector<int>> m_groups;
    std::vector<QTableWidget*> m_parts;
    QVBoxLayout* m_layout;
    int m_arrangedWidth = -1;
};
