// The Statistics window tells its views only the cells that changed: every
// cell a view shows must still match the figures after any sequence of spins
// added and taken back, and the cells that cannot change are never repainted.
#include "statistics/figures_text.h"
#include "statistics/laid_text.h"
#include "statistics/statistics_window.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTableView>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>

namespace {

// What a view knows of a model: the texts it read at first, updated only for
// the cells the model says changed.
class ViewCopy {
  public:
    explicit ViewCopy(const QAbstractItemModel* model) : m_model(model) {
        for (int r = 0; r < model->rowCount(); ++r)
            for (int c = 0; c < model->columnCount(); ++c)
                m_cells[{r, c}] = text(r, c);
        QObject::connect(model, &QAbstractItemModel::dataChanged, &m_context,
                         [this](const QModelIndex& from, const QModelIndex& to) {
                             for (int r = from.row(); r <= to.row(); ++r)
                                 for (int c = from.column(); c <= to.column(); ++c) {
                                     m_cells[{r, c}] = text(r, c);
                                     ++m_signalled[c];
                                 }
                         });
    }
    // The cells whose text the view holds wrongly.
    int stale() const {
        int wrong = 0;
        for (const auto& [cell, shown] : m_cells)
            wrong += shown != text(cell.first, cell.second);
        return wrong;
    }
    std::map<int, int> takeSignalled() { return std::exchange(m_signalled, {}); }

  private:
    QString text(int r, int c) const { return m_model->index(r, c).data().toString(); }
    const QAbstractItemModel* m_model;
    std::map<std::pair<int, int>, QString> m_cells;
    std::map<int, int> m_signalled;
    QObject m_context; // ends the connection before the copy goes
};

TEST(StatisticsView, ViewsAreToldEveryChangedCellAndOnlyThose) {
    QWidget main;
    std::vector<vantel::EnteredSpin> spins;
    StatisticsWindow stats(spins, &main);
    ViewCopy numbers(stats.numbersView()->model());
    ViewCopy groups(stats.groupsView()->model());
    std::mt19937 random(20261208);
    for (int step = 0; step < 400; ++step) {
        const bool takeBack = !spins.empty() && random() % 4 == 0;
        if (takeBack) {
            spins.pop_back();
        } else {
            vantel::EnteredSpin spin;
            // Few numbers at first, so ties for hottest and coldest come and go.
            spin.number = static_cast<int>(random() % (step < 100 ? 5 : 37));
            spins.push_back(spin);
        }
        stats.refresh();
        ASSERT_EQ(numbers.stale(), 0) << "step " << step;
        ASSERT_EQ(groups.stale(), 0) << "step " << step;
        std::map<int, int> told = numbers.takeSignalled();
        EXPECT_EQ(told.count(0), 0u) << "the numbers themselves never change";
        EXPECT_LE(told[1], 1) << "one count changes a spin";
        EXPECT_EQ(groups.takeSignalled().count(0), 0u) << "nor do the names of the bets";
    }
}

TEST(StatisticsView, FiguresTakeTheLinesTheirTextNeeds) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* figures = new FiguresText(2, &window);
    layout->addWidget(figures);
    layout->addStretch();
    window.resize(300, 600);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const int lineSpacing = figures->fontMetrics().lineSpacing();
    const auto settle = [] {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    };

    figures->setText(QStringLiteral("Spins entered: 3"));
    settle();
    const int twoLines = figures->height();
    EXPECT_GE(twoLines, 2 * lineSpacing);
    EXPECT_LT(twoLines, 3 * lineSpacing);

    QString many = QStringLiteral("Coldest:");
    for (int n = 0; n <= 36; ++n)
        many += QStringLiteral(" %1,").arg(n);
    figures->setText(many);
    settle();
    const QRect needed = figures->fontMetrics().boundingRect(
        QRect(0, 0, figures->width() - 6, 10000), Qt::TextWordWrap, many);
    EXPECT_GT(needed.height(), 2 * lineSpacing);
    EXPECT_GE(figures->height(), needed.height()) << "the whole text shows";
    EXPECT_EQ(figures->text(), many);

    figures->setText(QStringLiteral("Spins entered: 4"));
    settle();
    EXPECT_EQ(figures->height(), twoLines) << "and gives the room back";
}

// Where a text's ink lies in an image.
QRect inkOf(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) ink |= QRect(x, y, 1, 1);
    return ink;
}

TEST(LaidText, DrawsWhereThePainterPutsTheSameTextInTheSameCell) {
    QFont font = QApplication::font();
    font.setPixelSize(13);
    for (const QString text : {"7", "1234", "hottest", "not yet"})
        for (const Qt::Alignment align : {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter})
            for (const QRectF cell : {QRectF(3, 2, 90, 20), QRectF(17.5, 9, 71, 31)}) {
                QImage laid(120, 50, QImage::Format_RGB32);
                QImage painted(laid.size(), laid.format());
                laid.fill(Qt::white);
                painted.fill(Qt::white);
                LaidText glyphs;
                glyphs.set(text, font);
                QPainter p(&laid);
                p.setFont(font);
                glyphs.draw(p, cell, align);
                p.end();
                p.begin(&painted);
                p.setFont(font);
                p.drawText(cell, int(align | Qt::AlignVCenter), text);
                p.end();
                const QRect a = inkOf(laid), b = inkOf(painted);
                ASSERT_FALSE(b.isEmpty());
                EXPECT_EQ(glyphs.string(), text);
                EXPECT_LE(std::abs(a.left() - b.left()), 1) << text.toStdString() << " " << align;
                EXPECT_LE(std::abs(a.right() - b.right()), 1) << text.toStdString() << " " << align;
                EXPECT_LE(std::abs(a.top() - b.top()), 1) << text.toStdString() << " " << align;
            }
}

} // namespace
