// The whole-wheel page fits its room: at about 600 x 700 logical pixels it
// scrolls up and down only, and every figure of its tables is shown whole in
// its column, for a night and for a wheel of millions of spins. And its scope
// follows the chooser: the session, a wheel's whole journal, a date range.
#include "statistics/wheel_evidence_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace vantel::sim;

namespace {

// A wheel's tallies as its spins would leave them: each number's count
// scattered round spins / 37, 17 favoured by a tenth, the distances round
// their fair shares.
WheelTallies wheelOf(std::int64_t spins, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> scatter(0, 1);
    WheelTallies t;
    const double each = spins / 37.0;
    for (int n = 0; n < 37; ++n) {
        const double count = each * (n == 17 ? 1.1 : 1) + std::sqrt(each) * scatter(random);
        t.counts[size_t(n)] = std::max<std::int64_t>(0, std::llround(count));
        t.spins += t.counts[size_t(n)];
    }
    for (int d = 0; d < 19; ++d)
        t.distances[size_t(d)] = std::llround(spins * (d == 0 ? 1.0 : 2.0) / 37);
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
    EXPECT_EQ(view.testsTable()->item(5, 3)->text(), "strong evidence of bias");
}

TEST(WheelEvidenceView, ScopeIsTheSessionOrAWheelsNightsWithinDates) {
    QTemporaryDir dir;
    auto journal = vantel::journal::openJournal(dir.filePath("journal.sqlite").toStdString());
    const auto wheel = journal->openWheel("Table 3");
    journal->openWheel("Table 4");
    const auto day = [](int month, int date) {
        return QDate(2026, month, date).startOfDay().addSecs(20 * 3600).toSecsSinceEpoch();
    };
    const std::vector<int> january = {17, 17, 5, 0}, march = {3, 26, 0, 32, 15, 15};
    journal->importNight(wheel.id, vantel::journal::NightSource::ImportedFile, "a.txt", january,
                         day(1, 10));
    journal->importNight(wheel.id, vantel::journal::NightSource::ImportedFile, "b.txt", march,
                         day(3, 5));

    WheelEvidenceView view;
    view.resize(600, 700);
    view.show();
    view.setSession(talliesOfNight({1, 2, 3}));
    view.setJournal(journal.get());
    EXPECT_EQ(view.scopeChoice()->count(), 3) << "the session and two wheels";
    EXPECT_EQ(view.evidence().spins, 3) << "the session first";
    EXPECT_FALSE(view.dateRangeChoice()->isEnabled());

    ASSERT_TRUE(view.chooseWheel("Table 3"));
    EXPECT_EQ(view.evidence().spins, 10);
    // Distances within each night only: 3 in January, 5 in March.
    std::int64_t distances = 0;
    for (auto d : view.evidence().wheel.distanceCounts)
        distances += std::int64_t(d);
    EXPECT_EQ(distances, 8);
    EXPECT_EQ(view.evidence().counts[17], 2);

    view.fromDate()->setDate(QDate(2026, 3, 1));
    view.toDate()->setDate(QDate(2026, 3, 5));
    view.dateRangeChoice()->setChecked(true);
    EXPECT_EQ(view.evidence().spins, 6) << "March only, its last day included";
    EXPECT_TRUE(view.scopeLabel()->text().contains("2026-03-01 to 2026-03-05"));
    view.toDate()->setDate(QDate(2026, 3, 4));
    EXPECT_EQ(view.evidence().spins, 0);

    view.scopeChoice()->setCurrentIndex(0);
    EXPECT_EQ(view.evidence().spins, 3);
    view.setSession(talliesOfNight({1, 2, 3, 4}));
    EXPECT_EQ(view.evidence().spins, 4);
    EXPECT_FALSE(view.chooseWheel("Table 9"));
    view.setJournal(nullptr);
    EXPECT_EQ(view.scopeChoice()->count(), 1);
}
