// The tone plan exported as CSV and JSON, read back and held against the
// planning fields it was made from.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "report/plan_export.h"
#include "support/planned_sweep.h"

namespace sweepwav {
namespace {

using testing::PlannedSweep;
using testing::SweepSettings;

// ---- Reading the texts back -------------------------------------------------

// A number field parsed completely, or a test failure.
double Number(const std::string& text) {
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << "not a number: " << text;
    return v;
}

std::int64_t Integer(const std::string& text) {
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << "not an integer: " << text;
    return v;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The lines of an LF text; every line, the last included, must end in LF.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find('\n', from)) != std::string::npos; from = end + 1) {
        lines.push_back(text.substr(from, end - from));
    }
    EXPECT_EQ(from, text.size()) << "the text ends in LF";
    EXPECT_EQ(text.find('\r'), std::string::npos);
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t end; (end = line.find(',', from)) != std::string::npos; from = end + 1) {
        fields.push_back(line.substr(from, end - from));
    }
    fields.push_back(line.substr(from));
    return fields;
}

// A small strict JSON reader: objects keep their keys in order, numbers keep
// their text.
struct Json {
    enum Kind { Object, Array, String, Number } kind = String;
    std::vector<std::pair<std::string, Json>> members;
    std::vector<Json> items;
    std::string text;  // a string's value or a number's text

    const Json& operator[](const std::string& key) const {
        for (const auto& [k, v] : members) {
            if (k == key) return v;
        }
        ADD_FAILURE() << "no key " << key;
        static const Json none;
        return none;
    }
    std::vector<std::string> keys() const {
        std::vector<std::string> k;
        for (const auto& m : members) k.push_back(m.first);
        return k;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : t_(text) {}

    // The one value of the text; ok() tells whether the whole text was valid.
    Json document() {
        Json v = value();
        blanks();
        if (at_ != t_.size()) fail();
        return v;
    }
    bool ok() const { return ok_; }

private:
    void fail() { ok_ = false; at_ = t_.size(); }
    void blanks() {
        while (at_ < t_.size() && std::strchr(" \t\n\r", t_[at_])) ++at_;
    }
    bool take(char c) {
        blanks();
        if (at_ < t_.size() && t_[at_] == c) return ++at_, true;
        return false;
    }
    Json value() {
        blanks();
        Json v;
        if (!ok_ || at_ >= t_.size()) return fail(), v;
        if (take('{')) {
            v.kind = Json::Object;
            if (take('}')) return v;
            do {
                blanks();
                std::string key = string();
                if (!take(':')) return fail(), v;
                v.members.emplace_back(std::move(key), value());
            } while (take(','));
            if (!take('}')) fail();
        } else if (take('[')) {
            v.kind = Json::Array;
            if (take(']')) return v;
            do v.items.push_back(value());
            while (take(','));
            if (!take(']')) fail();
        } else if (t_[at_] == '"') {
            v.text = string();
        } else {
            v.kind = Json::Number;
            const std::size_t from = at_;
            while (at_ < t_.size() && std::strchr("+-.0123456789eE", t_[at_])) ++at_;
            v.text = t_.substr(from, at_ - from);
            if (v.text.empty()) fail();
        }
        return v;
    }
    std::string string() {
        std::string out;
        if (at_ >= t_.size() || t_[at_++] != '"') return fail(), out;
        while (at_ < t_.size() && t_[at_] != '"') {
            const char c = t_[at_++];
            if (static_cast<unsigned char>(c) < 0x20) return fail(), out;  // must be escaped
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= t_.size()) return fail(), out;
            const char e = t_[at_++];
            const char* simple = std::strchr("\"\\/bfnrt", e);
            if (simple && e != '\0') {
                out += "\"\\/\b\f\n\r\t"[simple - "\"\\/bfnrt"];
            } else if (e == 'u' && at_ + 4 <= t_.size()) {
                const unsigned code = static_cast<unsigned>(std::stoul(t_.substr(at_, 4), nullptr, 16));
                at_ += 4;
                if (code >= 0x80) return fail(), out;  // not needed here
                out += static_cast<char>(code);
            } else {
                return fail(), out;
            }
        }
        if (at_ >= t_.size()) return fail(), out;
        ++at_;
        return out;
    }

