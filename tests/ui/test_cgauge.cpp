#include "widgets/cgauge.h"

#include "paint_counter.h"

#include <QEvent>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

const QColor barGreen(0x99, 0xBF, 0x13);
const QColor olive(0x80, 0x80, 0x00);

// Where a grabbed picture first differs from the expected one, or "" if nowhere.
std::string firstMismatch(TCGauge& gauge, const std::function<QColor(int, int)>& expected) {
    const QImage image = gauge.grab().toImage();
    if (image.size() != gauge.size()) return "grabbed a picture of the wrong size";
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != expected(x, y))
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is " +
                       image.pixelColor(x, y).name().toStdString();
    return "";
}

// The stake bar's gauge: 224 x 7, no border, 0 to 18.
void makeProgressBar(TCGauge& gauge) {
    gauge.resize(224, 7);
    gauge.setShowText(false);
    gauge.setBorderStyle(TCGauge::bsNone);
    gauge.setForeColor(barGreen);
    gauge.setBackColor(Qt::black);
    gauge.setMaxValue(18);
    gauge.setMinValue(0);
}

// The recalculation gauge: 65 x 17, single border, the default 0 to 100.
void makeRecalcGauge(TCGauge& gauge) {
    gauge.resize(65, 17);
    gauge.setShowText(false);
    gauge.setForeColor(olive);
    gauge.setBackColor(Qt::black);
}

TEST(TCGaugePaint, StakeBarFillsTheWidthsOfEachStepOfTheDraw) {
    // The filled width after k steps is floor(225 * floor(100 k / 18) / 100).
    const int widths[18] = {11,  24,  36,  49,  60,  74,  85,  99,  112,
                            123, 137, 148, 162, 173, 186, 198, 211, 225};
    TCGauge gauge;
    makeProgressBar(gauge);
    for (int k = 1; k <= 18; ++k) {
        SCOPED_TRACE(k);
        gauge.setProgress(k);
        const int filled = std::min(widths[k - 1], 224);
        EXPECT_EQ(
            firstMismatch(gauge, [&](int x, int) { return x < filled ? barGreen : Qt::black; }),
            "");
    }
}

TEST(TCGaugePaint, StakeBarHoldsWrittenValuesAtTheNearerEnd) {
    TCGauge gauge;
    makeProgressBar(gauge);
    gauge.setProgress(19);
    EXPECT_EQ(gauge.Progress(), 18);
    EXPECT_EQ(firstMismatch(gauge, [](int, int) { return barGreen; }), "");
    gauge.setProgress(-1);
    EXPECT_EQ(gauge.Progress(), 0);
    EXPECT_EQ(firstMismatch(gauge, [](int, int) { return QColor(Qt::black); }), "");
}

TEST(TCGaugePaint, SingleBorderLeavesABlackMarginAndFillsFromColumnOne) {
    TCGauge gauge;
    makeRecalcGauge(gauge);
    gauge.setBackColor(Qt::white); // so that the margin shows against the bar area
    for (int p : {0, 1, 2, 50, 98, 100}) {
        SCOPED_TRACE(p);
        gauge.setProgress(p);
        const int end = 64 * p / 100; // first column not filled
        EXPECT_EQ(firstMismatch(gauge,
                                [&](int x, int y) {
                                    if (x == 0 || y == 0 || x == 64 || y == 16)
                                        return QColor(Qt::black);
                                    return x < end ? olive : QColor(Qt::white);
                                }),
                  "");
    }
}

TEST(TCGaugePaint, MinimumRaisedToTheMaximumShowsZeroPercent) {
    TCGauge gauge;
    makeRecalcGauge(gauge);
    gauge.setProgress(50);
    gauge.setMinValue(100);
    EXPECT_EQ(gauge.Progress(), 100);
    EXPECT_EQ(gauge.PercentDone(), 0);
    EXPECT_EQ(firstMismatch(gauge, [](int, int) { return QColor(Qt::black); }), "");
}

TEST(TCGaugeValues, PercentDoneIsTheFloorOfTheWholePercent) {
    struct Case {
        int32_t min, max, progress, percent;
    };
    const Case cases[] = {{0, 18, 1, 5},
                          {0, 18, 17, 94},
                          {0, 100, 2, 2},
                          {-50, 50, 0, 50},
                          {-10, 0, -5, 50}, // a maximum of 0 is an ordinary value
                          {INT32_MIN, INT32_MAX, 0, 50},
                          {INT32_MIN, INT32_MAX, INT32_MAX, 100},
                          {7, 7, 7, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progress);
        TCGauge gauge;
        gauge.setMinValue(INT32_MIN);
        gauge.setMaxValue(c.max);
        gauge.setMinValue(c.min);
        gauge.setProgress(c.progress);
        EXPECT_EQ(gauge.PercentDone(), c.percent);
    }
}

