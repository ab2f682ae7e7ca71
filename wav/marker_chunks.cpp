#include "wav/marker_chunks.h"

#include <cstddef>

#include "numbers/number_text.h"
#include "plan/signal_layout.h"
#include "wav/wav_format.h"

namespace sweepwav {

namespace {

constexpr std::uint32_t kCuePointBytes = 24;
constexpr std::uint32_t kLtxtBytes = 20;  // cue id, length, purpose, four 16-bit codes

}  // namespace

std::string ToneLabel(const GeneratorState& s, int index) {
    const auto i = static_cast<std::size_t>(index);
    return "Tone " + std::to_string(index) + ": " + NumberText(RoundDecimals(s.dFreq[i], 3)) +
           " Hz, " + NumberText(RoundDecimals(s.dLevel[i], 3)) + " dBFS";
}

namespace {

// One mark per tone as it is played (once per channel, one channel at a
// time), where it stands in the audio, silence included.
struct Mark {
    std::uint32_t position, length;
    std::string label;
};

std::vector<Mark> Marks(const GeneratorState& s) {
    const auto planned = static_cast<std::size_t>(s.iSteps) + 1;
    if (s.iSteps < 0 || s.dFreq.size() != planned || s.dLevel.size() != planned ||
        s.dSamples.size() != planned) {
        return {};
    }
    // Without audio there is nothing to mark, and a data chunk of size 0
    // followed by further chunks is read by some programs as "data to the end".
    double frames = 0;
    for (double n : s.dSamples) frames += n;
    if (frames == 0) return {};

    std::vector<Mark> marks;
    for (const Segment& segment : SignalSegments(s)) {
        if (segment.tone < 0) continue;
        std::string label = ToneLabel(s, segment.tone);
        if (s.signal.channels.each) label += " (channel " + std::to_string(segment.pass + 1) + ")";
        marks.push_back({static_cast<std::uint32_t>(segment.first), static_cast<std::uint32_t>(segment.frames),
                         std::move(label)});
    }
    return marks;
}

std::uint32_t LablSize(const Mark& m) { return static_cast<std::uint32_t>(4 + m.label.size() + 1); }

// The size fields of the "cue " and "LIST" chunks; both are even.
struct ChunkSizes {
    std::uint32_t cue = 0, list = 0;
};

ChunkSizes SizesOf(const std::vector<Mark>& marks) {
    ChunkSizes sizes{4 + kCuePointBytes * static_cast<std::uint32_t>(marks.size()), 4};  // count; "adtl"
    for (const Mark& m : marks) sizes.list += 8 + Padded(LablSize(m)) + 8 + kLtxtBytes;
    return sizes;
}

}  // namespace

std::size_t ToneMarkerBytes(const GeneratorState& s) {
    const std::vector<Mark> marks = Marks(s);
    if (marks.empty()) return 0;
    const ChunkSizes sizes = SizesOf(marks);
    return 8 + std::size_t(sizes.cue) + 8 + sizes.list;
}

std::vector<std::uint8_t> ToneMarkerChunks(const GeneratorState& s) {
    const std::vector<Mark> marks = Marks(s);
    if (marks.empty()) return {};
    const auto count = static_cast<std::uint32_t>(marks.size());
    const auto [cueSize, listSize] = SizesOf(marks);

    std::vector<std::uint8_t> out;
    out.reserve(8 + cueSize + 8 + listSize);
    ChunkWriter w(out);

    w.head("cue ", cueSize);
    w.u32(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        w.u32(i + 1);               // cue id
        w.u32(marks[i].position);   // position
        w.id("data");               // chunk holding the cue
        w.u32(0);                   // chunk start
        w.u32(0);                   // block start
        w.u32(marks[i].position);   // sample offset
    }
    w.pad(cueSize);

    // Every label before the first region: some readers stop looking for
    // labels at the first "ltxt".
    w.head("LIST", listSize);
    w.id("adtl");
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t lablSize = LablSize(marks[i]);
        w.head("labl", lablSize);
        w.u32(i + 1);
        w.text(marks[i].label);
        w.byte(0);
        w.pad(lablSize);
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        w.head("ltxt", kLtxtBytes);
        w.u32(i + 1);
        w.u32(marks[i].length);
        w.id("rgn ");
        w.u16(0);  // country
        w.u16(0);  // language
        w.u16(0);  // dialect
        w.u16(0);  // code page
    }
    w.pad(listSize);
    return out;
}

}  // namespace sweepwav