    const std::string& t_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

Json ReadJson(const std::string& text) {
    JsonReader reader(text);
    Json doc = reader.document();
    EXPECT_TRUE(reader.ok()) << text;
    return doc;
}

// ---- The tests ---------------------------------------------------------------

const std::string kHeader =
    "index,first_frame,frames,start_s,duration_s,frequency_hz,level_dbfs,peak_amplitude,cycles";

// Shift modes, spacings and formats that give whole and fractional
// frequencies, levels, times and cycle counts.
const SweepSettings kSweeps[] = {
    // three tones as entered
    {.steps = 2, .startFreq = 1000, .endFreq = 3000, .toneMs = 200},
    // frequencies moved to whole cycles in 100 ms, levels falling
    {.rate = 44100, .bits = 24, .channels = 1, .steps = 10, .log = true, .startFreq = 20,
     .endFreq = 20000, .startLevel = 0, .endLevel = -60, .mode = 1},
    // lengths moved to whole cycles, at least 20 cycles or 5 ms
    {.rate = 96000, .bits = 20, .channels = 3, .steps = 30, .log = true, .startFreq = 20,
     .endFreq = 40000, .startLevel = -3.5, .endLevel = -200, .toneMs = 5, .cycles = 20, .mode = 2},
    // one tone
    {.rate = 192000, .bits = 18, .channels = 8, .startFreq = 997, .endFreq = 5000, .toneMs = 1000},
    // no minimum time, 10 cycles each: every tone has its own length
    {.rate = 32000, .steps = 7, .startFreq = 100, .endFreq = 1000, .toneMs = 0, .cycles = 10, .mode = 2},
    // no time at all: tones without frames, an empty data chunk
    {.steps = 3, .log = true, .startFreq = 100, .endFreq = 10000, .toneMs = 0, .cycles = 10},
};

TEST(PlanExport, CsvReadsBackAsThePlan) {
    for (const SweepSettings& p : kSweeps) {
        SCOPED_TRACE(::testing::Message() << p.steps << " steps, mode " << p.mode << ", "
                                          << p.toneMs << " ms, " << p.cycles << " cycles");
        const GeneratorState s = PlannedSweep(p);
        ASSERT_EQ(s.iCalcResult, 1);
        const std::vector<std::string> lines = Lines(PlanCsv(s));
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(s.iSteps) + 2);
        EXPECT_EQ(lines[0], kHeader);

        std::int64_t next = 0;
        for (int i = 0; i <= s.iSteps; ++i) {
            SCOPED_TRACE(::testing::Message() << "tone " << i << ": " << lines[i + 1]);
            const auto n = static_cast<std::size_t>(i);
            const std::vector<std::string> f = Fields(lines[n + 1]);
            ASSERT_EQ(f.size(), 9u);
            const std::int64_t frames = Integer(f[2]);
            EXPECT_EQ(Integer(f[0]), i);
            EXPECT_EQ(Integer(f[1]), next);
            EXPECT_EQ(frames, static_cast<std::int64_t>(s.dSamples[n]));
            EXPECT_EQ(Number(f[3]), static_cast<double>(next) / s.iSampleRate);
            EXPECT_EQ(Number(f[4]), static_cast<double>(frames) / s.iSampleRate);
            // The synthesised values, to the last bit.
            EXPECT_TRUE(SameBits(Number(f[5]), s.dFreq[n])) << f[5] << " vs " << s.dFreq[n];
            EXPECT_TRUE(SameBits(Number(f[6]), s.dLevel[n])) << f[6];
            EXPECT_TRUE(SameBits(Number(f[7]), s.dAmplitude[n])) << f[7];
            const double cycles = Number(f[8]);
            EXPECT_NEAR(cycles, s.dFreq[n] * frames / s.iSampleRate, 1e-9 * (1 + cycles));
            if (p.mode == 1) {
                EXPECT_NEAR(cycles, std::round(cycles), 1e-6) << "aligned tones hold whole cycles";
            }
            if (p.mode == 2 && frames > 0) {
                EXPECT_GE(cycles, p.cycles - 0.5 * s.dFreq[n] / s.iSampleRate);
            }
            next += frames;
        }
        // The tones fill the data chunk exactly.
        EXPECT_EQ(next, s.iTotalSamples);
        EXPECT_EQ(next * s.iChannels * s.iBytesPerSample, s.iTotalBytes);
    }
}

