// The tone markers after the data chunk, read back chunk by chunk.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/planned_sweep.h"
#include "wav/marker_chunks.h"

namespace sweepwav {
namespace {

using testing::PlannedSweep;
using testing::SweepSettings;

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Le(const Bytes& b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int j = size - 1; j >= 0; --j) v = (v << 8) | b.at(at + static_cast<std::size_t>(j));
    return v;
}

struct Chunk {
    std::string id;
    std::uint32_t size = 0;
    Bytes data;  // size bytes, without the pad

    std::uint32_t u32(std::size_t at) const { return Le(data, at, 4); }
    std::uint32_t u16(std::size_t at) const { return Le(data, at, 2); }
    std::string id4(std::size_t at) const { return std::string(data.begin() + at, data.begin() + at + 4); }
};

// Splits bytes[from, to) into chunks. Each chunk of odd size must be
// followed by a 0x00 pad byte, and the chunks must fill the range exactly.
std::vector<Chunk> ReadChunks(const Bytes& bytes, std::size_t from, std::size_t to) {
    std::vector<Chunk> chunks;
    std::size_t at = from;
    while (at < to) {
        if (to - at < 8) {
            ADD_FAILURE() << "a chunk head runs past the end at " << at;
            break;
        }
        Chunk c;
        c.id.assign(bytes.begin() + at, bytes.begin() + at + 4);
        c.size = Le(bytes, at + 4, 4);
        at += 8;
        if (c.size > to - at) {
            ADD_FAILURE() << c.id << " of " << c.size << " bytes runs past the end";
            break;
        }
        c.data.assign(bytes.begin() + at, bytes.begin() + at + c.size);
        at += c.size;
        if (c.size % 2 != 0) {
            EXPECT_LT(at, to) << c.id << " has no pad byte";
            if (at < to) {
                EXPECT_EQ(bytes[at], 0) << c.id << " pad byte";
            }
            ++at;
        }
        chunks.push_back(std::move(c));
    }
    EXPECT_EQ(at, to) << "the chunks fill the bytes exactly";
    return chunks;
}

// Labels of odd and even lengths (one- and two-digit tone numbers, three
// decimals), tones of equal and of their own lengths, and tones without
// frames.
const SweepSettings kSweeps[] = {
    {.steps = 2, .startFreq = 1000, .endFreq = 3000, .toneMs = 200},
    {.rate = 44100, .bits = 24, .channels = 1, .steps = 12, .log = true, .startFreq = 20,
     .endFreq = 20000, .startLevel = 0, .endLevel = -60, .mode = 1},
    {.rate = 32000, .steps = 7, .startFreq = 100, .endFreq = 1000, .toneMs = 0, .cycles = 10, .mode = 2},
    {.startFreq = 997, .toneMs = 1000},
    {.steps = 3, .toneMs = 0},
};

TEST(ToneMarkers, CuePointsLabelsAndRegionsPerTone) {
    for (const SweepSettings& p : kSweeps) {
        SCOPED_TRACE(::testing::Message() << p.steps << " steps, mode " << p.mode);
        const GeneratorState s = PlannedSweep(p);
        ASSERT_EQ(s.iCalcResult, 1);
        const auto tones = static_cast<std::uint32_t>(s.iSteps) + 1;
        const Bytes bytes = ToneMarkerChunks(s);
        EXPECT_EQ(bytes.size() % 2, 0u);

        const std::vector<Chunk> top = ReadChunks(bytes, 0, bytes.size());
        ASSERT_EQ(top.size(), 2u);
        ASSERT_EQ(top[0].id, "cue ");
        ASSERT_EQ(top[1].id, "LIST");

        // The first frame of every tone, from the plan.
        std::vector<std::uint32_t> first;
        std::uint32_t frame = 0;
        for (double n : s.dSamples) first.push_back(frame), frame += static_cast<std::uint32_t>(n);
        EXPECT_EQ(frame, static_cast<std::uint32_t>(s.iTotalSamples));

        const Chunk& cue = top[0];
        ASSERT_EQ(cue.size, 4 + 24 * tones);
        ASSERT_EQ(cue.u32(0), tones);
        for (std::uint32_t i = 0; i < tones; ++i) {
            SCOPED_TRACE(::testing::Message() << "cue point " << i);
            const std::size_t at = 4 + 24 * i;
            EXPECT_EQ(cue.u32(at), i + 1);
            EXPECT_EQ(cue.u32(at + 4), first[i]);
            EXPECT_EQ(cue.id4(at + 8), "data");
            EXPECT_EQ(cue.u32(at + 12), 0u);
            EXPECT_EQ(cue.u32(at + 16), 0u);
            EXPECT_EQ(cue.u32(at + 20), first[i]);
        }

        const Chunk& list = top[1];
        ASSERT_GE(list.size, 4u);
        EXPECT_EQ(list.id4(0), "adtl");
        const std::vector<Chunk> notes = ReadChunks(list.data, 4, list.data.size());
        ASSERT_EQ(notes.size(), 2 * tones);
        for (std::uint32_t i = 0; i < tones; ++i) {
            SCOPED_TRACE(::testing::Message() << "tone " << i);
            const Chunk& labl = notes[2 * i];
            const Chunk& ltxt = notes[2 * i + 1];
            ASSERT_EQ(labl.id, "labl");
            ASSERT_GE(labl.size, 5u);
            EXPECT_EQ(labl.u32(0), i + 1);
            EXPECT_EQ(labl.data.back(), 0) << "the text ends in NUL";
            const std::string text(labl.data.begin() + 4, labl.data.end() - 1);
            EXPECT_EQ(text.find('\0'), std::string::npos);
            EXPECT_EQ(text, ToneLabel(s, static_cast<int>(i)));
            EXPECT_EQ(text.rfind("Tone " + std::to_string(i) + ": ", 0), 0u) << text;

            ASSERT_EQ(ltxt.id, "ltxt");
            ASSERT_EQ(ltxt.size, 20u);
            EXPECT_EQ(ltxt.u32(0), i + 1);
            EXPECT_EQ(ltxt.u32(4), static_cast<std::uint32_t>(s.dSamples[i]));
            EXPECT_EQ(ltxt.id4(8), "rgn ");
            for (std::size_t at : {12u, 14u, 16u, 18u}) EXPECT_EQ(ltxt.u16(at), 0u);
        }
    }
}

TEST(ToneMarkers, LabelsRoundToThreeDecimals) {
    GeneratorState s = PlannedSweep({.steps = 11});
    const std::pair<std::pair<double, double>, const char*> tones[] = {
        {{1000, -20}, "Tone 0: 1000 Hz, -20 dBFS"},          // 25 characters + NUL: even
        {{997.00049, -20.0004}, "Tone 1: 997 Hz, -20 dBFS"},  // 24 + NUL: odd, padded
        {{1234.5678, -3.25}, "Tone 2: 1234.568 Hz, -3.25 dBFS"},
        {{19.9996, -0.0004}, "Tone 3: 20 Hz, 0 dBFS"},
        {{48000.0 * 417 / 4410, -200}, "Tone 4: 4538.776 Hz, -200 dBFS"},
        {{10.0625, -6.0625}, "Tone 5: 10.062 Hz, -6.062 dBFS"},  // exact halves: to even
        {{20000, 0}, "Tone 6: 20000 Hz, 0 dBFS"},
    };
    for (std::size_t i = 0; i < std::size(tones); ++i) {
        s.dFreq[i] = tones[i].first.first;
        s.dLevel[i] = tones[i].first.second;
    }
    for (std::size_t i = 0; i < std::size(tones); ++i) {
        EXPECT_EQ(ToneLabel(s, static_cast<int>(i)), tones[i].second);
    }
    // Both label lengths, padded or not, read back in order.
    const Bytes bytes = ToneMarkerChunks(s);
    const std::vector<Chunk> top = ReadChunks(bytes, 0, bytes.size());
    ASSERT_EQ(top.size(), 2u);
    const std::vector<Chunk> notes = ReadChunks(top[1].data, 4, top[1].data.size());
    ASSERT_EQ(notes.size(), 24u);
    for (std::size_t i = 0; i < std::size(tones); ++i) {
        const std::string text(tones[i].second);
        EXPECT_EQ(notes[2 * i].size, 4 + text.size() + 1);
        EXPECT_EQ(std::string(notes[2 * i].data.begin() + 4, notes[2 * i].data.end() - 1), text);
    }
}

TEST(ToneMarkers, RiffSizeCountsTheDataPadAndTheMarkers) {
    const std::tuple<std::int32_t, std::size_t, std::uint32_t> sizes[] = {
        {176400, 0, 176436},
        {176400, 120, 176556},
        {26463, 120, 26620},  // odd data: its pad byte comes before the markers
        {0, 62, 98},
        {2147483603, 24100, 2147507740u},  // the largest plan, past 2^31 with markers
    };
    for (const auto& [data, markers, riff] : sizes) {
        EXPECT_EQ(RiffSizeWithMarkers(data, markers), riff) << data << " + " << markers;
    }
}

TEST(ToneMarkers, NoChunksWithoutAPlan) {
    GeneratorState s;
    s.iSteps = 2;
    EXPECT_TRUE(ToneMarkerChunks(s).empty());
}

}  // namespace
}  // namespace sweepwav
