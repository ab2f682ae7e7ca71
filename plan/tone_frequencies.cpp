#include "plan/tone_frequencies.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <string_view>

#include "core/text.h"
#include "numbers/exact_math.h"
#include "numbers/number_text.h"

namespace sweepwav {

namespace {

// The preferred numbers of one decade (ISO 3, ISO 266), in hundredths.
constexpr int kR10[] = {100, 125, 160, 200, 250, 315, 400, 500, 630, 800};
constexpr int kR40[] = {100, 106, 112, 118, 125, 132, 140, 150, 160, 170, 180, 190, 200, 212,
                        224, 236, 250, 265, 280, 300, 315, 335, 355, 375, 400, 425, 450, 475,
                        500, 530, 560, 600, 630, 670, 710, 750, 800, 850, 900, 950};
constexpr int kR80[] = {100, 103, 106, 109, 112, 115, 118, 122, 125, 128, 132, 136, 140, 145, 150, 155,
                        160, 165, 170, 175, 180, 185, 190, 195, 200, 206, 212, 218, 224, 230, 236, 243,
                        250, 258, 265, 272, 280, 290, 300, 307, 315, 325, 335, 345, 355, 365, 375, 387,
                        400, 412, 425, 437, 450, 462, 475, 487, 500, 515, 530, 545, 560, 580, 600, 615,
                        630, 650, 670, 690, 710, 730, 750, 775, 800, 825, 850, 875, 900, 925, 950, 975};
static_assert(std::size(kR10) == 10 && std::size(kR40) == 40 && std::size(kR80) == 80);

// The nominal mid-band frequencies of a band fraction: the members of a
// preferred-number series, from member `first` on, every `step`-th. Octaves
// take every third member of R10 (31.5, 63, 125 ...), thirds every member;
// 1/6- and 1/12-octave bands, whose exact mid-bands lie between those of
// the series, the odd-numbered members of R40 and R80 (1060, 1180 ... and
// 1030, 1090 ...), each the preferred number nearest its exact mid-band.
struct Series {
    std::span<const int> numbers;
    int step;
    int first;
};

std::optional<Series> SeriesOf(int n) {
    switch (n) {
        case 1: return Series{kR10, 3, 0};
        case 3: return Series{kR10, 1, 0};
        case 6: return Series{kR40, 2, 1};
        case 12: return Series{kR80, 2, 1};
        default: return std::nullopt;  // 1/24 octave: the standard gives none
    }
}

int FloorDiv(int a, int b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// The highest band whose exact mid-band is at most f, by search from an
// estimate: the mid-bands rise with x. The estimate takes the decades from
// f's binary exponent, not from a logarithm, so that no library function's
// last bits are involved (the search makes the result exact either way).
int HighestBandAtMost(int n, double f) {
    int x = static_cast<int>(std::floor(std::ilogb(f / 1000) * 0.30103 * 10 * n / 3));
    while (ExactMidBand(n, x) > f) --x;
    while (ExactMidBand(n, x + 1) <= f) ++x;
    return x;
}

bool Refuse(GeneratorState& s, WindowOps& w, Control entry, const std::string& problem) {
    s.bDataOK = false;
    s.refusedEntry = entry;
    w.message_box("Please check the frequencies: " + problem, s.sAppTitle, Icon::Exclamation);
    return false;
}

std::string Hz(double f) { return NumberText(f) + " Hz"; }

// The entries of the typed list, between its commas.
std::vector<std::string> ListEntries(std::string_view text) {
    const std::vector<std::string_view> parts = SplitAt(text, ",");
    return {parts.begin(), parts.end()};
}

bool RefuseNotNumber(GeneratorState& s, WindowOps& w, std::size_t entry, const std::string& item) {
    return Refuse(s, w, Control::FrequencyList,
                  "entry " + std::to_string(entry) + " of the list, " + ShownValue(item) + ", is not a number");
}

// The frequencies of the typed list, rounded to 3 decimals as the boxes'
// are; or the refusal.
bool ListFrequencies(GeneratorState& s, WindowOps& w, std::int32_t limit) {
    const std::vector<std::string> entries = ListEntries(s.toneList);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto value = ParseNumber(entries[i]);
        if (!value) return RefuseNotNumber(s, w, i + 1, entries[i]);
        const double f = RoundDecimals(*value, 3);
        if (!(f >= 10 && f <= limit)) {
            return Refuse(s, w, Control::FrequencyList,
                          "entry " + std::to_string(i + 1) + " of the list, " + Hz(f) + ", is outside 10 to " +
                              Hz(limit));
        }
        s.listedFreq.push_back(f);
    }
    // The list's ends stand for the sweep's range (the boxes do not count).
    s.dStartFreq = s.listedFreq.front();
    s.dEndFreq = s.listedFreq.back();
    return true;
}

bool BandFrequencies(GeneratorState& s, WindowOps& w, int n, std::int32_t limit) {
    if (s.nominalBands && !HasNominalMidBands(n)) {
        return Refuse(s, w, Control::NominalBands,
                      "the standard gives no nominal frequencies for " + BandName(n) + " bands");
    }
    s.listedFreq = BandCentres(n, s.nominalBands, s.dStartFreq, s.dEndFreq);
    const double low = std::min(s.dStartFreq, s.dEndFreq), high = std::max(s.dStartFreq, s.dEndFreq);
    if (s.listedFreq.empty()) {
        return Refuse(s, w, Control::Spacing,
                      "no " + BandName(n) + " centre lies between " + NumberText(low) + " and " + Hz(high));
    }
    for (double f : s.listedFreq) {
        if (!(f >= 10 && f <= limit)) {
            return Refuse(s, w, Control::Spacing,
                          "the " + BandName(n) + " centre " + Hz(f) + " is outside 10 to " + Hz(limit));
        }
    }
    return true;
}

}  // namespace

double ExactMidBand(int n, int x) {
    // 1000 x G^(x/n) = 10^((30n + 3x) / 10n) for odd n, and
    // 1000 x G^((2x+1)/2n) = 10^((60n + 6x + 3) / 20n) for even n.
    if (n % 2 != 0) return ExactTenToThe(30 * n + 3 * x, 10 * n);
    return ExactTenToThe(60 * n + 6 * x + 3, 20 * n);
}

bool HasNominalMidBands(int n) { return SeriesOf(n).has_value(); }

double NominalMidBand(int n, int x) {
    const Series series = *SeriesOf(n);
    const int size = static_cast<int>(series.numbers.size());
    const int i = series.first + x * series.step;
    const int decade = FloorDiv(i, size);
    const int hundredths = series.numbers[static_cast<std::size_t>(i - decade * size)];
    // 1000 Hz is the series' 1.00 three decades up; in hundredths, one more.
    const int exponent = decade + 3 - 2;
    return exponent >= 0 ? hundredths * ExactPow(10, exponent) : hundredths / ExactPow(10, -exponent);
}

std::vector<double> BandCentres(int n, bool nominal, double from, double to) {
    const double low = std::min(from, to), high = std::max(from, to);
    std::vector<double> centres;
    if (!(low > 0)) return centres;
    const int last = HighestBandAtMost(n, high);
    for (int x = HighestBandAtMost(n, low); x <= last; ++x) {
        if (ExactMidBand(n, x) < low) continue;
        centres.push_back(nominal && HasNominalMidBands(n) ? NominalMidBand(n, x) : ExactMidBand(n, x));
    }
    if (from > to) std::reverse(centres.begin(), centres.end());
    return centres;
}

std::string BandName(int n) {
    switch (n) {
        case 1: return "octave";
        case 3: return "third-octave";
        default: return "1/" + std::to_string(n) + "-octave";
    }
}

std::string SpacingWords(const GeneratorState& s) {
    if (s.toneSpacing == "list") return "the listed frequencies";
    if (!s.toneSpacing.starts_with("bands")) return {};
    const std::string bands = BandName(std::stoi(s.toneSpacing.substr(5))) + " bands";
    return s.nominalBands ? bands + " at nominal frequencies" : bands;
}

bool CheckListNumbers(GeneratorState& s, WindowOps& w) {
    if (s.toneSpacing != "list") return true;
    const std::vector<std::string> entries = ListEntries(s.toneList);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!ParseNumber(entries[i])) return RefuseNotNumber(s, w, i + 1, entries[i]);
    }
    return true;
}

bool PlanToneFrequencies(GeneratorState& s, WindowOps& w) {
    s.listedFreq.clear();
    if (s.toneSpacing != "list" && !s.toneSpacing.starts_with("bands")) return true;
    const auto limit = static_cast<std::int32_t>(std::nearbyint(s.iSampleRate * 0.49));
    const bool listed = s.toneSpacing == "list" ? ListFrequencies(s, w, limit)
                                                : BandFrequencies(s, w, std::stoi(s.toneSpacing.substr(5)), limit);
    if (!listed) return false;
    if (s.listedFreq.size() > 1000) {
        return Refuse(s, w, s.toneSpacing == "list" ? Control::FrequencyList : Control::Spacing,
                      std::to_string(s.listedFreq.size()) + " tones are more than the 1000 a sweep may have");
    }
    s.iSteps = static_cast<std::int16_t>(s.listedFreq.size() - 1);
    return true;
}

}  // namespace sweepwav
