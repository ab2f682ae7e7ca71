// The tone plan exported as CSV and JSON, read back and held against the
// planning fields it was made from.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "report/plan_export.h"
#include "support/planned_sweep.h"

namespace sweepwav {
namespace {

using testing::PlannedSweep;
using testing::SweepSettings;

// A field that must be a number in full; from_chars never looks at the locale.
template <typename T>
T Read(const std::string& text) {
    T v{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << "not a number: " << text;
    return v;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::vector<std::string> Split(const std::string& text, char at) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find(at, from)) != std::string::npos; from = end + 1) {
        parts.push_back(text.substr(from, end - from));
    }
    parts.push_back(text.substr(from));
    return parts;
}

// Every shift mode, both spacings, whole and fractional values.
const SweepSettings kSweeps[] = {
    {.steps = 2, .startFreq = 1000, .endFreq = 3000, .toneMs = 200},
    // frequencies moved to whole cycles in 100 ms, falling levels
    {.rate = 44100, .bits = 24, .channels = 1, .steps = 10, .log = true, .startFreq = 20,
     .endFreq = 20000, .startLevel = 0, .endLevel = -60, .mode = 1},
    // lengths moved to whole cycles, at least 20 cycles or 5 ms
    {.rate = 96000, .bits = 20, .channels = 3, .steps = 30, .log = true, .startFreq = 20,
     .endFreq = 40000, .startLevel = -3.5, .endLevel = -200, .toneMs = 5, .cycles = 20, .mode = 2},
    {.rate = 192000, .bits = 18, .channels = 8, .startFreq = 997, .endFreq = 5000, .toneMs = 1000},
    // 0 ms and 10 cycles: every tone has a length of its own
    {.rate = 32000, .steps = 7, .startFreq = 100, .endFreq = 1000, .toneMs = 0, .cycles = 10, .mode = 2},
    // 0 ms as entered: tones without frames
    {.steps = 3, .log = true, .startFreq = 100, .endFreq = 10000, .toneMs = 0, .cycles = 10},
};

TEST(PlanExport, CsvAndJsonReadBackAsThePlan) {
    for (const SweepSettings& p : kSweeps) {
        SCOPED_TRACE(::testing::Message() << p.steps << " steps, mode " << p.mode << ", " << p.toneMs << " ms");
        const GeneratorState s = PlannedSweep(p);
        ASSERT_EQ(s.iCalcResult, 1);
        const std::string csv = PlanCsv(s), json = PlanJson(s);
        ASSERT_EQ(csv.back(), '\n');
        EXPECT_EQ(csv.find('\r'), std::string::npos);
        const std::vector<std::string> lines = Split(csv.substr(0, csv.size() - 1), '\n');
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(s.iSteps) + 2);
        const std::vector<std::string> columns = Split(lines[0], ',');
        EXPECT_EQ(lines[0], "index,first_frame,frames,start_s,duration_s,frequency_hz,level_dbfs,peak_amplitude,cycles");

        std::int64_t next = 0;
        for (std::size_t i = 0; i <= static_cast<std::size_t>(s.iSteps); ++i) {
            SCOPED_TRACE(lines[i + 1]);
            const std::vector<std::string> f = Split(lines[i + 1], ',');
            ASSERT_EQ(f.size(), 9u);
            const auto frames = Read<std::int64_t>(f[2]);
            EXPECT_EQ(Read<std::int64_t>(f[0]), static_cast<std::int64_t>(i));
            EXPECT_EQ(Read<std::int64_t>(f[1]), next);
            EXPECT_EQ(frames, static_cast<std::int64_t>(s.dSamples[i]));
            EXPECT_EQ(Read<double>(f[3]), static_cast<double>(next) / s.iSampleRate);
            EXPECT_EQ(Read<double>(f[4]), static_cast<double>(frames) / s.iSampleRate);
            // What was synthesised, to the last bit.
            EXPECT_TRUE(SameBits(Read<double>(f[5]), s.dFreq[i]));
            EXPECT_TRUE(SameBits(Read<double>(f[6]), s.dLevel[i]));
            EXPECT_TRUE(SameBits(Read<double>(f[7]), s.dAmplitude[i]));
            const double cycles = Read<double>(f[8]);
            EXPECT_NEAR(cycles, s.dFreq[i] * frames / s.iSampleRate, 1e-9 * (1 + cycles));
            // Aligned frequencies hold whole cycles; aligned lengths at least
            // the cycles asked for, to within half a frame.
            const double wholeCycles = p.mode == 1 ? std::round(cycles) : cycles;
            const double fewest = p.mode == 2 && frames > 0 ? p.cycles - 0.5 * s.dFreq[i] / s.iSampleRate : 0;
            EXPECT_NEAR(cycles, wholeCycles, 1e-6);
            EXPECT_GE(cycles, fewest);
            next += frames;

            // The JSON tone holds the same texts under the column names.
            std::string tone = "\n    {";
            for (std::size_t c = 0; c < 9; ++c) tone += (c ? ", \"" : "\"") + columns[c] + "\": " + f[c];
            EXPECT_NE(json.find(tone + (i < static_cast<std::size_t>(s.iSteps) ? "}," : "}\n  ]\n}\n")),
                      std::string::npos);
        }
        // The tones fill the data chunk exactly.
        EXPECT_EQ(next, s.iTotalSamples);
        EXPECT_EQ(next * s.iChannels * s.iBytesPerSample, s.iTotalBytes);
        const std::string head = "{\n  \"file\": \"sweep.wav\",\n  \"format\": {\"rate\": " + std::to_string(p.rate) +
                                 ", \"bits\": " + std::to_string(p.bits) + ", \"channels\": " +
                                 std::to_string(p.channels) + "},\n  \"total_frames\": " + std::to_string(next) +
                                 ",\n  \"data_bytes\": " + std::to_string(s.iTotalBytes) + ",\n  \"tones\": [\n";
        EXPECT_EQ(json.rfind(head, 0), 0u) << json;
    }
}

