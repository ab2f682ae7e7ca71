#include "report/plan_export.h"

#include <charconv>
#include <cmath>
#include <cstddef>

#include "core/text.h"
#include "plan/signal_layout.h"

namespace sweepwav {

namespace {

// The entries' range checks keep every planned value finite, so each text
// is also a valid JSON number.
void AppendNumbers(std::string& out, const PlanRow& row, const char* separator, bool withKeys,
                   bool withChannel) {
    const auto append = [&](std::string_view key, const std::string& text, bool first) {
        if (!first) out += separator;
        if (withKeys) {
            out += '"';
            out += key;
            out += "\": ";
        }
        out += text;
    };
    const auto texts = PlanRowTexts(row);
    for (std::size_t c = 0; c < texts.size(); ++c) append(kPlanColumns[c], texts[c], c == 0);
    if (withChannel) append(kChannelColumn, std::to_string(row.channel), false);
}

// The length of the well-formed UTF-8 sequence at text[at], or 0 when the
// bytes there are not one (overlong forms, surrogates and values past
// U+10FFFF included).
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

// A JSON string: quotes and backslashes escaped, control characters as
// escapes, UTF-8 as it is, and every byte that is not part of well-formed
// UTF-8 replaced by U+FFFD, so that the file always parses.
std::string JsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char ch = text[at];
        const auto byte = static_cast<unsigned char>(ch);
        switch (ch) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20) {
                    out += "\\u00";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 0x0F];
                } else if (byte < 0x80) {
                    out += ch;
                } else if (const std::size_t length = Utf8Length(text, at); length > 0) {
                    out.append(text.substr(at, length));
                    at += length - 1;
                } else {
                    out += "\xEF\xBF\xBD";  // U+FFFD REPLACEMENT CHARACTER
                }
        }
    }
    out += '"';
    return out;
}

}  // namespace

std::vector<PlanRow> PlanRows(const GeneratorState& s) {
    const std::size_t tones = static_cast<std::size_t>(s.iSteps) + 1;
    if (s.iSteps < 0 || s.dFreq.size() != tones || s.dLevel.size() != tones ||
        s.dAmplitude.size() != tones || s.dSamples.size() != tones) {
        return {};
    }
    std::vector<PlanRow> rows;
    const double rate = s.iSampleRate;
    for (const Segment& segment : SignalSegments(s)) {
        if (segment.tone < 0) continue;
        const auto i = static_cast<std::size_t>(segment.tone);
        PlanRow& r = rows.emplace_back();
        r.index = segment.tone;
        r.firstFrame = segment.first;
        r.frames = segment.frames;
        r.startSeconds = static_cast<double>(r.firstFrame) / rate;
        r.durationSeconds = static_cast<double>(r.frames) / rate;
        r.frequencyHz = s.dFreq[i];
        r.levelDbfs = s.dLevel[i];
        r.peakAmplitude = s.dAmplitude[i];
        r.cycles = r.frequencyHz * static_cast<double>(r.frames) / rate;
        r.channel = s.signal.channels.each ? segment.pass + 1 : 0;
    }
    return rows;
}

std::string ExactNumberText(double x) {
    if (x == 0) return "0";  // also for -0
    // Without a precision, to_chars writes the fewest significant digits
    // that read back as the same double: whole values in full, an exponent
    // only below 1e-4, where plain digits would start with many zeros.
    char buf[400];
    const auto format = std::fabs(x) < 1e-4 ? std::chars_format::scientific : std::chars_format::fixed;
    const auto result = std::to_chars(buf, buf + sizeof buf, x, format);
    return std::string(buf, result.ptr);
}

std::array<std::string, 9> PlanRowTexts(const PlanRow& row) {
    return {std::to_string(row.index),
            std::to_string(row.firstFrame),
            std::to_string(row.frames),
            ExactNumberText(row.startSeconds),
            ExactNumberText(row.durationSeconds),
            ExactNumberText(row.frequencyHz),
            ExactNumberText(row.levelDbfs),
            ExactNumberText(row.peakAmplitude),
            ExactNumberText(row.cycles)};
}

std::string PlanCsv(const GeneratorState& s) {
    std::string out;
    for (std::size_t c = 0; c < kPlanColumns.size(); ++c) {
        if (c > 0) out += ',';
        out += kPlanColumns[c];
    }
    if (s.signal.channels.each) {
        out += ',';
        out += kChannelColumn;
    }
    out += '\n';
    for (const PlanRow& row : PlanRows(s)) {
        AppendNumbers(out, row, ",", false, s.signal.channels.each);
        out += '\n';
    }
    return out;
}

std::string PlanJson(const GeneratorState& s) {
    std::string out = "{\n";
    out += "  \"file\": " + JsonString(s.sFileName) + ",\n";
    out += "  \"format\": {\"rate\": " + std::to_string(s.iSampleRate) +
           ", \"bits\": " + std::to_string(s.iBits) +
           ", \"channels\": " + std::to_string(s.iChannels) + "},\n";
    out += "  \"total_frames\": " + std::to_string(s.iTotalSamples) + ",\n";
    out += "  \"data_bytes\": " + std::to_string(s.iTotalBytes) + ",\n";
    out += "  \"tones\": [";
    const std::vector<PlanRow> rows = PlanRows(s);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out += i == 0 ? "\n    {" : ",\n    {";
        AppendNumbers(out, rows[i], ", ", true, s.signal.channels.each);
        out += '}';
    }
    out += rows.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

PlanFormat PlanFormatFor(std::string_view fileName) {
    if (EndsWithNoCase(fileName, ".csv")) return PlanFormat::Csv;
    if (EndsWithNoCase(fileName, ".json")) return PlanFormat::Json;
    return PlanFormat::None;
}

std::string PlanText(const GeneratorState& s, PlanFormat format) {
    switch (format) {
        case PlanFormat::Csv: return PlanCsv(s);
        case PlanFormat::Json: return PlanJson(s);
        case PlanFormat::None: break;
    }
    return {};
}

}  // namespace sweepwav
