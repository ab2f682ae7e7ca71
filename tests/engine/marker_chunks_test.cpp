// The tone markers after the data chunk, read back chunk by chunk.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/planned_sweep.h"
#include "wav/marker_chunks.h"
#include "wav/wav_format.h"

namespace sweepwav {
namespace {

using testing::PlannedSweep;
using testing::SweepSettings;
using Bytes = std::vector<std::uint8_t>;

struct Chunk {
    std::string id;
    Bytes data;  // its size field's worth of bytes, without the pad

    std::uint32_t u(std::size_t at, int size = 4) const {
        std::uint32_t v = 0;
        for (int j = size - 1; j >= 0; --j) v = (v << 8) | data.at(at + static_cast<std::size_t>(j));
        return v;
    }
    std::string id4(std::size_t at) const { return std::string(data.begin() + at, data.begin() + at + 4); }
};

// Splits bytes[from, end) into chunks. A chunk of odd size must be followed
// by a 0x00 pad byte, and the chunks must fill the range exactly.
std::vector<Chunk> ReadChunks(const Bytes& bytes, std::size_t from) {
    std::vector<Chunk> chunks;
    std::size_t at = from;
    while (at + 8 <= bytes.size()) {
        Chunk c{std::string(bytes.begin() + at, bytes.begin() + at + 4), Bytes(bytes.begin() + at + 4, bytes.begin() + at + 8)};
        const std::uint32_t size = c.u(0);
        at += 8;
        if (size > bytes.size() - at) break;
        c.data.assign(bytes.begin() + at, bytes.begin() + at + size);
        at += size;
        if (size % 2 != 0) {
            EXPECT_EQ(at < bytes.size() ? bytes[at] : 1, 0) << c.id << " needs a 0x00 pad byte";
            ++at;
        }
        chunks.push_back(std::move(c));
    }
    EXPECT_EQ(at, bytes.size()) << "the chunks fill the bytes exactly";
    return chunks;
}

TEST(ToneMarkers, CuePointsLabelsAndRegionsPerTone) {
    // Tones of one length, of their own lengths, and of no length while
    // others have frames; labels of odd and even lengths.
    const SweepSettings sweeps[] = {
        {.steps = 2, .startFreq = 1000, .endFreq = 3000, .toneMs = 200},
        {.rate = 44100, .channels = 1, .steps = 12, .log = true, .startFreq = 20, .endFreq = 20000,
         .startLevel = 0, .endLevel = -60, .mode = 1},
        {.rate = 32000, .steps = 7, .startFreq = 100, .endFreq = 1000, .toneMs = 0, .cycles = 10, .mode = 2},
    };
    for (const SweepSettings& p : sweeps) {
        SCOPED_TRACE(::testing::Message() << p.steps << " steps, mode " << p.mode);
        const GeneratorState s = PlannedSweep(p);
        ASSERT_EQ(s.iCalcResult, 1);
        const auto tones = static_cast<std::uint32_t>(s.iSteps) + 1;
        const std::vector<Chunk> top = ReadChunks(ToneMarkerChunks(s), 0);
        ASSERT_EQ(top.size(), 2u);
        ASSERT_EQ(top[0].id, "cue ");
        ASSERT_EQ(top[1].id, "LIST");

        const Chunk& cue = top[0];
        ASSERT_EQ(cue.data.size(), 4 + 24 * tones);
        EXPECT_EQ(cue.u(0), tones);
        const std::vector<Chunk> notes = ReadChunks(top[1].data, 4);
        EXPECT_EQ(top[1].id4(0), "adtl");
        ASSERT_EQ(notes.size(), 2 * tones);
        std::uint32_t first = 0;
        for (std::uint32_t i = 0; i < tones; ++i) {
            SCOPED_TRACE(::testing::Message() << "tone " << i);
            const std::size_t at = 4 + 24 * i;
            const auto frames = static_cast<std::uint32_t>(s.dSamples[i]);
            EXPECT_EQ(std::make_tuple(cue.u(at), cue.u(at + 4), cue.id4(at + 8), cue.u(at + 12), cue.u(at + 16), cue.u(at + 20)),
                      std::make_tuple(i + 1, first, std::string("data"), 0u, 0u, first));

            const Chunk& labl = notes[i];  // every label first, then every region
            ASSERT_EQ(labl.id, "labl");
            const std::string label = ToneLabel(s, static_cast<int>(i));
            EXPECT_EQ(labl.u(0), i + 1);
            EXPECT_EQ(std::string(labl.data.begin() + 4, labl.data.end()), label + '\0');
            EXPECT_EQ(label.rfind("Tone " + std::to_string(i) + ": ", 0), 0u) << label;

            const Chunk& ltxt = notes[tones + i];
            ASSERT_EQ(ltxt.id, "ltxt");
            ASSERT_EQ(ltxt.data.size(), 20u);
            EXPECT_EQ(std::make_tuple(ltxt.u(0), ltxt.u(4), ltxt.id4(8), ltxt.u(12), ltxt.u(16)),
                      std::make_tuple(i + 1, frames, std::string("rgn "), 0u, 0u));
            first += frames;
        }
        EXPECT_EQ(first, static_cast<std::uint32_t>(s.iTotalSamples));
    }
    GeneratorState unplanned;
    unplanned.iSteps = 2;
    EXPECT_TRUE(ToneMarkerChunks(unplanned).empty());
    // A plan without frames has nothing to mark.
    GeneratorState silent = PlannedSweep({.steps = 3, .toneMs = 0});
    ASSERT_EQ(silent.iTotalSamples, 0);
    silent.markers = true;
    EXPECT_TRUE(ToneMarkerChunks(silent).empty());
    EXPECT_EQ(PlannedFileSize(silent).file_bytes(), 44u);
}

TEST(ToneMarkers, LabelsRoundToThreeDecimals) {
    GeneratorState s = PlannedSweep({.steps = 6});
    const std::tuple<double, double, const char*> tones[] = {
        {1000, -20, "Tone 0: 1000 Hz, -20 dBFS"},  // 25 characters and NUL: no pad
        {997.00049, -20.0004, "Tone 1: 997 Hz, -20 dBFS"},  // odd size: padded
        {1234.5678, -3.25, "Tone 2: 1234.568 Hz, -3.25 dBFS"},
        {19.9996, -0.0004, "Tone 3: 20 Hz, 0 dBFS"},
        {48000.0 * 417 / 4410, -200, "Tone 4: 4538.776 Hz, -200 dBFS"},
        {10.0625, -6.0625, "Tone 5: 10.062 Hz, -6.062 dBFS"},  // exact halves: to even
    };
    for (std::size_t i = 0; i < 6; ++i) std::tie(s.dFreq[i], s.dLevel[i], std::ignore) = tones[i];
    const Bytes bytes = ToneMarkerChunks(s);
    const std::vector<Chunk> notes = ReadChunks(ReadChunks(bytes, 0).at(1).data, 4);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(ToneLabel(s, static_cast<int>(i)), std::get<2>(tones[i]));
        EXPECT_EQ(std::string(notes.at(i).data.begin() + 4, notes.at(i).data.end() - 1), std::get<2>(tones[i]));
    }
}

TEST(ToneMarkers, RiffSizeCountsTheDataPadAndTheMarkers) {
    const std::tuple<std::int32_t, std::size_t, std::uint32_t> sizes[] = {
        {176400, 0, 176436}, {176400, 120, 176556},
        {26463, 120, 26620},  // odd data: its pad byte comes before the markers
        {2147483603, 24100, 2147507740u},  // the largest plan passes 2^31 with markers
    };
    for (const auto& [data, markers, riff] : sizes) {
        GeneratorState s;
        s.iTotalBytes = data;
        EXPECT_EQ(FileSizeOf(s, markers).riff_size(), riff);
    }
}

}  // namespace
}  // namespace sweepwav
