// The chart's axes: which ticks, where the axis ends, and the labels as
// both windows draw them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/plan_chart.h"

namespace sweepwav {
namespace {

struct Shown {
    double low, high;
    std::string labels;  // the labelled ticks' texts, blank-separated
    int gridOnly;        // ticks without a label
};

Shown Show(const ChartAxis& axis) {
    Shown s{axis.low, axis.high, "", 0};
    double previous = axis.low;
    for (const ChartTick& t : axis.ticks) {
        EXPECT_TRUE(t.value >= previous && t.value <= axis.high) << t.value << " out of order or range";
        previous = t.value;
        if (t.label.empty()) ++s.gridOnly;
        else s.labels += (s.labels.empty() ? "" : " ") + t.label;
    }
    return s;
}

std::vector<PlanRow> Tones(std::vector<std::pair<double, double>> freqLevel, double seconds) {
    std::vector<PlanRow> rows;
    for (const auto& [f, l] : freqLevel) {
        rows.push_back({.startSeconds = seconds * static_cast<double>(rows.size()), .durationSeconds = seconds,
                        .frequencyHz = f, .levelDbfs = l});
    }
    return rows;
}

TEST(PlanChart, TicksAndEnds) {
    const std::vector<PlanRow> sweep = Tones({{20, 0}, {2000, -30}, {20000, -60}}, 0.7);
    const PlanChart linear = PlanChartAxes(sweep, false);
    const PlanChart flat = PlanChartAxes(Tones({{997, -3}}, 2e-5), true);
    const struct {
        const char* what;
        ChartAxis axis;
        Shown shown;
    } cases[] = {
        {"decades", LogAxis(20, 20000), {10, 1e5, "10 100 1000 10000 100000", 32}},
        {"decades, up to a decade", LogAxis(1, 96000), {1, 1e5, "1 10 100 1000 10000 100000", 40}},
        {"two decades", LogAxis(200, 5000), {100, 1e4, "100 200 500 1000 2000 5000 10000", 12}},
        {"within a decade", LogAxis(1000, 2000), {1000, 2000, "1000 1200 1400 1600 1800 2000", 0}},
        {"within a decade, from its start", LogAxis(150, 900), {100, 1000, "100 200 400 600 800 1000", 0}},
        {"within a decade, tiny", LogAxis(1000, 1000.5), {1000, 1000.5, "1000 1000.1 1000.2 1000.3 1000.4 1000.5", 0}},
        {"one frequency", flat.frequency, {100, 1000, "100 200 400 600 800 1000", 0}},
        {"one frequency on a decade", LogAxis(1000, 1000), {1000, 1e4, "1000 2000 4000 6000 8000 10000", 0}},
        {"round numbers", RoundAxis(0, 3.35), {0, 4, "0 1 2 3 4", 0}},
        {"round numbers, tiny", RoundAxis(0, 0.00096), {0, 0.001, "0 0.0002 0.0004 0.0006 0.0008 0.001", 0}},
        {"round numbers, tinier", RoundAxis(0, 1e-5), {0, 1e-5, "0 2e-06 4e-06 6e-06 8e-06 1e-05", 0}},
        {"round numbers, huge", RoundAxis(0, 12345), {0, 15000, "0 5000 10000 15000", 0}},
        {"round numbers, negative", RoundAxis(-7.5, -0.5), {-8, 0, "-8 -6 -4 -2 0", 0}},
        {"time", linear.time, {0, 2.5, "0 0.5 1 1.5 2 2.5", 0}},
        {"time, one short tone", flat.time, {0, 0.001, "0 0.0002 0.0004 0.0006 0.0008 0.001", 0}},
        {"linear frequencies, not below 0", linear.frequency, {0, 25000, "0 5000 10000 15000 20000 25000", 0}},
        {"levels", linear.level, {-62.4, 1.2, "-60 -40 -20 0", 0}},
        {"one level", flat.level, {-4.04, -2.98, "-4 -3.8 -3.6 -3.4 -3.2 -3", 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Shown s = Show(c.axis);
        EXPECT_DOUBLE_EQ(s.low, c.shown.low);
        EXPECT_DOUBLE_EQ(s.high, c.shown.high);
        EXPECT_EQ(s.labels, c.shown.labels);
        EXPECT_EQ(s.gridOnly, c.shown.gridOnly);
    }
    EXPECT_TRUE(PlanChartAxes(sweep, true).frequency.log && !linear.frequency.log && !linear.time.log);
    EXPECT_EQ(linear.level.title + linear.frequency.title + linear.time.title, "Level (dBFS)Frequency (Hz)Time (s)");
    // Places on the axis: linear, and by the logarithm.
    EXPECT_DOUBLE_EQ(linear.frequency.fraction(5000), 0.2);
    EXPECT_DOUBLE_EQ(LogAxis(20, 20000).fraction(1000), 0.5);
}

}  // namespace
}  // namespace sweepwav