TEST(PlanExport, JsonEscapesTheFileName) {
    static constexpr char kControls[] = "nul\0bell\x07\x1f\b\f.wav";
    const std::pair<std::string, std::string> names[] = {
        {"say \"hi\".wav", R"("say \"hi\".wav")"},
        {"back\\slash.wav", R"("back\\slash.wav")"},
        {"tab\tnew\nline\r.wav", R"("tab\tnew\nline\r.wav")"},
        {std::string(kControls, sizeof kControls - 1), R"("nul\u0000bell\u0007\u001f\b\f.wav")"},
        {"Töne – µ/\x7f.wav", "\"Töne – µ/\x7f.wav\""},  // UTF-8 and DEL as they are
        {"\xF0\x9F\x8E\xB5 \xF4\x8F\xBF\xBF.wav", "\"\xF0\x9F\x8E\xB5 \xF4\x8F\xBF\xBF.wav\""},  // 4 bytes, the last code point
        // Each byte that is not part of well-formed UTF-8 becomes U+FFFD.
        {"Latin-1 T\xF6ne.wav", "\"Latin-1 T\uFFFDne.wav\""},
        {"cut \xE2\x80.wav", "\"cut \uFFFD\uFFFD.wav\""},
        {"end \xC3", "\"end \uFFFD\""},
        {"overlong \xC0\xAF \xE0\x80\xAF", "\"overlong \uFFFD\uFFFD \uFFFD\uFFFD\uFFFD\""},
        {"surrogate \xED\xA0\x80", "\"surrogate \uFFFD\uFFFD\uFFFD\""},
        {"too high \xF4\x90\x80\x80 \xFF", "\"too high \uFFFD\uFFFD\uFFFD\uFFFD \uFFFD\""},
    };
    for (const auto& [name, written] : names) {
        const std::string json = PlanJson(PlannedSweep({.file = name}));
        EXPECT_EQ(json.substr(0, 12 + written.size() + 2), "{\n  \"file\": " + written + ",\n");
    }
}

// The shortest text that reads back as the very same double.
TEST(PlanExport, NumberTexts) {
    const std::pair<double, const char*> numbers[] = {
        {20, "20"}, {-20, "-20"}, {0, "0"}, {-0.0, "0"}, {20000, "20000"}, {200000, "200000"},
        {1e20, "100000000000000000000"}, {0.1, "0.1"}, {0.1 + 0.2, "0.30000000000000004"},
        {1234.56, "1234.56"}, {3276.8, "3276.8"}, {32.768, "32.768"}, {-0.5, "-0.5"},
        {1.0 / 3, "0.3333333333333333"}, {1e-7, "1e-07"}, {0.0001, "0.0001"},
        {1.0 / 192000, "5.208333333333333e-06"}, {123456789.25, "123456789.25"},
        {std::nextafter(1234.56, 2000.0), "1234.5600000000002"},
    };
    for (const auto& [x, text] : numbers) {
        EXPECT_EQ(ExactNumberText(x), text) << x;
        if (x != 0) {
            EXPECT_TRUE(SameBits(Read<double>(ExactNumberText(x)), x)) << text;
        }
    }
}

TEST(PlanExport, FormatFromTheFileName) {
    const std::pair<const char*, PlanFormat> names[] = {
        {"plan.csv", PlanFormat::Csv},      {"/tmp/Plan.CSV", PlanFormat::Csv}, {"PLAN.JSON", PlanFormat::Json},
        {"x.jSoN", PlanFormat::Json},       {"plan.csv.txt", PlanFormat::None}, {"plan.jsonl", PlanFormat::None},
        {"plancsv", PlanFormat::None},      {"", PlanFormat::None},             {"dir.csv/plan", PlanFormat::None},
    };
    const GeneratorState s = PlannedSweep({.steps = 1});
    for (const auto& [name, format] : names) {
        EXPECT_EQ(PlanFormatFor(name), format) << name;
        EXPECT_EQ(PlanText(s, format), format == PlanFormat::Csv    ? PlanCsv(s)
                                       : format == PlanFormat::Json ? PlanJson(s)
                                                                    : "");
    }
    GeneratorState unplanned;  // no per-tone values: no tones
    unplanned.iSteps = 4;
    EXPECT_EQ(Split(PlanCsv(unplanned), '\n').size(), 2u);
    EXPECT_NE(PlanJson(unplanned).find("\"tones\": []\n}\n"), std::string::npos);
}

}  // namespace
}  // namespace sweepwav
