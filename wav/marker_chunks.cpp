#include "wav/marker_chunks.h"

#include <cstddef>

#include "numbers/number_text.h"
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

std::vector<std::uint8_t> ToneMarkerChunks(const GeneratorState& s) {
    const int tones = s.iSteps + 1;
    const auto planned = static_cast<std::size_t>(tones);
    if (s.iSteps < 0 || s.dFreq.size() != planned || s.dLevel.size() != planned ||
        s.dSamples.size() != planned) {
        return {};
    }
    // Without audio there is nothing to mark, and a data chunk of size 0
    // followed by further chunks is read by some programs as "data to the end".
    double frames = 0;
    for (double n : s.dSamples) frames += n;
    if (frames == 0) return {};
    std::vector<std::string> labels;
    std::uint32_t listSize = 4;  // "adtl"
    for (int i = 0; i < tones; ++i) {
        labels.push_back(ToneLabel(s, i));
        const auto lablSize = static_cast<std::uint32_t>(4 + labels.back().size() + 1);
        listSize += 8 + Padded(lablSize) + 8 + kLtxtBytes;
    }
    const std::uint32_t cueSize = 4 + kCuePointBytes * static_cast<std::uint32_t>(tones);

    std::vector<std::uint8_t> out;
    out.reserve(8 + cueSize + 8 + listSize);
    ChunkWriter w(out);

    w.head("cue ", cueSize);
    w.u32(static_cast<std::uint32_t>(tones));
    std::uint32_t first = 0;
    for (int i = 0; i < tones; ++i) {
        w.u32(static_cast<std::uint32_t>(i + 1));  // cue id
        w.u32(first);                              // position
        w.id("data");                              // chunk holding the cue
        w.u32(0);                                  // chunk start
        w.u32(0);                                  // block start
        w.u32(first);                              // sample offset
        first += static_cast<std::uint32_t>(s.dSamples[static_cast<std::size_t>(i)]);
    }
    w.pad(cueSize);

    // Every label before the first region: some readers stop looking for
    // labels at the first "ltxt".
    w.head("LIST", listSize);
    w.id("adtl");
    for (int i = 0; i < tones; ++i) {
        const std::string& label = labels[static_cast<std::size_t>(i)];
        const auto lablSize = static_cast<std::uint32_t>(4 + label.size() + 1);
        w.head("labl", lablSize);
        w.u32(static_cast<std::uint32_t>(i + 1));
        w.text(label);
        w.byte(0);
        w.pad(lablSize);
    }
    for (int i = 0; i < tones; ++i) {
        w.head("ltxt", kLtxtBytes);
        w.u32(static_cast<std::uint32_t>(i + 1));
        w.u32(static_cast<std::uint32_t>(s.dSamples[static_cast<std::size_t>(i)]));
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
