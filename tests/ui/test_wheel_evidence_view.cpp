// The whole-wheel page fits its room: at about 600 x 700 logical pixels it
// scrolls up and down only, and every figure of its tables is shown whole in
// its column, for a night and for a wheel of millions of spins.
#include "statistics/wheel_evidence_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <random>

using namespace vantel::sim;

namespace {

WheelTallies wheelOf(std::int64_t spins, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> number(0, 36);
    WheelTallies t;
    int previous = -1;
    for (std::int64_t i = 0; i < spins; ++i) {
        const int n = i % 9 == 0 ? 17 : number(random); // 17 favoured
        t.add(previous, n);
        previous = n;
    }
    return t;
}

// Every cell's text, at the table's font, within its column.
void expectWhole(const QTableWidget* t, const char* name) {
    const QFontMetrics metrics(t->font());
    for (int c = 0; c < t->columnCount(); ++c) {
        const int room = t->columnWidth(c);
        const QString header = t->horizontalHeaderItem(c)->text();
        EXPECT_LE(QFontMetrics(t->horizontalHeader()->font()).horizontalAdvance(header) + 8, room)
            << name << " header " << header.toStdString();
        for (int r = 0; r < t->rowCount(); ++r) {
            const QTableWidgetItem* item = t->item(r, c);
            if (!item) continue;
            EXPECT_LE(metrics.horizontalAdvance(item->text()) + 6, room)
                << name << " row " << r << ": " << item->text().toStdString();
        }
    }
    EXPECT_LE(t->horizontalHeader()->length(), t->viewport()->width()) << name;
    EXPECT_FALSE(t->horizontalScrollBar()->isVisible()) << name;
}

} // namespace

TEST(WheelEvidenceView, FitsItsRoomWithoutScrollingSideways) {
    WheelEvidenceView view;
    view.resize(600, 700);
    view.show();
    for (std::int64_t spins : {std::int64_t{0}, std::int64_t{300}, std::int64_t{1200000}}) {
        view.set(wheelOf(spins, 3), QStringLiteral("Table 3, whole journal"));
        QApplication::processEvents();
        const QScrollArea* scroll = view.scrollArea();
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible()) << spins;
        EXPECT_LE(scroll->widget()->minimumSizeHint().width(), scroll->viewport()->width())
            << spins;
        EXPECT_LE(scroll->widget()->width(), scroll->viewport()->width()) << spins;
        expectWhole(view.testsTable(), "tests");
        expectWhole(view.pocketsTable(), "pockets");
        expectWhole(view.planTable(), "plan");
        expectWhole(view.distancesTable(), "distances");
        EXPECT_EQ(view.pocketsTable()->rowCount(), 37);
        EXPECT_EQ(view.planTable()->rowCount(), 4);
        // Every row of a table is shown: the page scrolls, the tables do not.
        EXPECT_FALSE(view.pocketsTable()->verticalScrollBar()->isVisible()) << spins;
        EXPECT_EQ(view.meaningLabel()->text().toStdString(), kEvidenceMeaning);
    }
    // The favoured 17 at a million spins: found by every test of the page.
    EXPECT_EQ(view.evidence().largest.number, 17);
    EXPECT_EQ(view.testsTable()->item(1, 0)->text(), "Largest count");
    EXPECT_EQ(view.testsTable()->item(4, 3)->text(), "strong evidence of bias");
}
