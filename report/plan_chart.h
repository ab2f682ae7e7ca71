// The axes of the plan view's chart: where each axis begins and ends, and
// its ticks with their labels. Both windows draw exactly these, so their
// charts show the same numbers.
#pragma once

#include <string>
#include <vector>

#include "report/plan_export.h"

namespace sweepwav {

struct ChartTick {
    double value = 0;
    std::string label;  // the number text of value; empty for a grid line without a label
};

struct ChartAxis {
    std::string title;  // "Frequency (Hz)"
    double low = 0;     // the values at the axis's two ends
    double high = 1;
    bool log = false;   // values placed by their logarithm
    std::vector<ChartTick> ticks;  // in increasing order, all within [low, high]

    // Where value lies along the axis: 0 at low, 1 at high.
    double fraction(double value) const;
};

// A linear axis over whole steps around [low, high] (low < high): ticks on
// every multiple of a round step (1, 2 or 5 times a power of ten, giving
// about five intervals), the axis from the multiple at or below low to the
// one at or above high, every tick labelled.
ChartAxis RoundAxis(double low, double high);

// A logarithmic axis for values in [low, high] (0 < low <= high), over the
// whole decades around them. Three decades or more: a label on each decade,
// grid lines at 2 to 9 times each. Two decades: labels at 1, 2 and 5 times
// each decade as well. Values within one decade: round-number ticks as on a
// linear axis, the axis from the tick at or below low to the one at or above
// high (a single value: the whole decade).
ChartAxis LogAxis(double low, double high);

// The axes of a plan's chart: time from 0 to past the last tone; the tones'
// frequencies, on a logarithmic axis for log steps, and on a linear one
// (not below 0) with some room either side otherwise; their levels, with
// labels on round numbers, room below the lowest and little above the
// highest, so that the axis suggests no level that is not there (a flat
// sweep gets 1 dB below its level).
struct PlanChart {
    ChartAxis time;
    ChartAxis frequency;
    ChartAxis level;
};
PlanChart PlanChartAxes(const std::vector<PlanRow>& rows, bool logSteps);

}  // namespace sweepwav