TEST(PlanExport, JsonHoldsTheSameValuesAsTheCsv) {
    for (const SweepSettings& p : kSweeps) {
        SCOPED_TRACE(::testing::Message() << p.steps << " steps, mode " << p.mode);
        const GeneratorState s = PlannedSweep(p);
        ASSERT_EQ(s.iCalcResult, 1);
        const std::string json = PlanJson(s);
        Lines(json);  // LF line ends
        const Json doc = ReadJson(json);
        ASSERT_EQ(doc.kind, Json::Object);
        EXPECT_EQ(doc.keys(),
                  (std::vector<std::string>{"file", "format", "total_frames", "data_bytes", "tones"}));
        EXPECT_EQ(doc["file"].text, "sweep.wav");
        EXPECT_EQ(doc["format"].keys(), (std::vector<std::string>{"rate", "bits", "channels"}));
        EXPECT_EQ(Integer(doc["format"]["rate"].text), p.rate);
        EXPECT_EQ(Integer(doc["format"]["bits"].text), p.bits);
        EXPECT_EQ(Integer(doc["format"]["channels"].text), p.channels);
        EXPECT_EQ(Integer(doc["total_frames"].text), s.iTotalSamples);
        EXPECT_EQ(Integer(doc["data_bytes"].text), s.iTotalBytes);

        const std::vector<std::string> csv = Lines(PlanCsv(s));
        const std::vector<std::string> columns = Fields(csv[0]);
        const Json& tones = doc["tones"];
        ASSERT_EQ(tones.kind, Json::Array);
        ASSERT_EQ(tones.items.size() + 1, csv.size());
        for (std::size_t i = 0; i < tones.items.size(); ++i) {
            const Json& tone = tones.items[i];
            EXPECT_EQ(tone.keys(), columns);
            const std::vector<std::string> row = Fields(csv[i + 1]);
            for (std::size_t c = 0; c < columns.size(); ++c) {
                EXPECT_EQ(tone[columns[c]].kind, Json::Number);
                EXPECT_TRUE(SameBits(Number(tone[columns[c]].text), Number(row[c])))
                    << "tone " << i << " " << columns[c];
            }
        }
    }
}

TEST(PlanExport, JsonEscapesTheFileName) {
    static constexpr char kControls[] = "nul\0bell\x07\x1f\b\f.wav";
    const std::pair<std::string, std::string> names[] = {
        {"plain.wav", "\"plain.wav\""},
        {"say \"hi\".wav", R"("say \"hi\".wav")"},
        {"back\\slash.wav", R"("back\\slash.wav")"},
        {"tab\tnew\nline\r.wav", R"("tab\tnew\nline\r.wav")"},
        {std::string(kControls, sizeof kControls - 1), R"("nul\u0000bell\u0007\u001f\b\f.wav")"},
        {"Töne 1 kHz – µ.wav", "\"Töne 1 kHz – µ.wav\""},  // UTF-8 as it is
        {"del\x7f/.wav", "\"del\x7f/.wav\""},
    };
    for (const auto& [name, written] : names) {
        GeneratorState s = PlannedSweep({.file = name});
        const std::string json = PlanJson(s);
        EXPECT_NE(json.find("\"file\": " + written + ",\n"), std::string::npos) << json;
        EXPECT_EQ(ReadJson(json)["file"].text, name);
    }
}

TEST(PlanExport, NumberTexts) {
    const std::pair<double, const char*> numbers[] = {
        {20, "20"},
        {-20, "-20"},
        {0, "0"},
        {0.1, "0.10000000000000001"},
        {1.0 / 3, "0.33333333333333331"},
        {3276.8, "3276.8000000000002"},
        {8388606, "8388606"},
        {1.0 / 192000, "5.2083333333333332e-06"},
        {123456789.25, "123456789.25"},
    };
    for (const auto& [x, text] : numbers) EXPECT_EQ(ExactNumberText(x), text);
}

TEST(PlanExport, FormatFromTheFileName) {
    const std::pair<const char*, PlanFormat> names[] = {
        {"plan.csv", PlanFormat::Csv},        {"/tmp/Plan.CSV", PlanFormat::Csv},
        {"a.Csv", PlanFormat::Csv},           {"plan.json", PlanFormat::Json},
        {"PLAN.JSON", PlanFormat::Json},      {"x.jSoN", PlanFormat::Json},
        {"plan.csv.txt", PlanFormat::None},   {"plan.jsonl", PlanFormat::None},
        {"plancsv", PlanFormat::None},        {"csv", PlanFormat::None},
        {"plan.", PlanFormat::None},          {"", PlanFormat::None},
        {"dir.csv/plan", PlanFormat::None},   {"plan.wav", PlanFormat::None},
    };
    const GeneratorState s = PlannedSweep({.steps = 1});
    for (const auto& [name, format] : names) {
        EXPECT_EQ(PlanFormatFor(name), format) << name;
        const std::string text = PlanText(s, format);
        switch (format) {
            case PlanFormat::Csv: EXPECT_EQ(text, PlanCsv(s)); break;
            case PlanFormat::Json: EXPECT_EQ(text, PlanJson(s)); break;
            case PlanFormat::None: EXPECT_EQ(text, ""); break;
        }
    }
}

TEST(PlanExport, WithoutAPlanThereAreNoTones) {
    GeneratorState s;  // never planned: no per-tone values
    s.iSteps = 4;
    EXPECT_TRUE(PlanRows(s).empty());
    EXPECT_EQ(PlanCsv(s), kHeader + "\n");
    const Json doc = ReadJson(PlanJson(s));
    EXPECT_EQ(doc["tones"].kind, Json::Array);
    EXPECT_TRUE(doc["tones"].items.empty());
}

}  // namespace
}  // namespace sweepwav
