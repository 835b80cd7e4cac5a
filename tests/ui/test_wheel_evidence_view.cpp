// The whole-wheel page fits its room: from a narrow column to a wide window it
// scrolls up and down only, and every figure of its tables is shown whole in
// its column, for a night and for a wheel of millions of spins. And its scope
// follows the chooser: the session, a wheel's whole journal, a date range.
#include "statistics/wheel_evidence_view.h"

#include "statistics/split_table.h"

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

// Every column of the table in some part, each part led by the first; every
// cell's text within its column, on one line or, in a part that wraps, word
// by word within the column and the row tall enough for its lines.
void expectWhole(const SplitTable* table, const char* name, int columns, int width) {
    std::vector<int> shown;
    for (const auto& group : table->groups()) {
        EXPECT_EQ(group.front(), 0) << name;
        shown.insert(shown.end(), group.begin() + 1, group.end());
    }
    ASSERT_EQ(int(shown.size()), columns - 1) << name << " at " << width;
    for (int c = 1; c < columns; ++c)
        EXPECT_EQ(shown[size_t(c - 1)], c) << name << " at " << width;
    for (const QTableWidget* t : table->parts()) {
        const QFontMetrics metrics(t->font());
        EXPECT_LE(t->width(), width) << name;
        EXPECT_LE(t->horizontalHeader()->length(), t->viewport()->width())
            << name << " at " << width;
        EXPECT_FALSE(t->horizontalScrollBar()->isVisible()) << name;
        EXPECT_EQ(t->rowCount(), table->rowCount()) << name;
        for (int c = 0; c < t->columnCount(); ++c) {
            const int room = t->columnWidth(c);
            const QString header = t->horizontalHeaderItem(c)->text();
            EXPECT_LE(QFontMetrics(t->horizontalHeader()->font()).horizontalAdvance(header) + 8,
                      room)
                << name << " at " << width << " header " << header.toStdString();
            for (int r = 0; r < t->rowCount(); ++r) {
                const QString text = t->item(r, c)->text();
                const std::string at = std::string(name) + " at " + std::to_string(width) +
                                       " row " + std::to_string(r) + ": " + text.toStdString();
                if (!t->wordWrap()) {
                    EXPECT_LE(metrics.horizontalAdvance(text) + 6, room) << at;
                    continue;
                }
                for (const QString& word : text.split(QLatin1Char(' ')))
                    EXPECT_LE(metrics.horizontalAdvance(word) + 6, room) << at;
                const QRect lines =
                    metrics.boundingRect(QRect(0, 0, room - 6, 10000), Qt::TextWordWrap, text);
                EXPECT_LE(lines.height(), t->rowHeight(r)) << at;
            }
        }
    }
}

} // namespace

TEST(WheelEvidenceView, FitsAnyWidthWithoutScrollingSideways) {
    WheelEvidenceView view;
    view.show();
    for (int width : {250, 330, 600, 900})
        for (std::int64_t spins : {std::int64_t{0}, std::int64_t{300}, std::int64_t{1200000}}) {
            view.resize(width, 700);
            view.set(wheelOf(spins, 3), QStringLiteral("Table 3, whole journal"));
            for (int k = 0; k < 3; ++k)
                QApplication::processEvents();
            const std::string at = std::to_string(width) + " px, " + std::to_string(spins);
            const QScrollArea* scroll = view.scrollArea();
            EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible()) << at;
            EXPECT_LE(view.minimumSizeHint().width(), width) << at;
            EXPECT_LE(scroll->widget()->minimumSizeHint().width(), scroll->viewport()->width())
                << at;
            EXPECT_LE(scroll->widget()->width(), scroll->viewport()->width()) << at;
            // Every widget of the view within its width.
            for (const QWidget* w : view.findChildren<QWidget*>()) {
                if (!w->isVisible()) continue;
                EXPECT_LE(w->mapTo(&view, QPoint(w->width(), 0)).x(), width)
                    << at << " " << w->metaObject()->className();
            }
            const int inner = scroll->viewport()->width();
            expectWhole(view.testsTable(), "tests", 4, inner);
            expectWhole(view.pocketsTable(), "pockets", 6, inner);
            expectWhole(view.planTable(), "plan", 4, inner);
            expectWhole(view.distancesTable(), "distances", 4, inner);
            EXPECT_EQ(view.pocketsTable()->rowCount(), 37);
            EXPECT_EQ(view.planTable()->rowCount(), 4);
            // The pockets' six columns split where narrow, whole where wide.
            if (width <= 330 || width >= 600) {
                EXPECT_EQ(view.pocketsTable()->parts().size() > 1, width <= 330) << at;
            }
            EXPECT_EQ(view.meaningLabel()->text().toStdString(), kEvidenceMeaning);
        }
    // The favoured 17 at a million spins: found by every test of the page.
    EXPECT_EQ(view.evidence().largest.number, 17);
    EXPECT_EQ(view.testsTable()->text(1, 0), "Largest count");
    EXPECT_EQ(view.testsTable()->text(5, 3), "strong evidence of bias");
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
