#include "report/plan_chart.h"

#include <algorithm>
#include <cmath>

#include "numbers/number_text.h"

namespace sweepwav {

namespace {

// 10^e, exact for the whole powers a double holds exactly (e <= 22); below
// 1 the nearest double to it, from one division.
double Power10(int e) {
    double p = 1;
    for (int i = 0; i < std::abs(e); ++i) p *= 10;
    return e >= 0 ? p : 1 / p;
}

// The e with 10^e <= x < 10^(e+1), for a positive x.
int DecadeOf(double x) {
    int e = 0;
    while (e > -300 && Power10(e) > x) --e;
    while (e < 300 && Power10(e + 1) <= x) ++e;
    return e;
}

// A round step, m times 10^e; its multiples are computed so that they are
// the nearest doubles to the numbers they stand for ("0.6", not 3 * 0.2).
struct Step {
    double m = 1;
    int e = 0;
    double at(double k) const { return e >= 0 ? k * m * Power10(e) : k * m / Power10(-e); }
};

// 1, 2 or 5 times a power of ten, the smallest of them that is at least a
// fifth of span (or within a billionth of it: 0.001 / 5 gives 0.0002).
Step RoundStep(double span) {
    const double rough = span / 5;
    const int e = DecadeOf(rough);
    for (double m : {1.0, 2.0, 5.0}) {
        if (Step{m, e}.at(1) >= rough * (1 - 1e-9)) return {m, e};
    }
    return {1, e + 1};
}

// Where k multiples of step lie around value; a value within a billionth
// of a step of a multiple counts as on it.
double StepsBelow(double value, const Step& step) { return std::floor(value / step.at(1) + 1e-9); }
double StepsAbove(double value, const Step& step) { return std::ceil(value / step.at(1) - 1e-9); }

void AddTick(ChartAxis& axis, double value, bool labelled) {
    axis.ticks.push_back({value, labelled ? NumberText(value) : std::string()});
}

// The axis over [low, high], in steps of step, from axis.low on.
void AddSteps(ChartAxis& axis, const Step& step, double from, double to) {
    for (double k = from; k <= to; ++k) {
        if (step.at(k) >= axis.low) AddTick(axis, step.at(k), true);
    }
}

// Every decade from 10^first to 10^last labelled; 2 to 9 times each decade
// below the last as grid lines, 2 and 5 times labelled as well when asked.
void AddDecades(ChartAxis& axis, int first, int last, bool labelTwoAndFive) {
    for (int e = first; e < last; ++e) {
        for (int m = 1; m <= 9; ++m) {
            AddTick(axis, Step{static_cast<double>(m), e}.at(1), m == 1 || (labelTwoAndFive && (m == 2 || m == 5)));
        }
    }
    AddTick(axis, Power10(last), true);
}

// The plan's levels: round-number labels on an axis that ends just above
// the highest level.
ChartAxis LevelAxis(double low, double high) {
    const double span = std::max(high - low, 1.0);
    ChartAxis axis;
    axis.low = high - span - 0.04 * span;
    axis.high = high + 0.02 * span;
    const Step step = RoundStep(span);
    AddSteps(axis, step, StepsAbove(axis.low, step), StepsBelow(axis.high, step));
    return axis;
}

}  // namespace

double ChartAxis::fraction(double value) const {
    return log ? std::log(value / low) / std::log(high / low) : (value - low) / (high - low);
}

ChartAxis RoundAxis(double low, double high) {
    const Step step = RoundStep(high - low);
    const double first = StepsBelow(low, step), last = StepsAbove(high, step);
    ChartAxis axis;
    axis.low = step.at(first);
    axis.high = step.at(last);
    AddSteps(axis, step, first, last);
    return axis;
}

ChartAxis LogAxis(double low, double high) {
    const int first = DecadeOf(low);
    int last = DecadeOf(high);
    if (Power10(last) < high || last == first) ++last;
    ChartAxis axis;
    axis.log = true;
    if (last - first > 1) {
        axis.low = Power10(first);
        axis.high = Power10(last);
        AddDecades(axis, first, last, last - first == 2);
        return axis;
    }
    // Within one decade: round numbers, not below the decade's start.
    const double decade = Power10(first);
    if (high == low) {
        low = decade;
        high = Power10(last);
    }
    const Step step = RoundStep(high - low);
    const double below = StepsBelow(low, step), above = StepsAbove(high, step);
    axis.low = std::max(step.at(below), decade);
    axis.high = step.at(above);
    if (axis.low > step.at(below)) AddTick(axis, axis.low, true);
    AddSteps(axis, step, below, above);
    return axis;
}

PlanChart PlanChartAxes(const std::vector<PlanRow>& rows, bool logSteps) {
    double lowFreq = 1000, highFreq = 1000, lowLevel = 0, highLevel = 0, end = 0;
    if (!rows.empty()) {
        lowFreq = highFreq = rows.front().frequencyHz;
        lowLevel = highLevel = rows.front().levelDbfs;
    }
    for (const PlanRow& r : rows) {
        end = std::max(end, r.startSeconds + r.durationSeconds);
        lowFreq = std::min(lowFreq, r.frequencyHz);
        highFreq = std::max(highFreq, r.frequencyHz);
        lowLevel = std::min(lowLevel, r.levelDbfs);
        highLevel = std::max(highLevel, r.levelDbfs);
    }
    PlanChart chart;
    chart.time = RoundAxis(0, std::max(end, 1e-3));
    if (logSteps && lowFreq > 0) {
        chart.frequency = LogAxis(lowFreq, highFreq);
    } else {
        const double room = std::max((highFreq - lowFreq) * 0.05, 1.0);
        chart.frequency = RoundAxis(std::max(lowFreq - room, 0.0), highFreq + room);
    }
    chart.level = LevelAxis(lowLevel, highLevel);
    chart.time.title = "Time (s)";
    chart.frequency.title = "Frequency (Hz)";
    chart.level.title = "Level (dBFS)";
    return chart;
}

}  // namespace sweepwav