TEST(TCGaugeValues, BadBoundsFailWithTheirMessageAndChangeNothing) {
    struct Case {
        const char* name;
        int32_t min, max;
        bool writeMin;
        int32_t value;
        const char* message;
    };
    const Case cases[] = {
        {"minimum above maximum", 0, 100, true, 101, "Value must be between -2147483647 and 99"},
        {"maximum below minimum", 0, 100, false, -1, "Value must be between 1 and 2147483647"},
        {"maximum at the bottom of the range", INT32_MIN, INT32_MIN, true, 0,
         "Value must be between -2147483647 and -2147483649"},
        {"minimum at the top of the range", INT32_MAX, INT32_MAX, false, 0,
         "Value must be between 2147483648 and 2147483647"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCGauge gauge;
        gauge.setMinValue(INT32_MIN);
        gauge.setMaxValue(c.max);
        gauge.setMinValue(c.min);
        gauge.setProgress(c.min);
        try {
            if (c.writeMin)
                gauge.setMinValue(c.value);
            else
                gauge.setMaxValue(c.value);
            ADD_FAILURE() << "no failure";
        } catch (const std::out_of_range& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(gauge.MinValue(), c.min);
        EXPECT_EQ(gauge.MaxValue(), c.max);
        EXPECT_EQ(gauge.Progress(), c.min);
    }
}

// A shown window with the gauge and a second widget. Repaints are counted
// after an update of the second widget has been painted: the window paints
// everything marked for repainting in one pass, so a gauge that was marked is
// painted by then, and one that was not is not.
class TCGaugeRepaints : public ::testing::Test {
  protected:
    void SetUp() override {
        makeRecalcGauge(*gauge);
        gauge->move(0, 0);
        other->setGeometry(70, 0, 10, 10);
        gauge->installEventFilter(&gaugePaints);
        other->installEventFilter(&otherPaints);
        window.resize(100, 40);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_EQ(repaintsDuring([] {}), 0);
    }

    int repaintsDuring(const std::function<void()>& change) {
        const int before = gaugePaints.count;
        const int otherBefore = otherPaints.count;
        change();
        other->update();
        EXPECT_TRUE(QTest::qWaitFor([&] { return otherPaints.count > otherBefore; }));
        return gaugePaints.count - before;
    }

    QWidget window;
    TCGauge* gauge = new TCGauge(&window);
    QWidget* other = new QWidget(&window);
    PaintCounter gaugePaints;
    PaintCounter otherPaints;
};

TEST_F(TCGaugeRepaints, RecalcGaugeReachesExactly100In50StepsOf2AndRepaintsEachTime) {
    for (int step = 1; step <= 50; ++step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(repaintsDuring([&] { gauge->setProgress(gauge->Progress() + 2); }), 1);
        EXPECT_EQ(gauge->Progress(), 2 * step);
    }
    EXPECT_EQ(gauge->PercentDone(), 100);
}

TEST_F(TCGaugeRepaints, OnlyChangesThatShowAreRepainted) {
    struct Case {
        const char* name;
        std::function<void(TCGauge&)> change;
        int repaints;
    };
    const Case cases[] = {
        {"range 0 to 1000", [](TCGauge& g) { g.setMaxValue(1000); }, 1},
        {"progress within the same percent", [](TCGauge& g) { g.setProgress(9); }, 0},
        {"progress to the next percent", [](TCGauge& g) { g.setProgress(10); }, 1},
        {"progress beyond the maximum", [](TCGauge& g) { g.setProgress(5000); }, 1},
        {"held at the maximum", [](TCGauge& g) { g.setProgress(6000); }, 0},
        {"maximum written unchanged", [](TCGauge& g) { g.setMaxValue(1000); }, 1},
        {"minimum written unchanged", [](TCGauge& g) { g.setMinValue(0); }, 0},
        {"AddProgress of nothing", [](TCGauge& g) { g.AddProgress(0); }, 1},
        {"same colour", [](TCGauge& g) { g.setForeColor(olive); }, 0},
        {"new colour", [](TCGauge& g) { g.setForeColor(Qt::red); }, 1},
        {"no border", [](TCGauge& g) { g.setBorderStyle(TCGauge::bsNone); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(repaintsDuring([&] { c.change(*gauge); }), c.repaints);
    }
}

} // namespace
