#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/catalogue.h"
#include "support/recording_fake.h"
#include "wav/binary_writer.h"
#include "wav/wav_format.h"
#include "wav/wav_header.h"

namespace sweepwav {
namespace {

GeneratorState Header(std::int32_t rate, std::int16_t bits, std::int16_t channels, std::int32_t bytes,
                      std::size_t markerBytes = 0) {
    GeneratorState s;
    s.iSampleRate = rate;
    s.iBits = bits;
    s.sampleFormat = WordLengthFormat(bits);
    s.iChannels = channels;
    s.iBytesPerSample = bits == 16 ? 2 : 3;
    s.iTotalBytes = bytes;
    s.bHeader.assign(60, 0xEE);  // what an earlier run left
    Generate_WAV_Header(s, FileSizeOf(s, markerBytes));
    return s;
}

std::uint32_t Le(const GeneratorState& s, int at, int size) {
    std::uint32_t v = 0;
    for (int j = size - 1; j >= 0; --j) v = (v << 8) | s.bHeader[at + j];
    return v;
}

TEST(WavHeader, CdQualityStereoExample) {
    const auto s = Header(44100, 16, 2, 176400);
    const std::uint8_t expected[44] = {
        0x52, 0x49, 0x46, 0x46, 0x34, 0xB1, 0x02, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6D, 0x74,
        0x20, 0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x10, 0xB1,
        0x02, 0x00, 0x04, 0x00, 0x10, 0x00, 0x64, 0x61, 0x74, 0x61, 0x10, 0xB1, 0x02, 0x00};
    ASSERT_EQ(s.bHeader.size(), 44u);
    EXPECT_TRUE(std::equal(expected, expected + 44, s.bHeader.begin()));
    EXPECT_EQ(s.iByteRate, 176400);
}

TEST(WavHeader, FormatFields) {
    struct Case {
        std::int32_t rate;
        std::int16_t bits, channels;
        std::int32_t bytes;
        std::uint32_t byteRate, blockAlign, bitsPerSample;
    } const cases[] = {
        {48000, 20, 1, 3000, 144000, 3, 24},
        {192000, 24, 8, 4608000, 4608000, 24, 24},
        {44100, 16, 1, 0, 88200, 2, 16},
        {44100, 24, 1, 26463, 132300, 3, 24},  // odd: the pad byte is not counted
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rate << "/" << c.bits << "/" << c.channels);
        const auto s = Header(c.rate, c.bits, c.channels, c.bytes);
        EXPECT_EQ(Le(s, 4, 4), static_cast<std::uint32_t>(c.bytes) + 36);
        EXPECT_EQ(Le(s, 22, 2), static_cast<std::uint32_t>(c.channels));
        EXPECT_EQ(Le(s, 24, 4), static_cast<std::uint32_t>(c.rate));
        EXPECT_EQ(Le(s, 28, 4), c.byteRate);
        EXPECT_EQ(Le(s, 32, 2), c.blockAlign);
        EXPECT_EQ(Le(s, 34, 2), c.bitsPerSample);
        EXPECT_EQ(Le(s, 40, 4), static_cast<std::uint32_t>(c.bytes));
    }
}

TEST(WavHeader, SizedByTheChunksItWrites) {
    // Integer PCM, and the chunks other formats ask for: the fmt chunk's
    // extension size, a fact chunk with the frames per channel.
    struct Case {
        bool fmtExtension, factChunk;
        std::vector<std::string> chunks;  // id and size field, in order
        std::uint32_t bytes;
    } const cases[] = {
        {false, false, {"fmt =16", "data=8820"}, 44},
        {true, false, {"fmt =18", "data=8820"}, 46},
        {true, true, {"fmt =18", "fact=4", "data=8820"}, 58},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        GeneratorState s = Header(44100, 16, 1, 8820);
        s.sampleFormat.fmtExtension = c.fmtExtension;
        s.sampleFormat.factChunk = c.factChunk;
        s.iTotalSamples = 4410;
        const WavFileSize size = FileSizeOf(s, 0);
        Generate_WAV_Header(s, size);
        ASSERT_EQ(s.bHeader.size(), c.bytes);
        EXPECT_EQ(size.file_bytes(), c.bytes + 8820u);
        EXPECT_EQ(Le(s, 4, 4), c.bytes - 8 + 8820);
        std::vector<std::string> chunks;
        for (int at = 12; at < static_cast<int>(c.bytes); at += 8 + static_cast<int>(Le(s, at + 4, 4))) {
            chunks.push_back(std::string(s.bHeader.begin() + at, s.bHeader.begin() + at + 4) + "=" +
                             std::to_string(Le(s, at + 4, 4)));
            if (chunks.back() == "fact=4") {
                EXPECT_EQ(Le(s, at + 8, 4), 4410u);
            }
            if (chunks.back() == "fmt =18") {
                EXPECT_EQ(Le(s, at + 24, 2), 0u);  // no extension
            }
        }
        EXPECT_EQ(chunks, c.chunks);
    }
}

TEST(WavHeader, RiffSizeOfMarkedFilesInEveryByte) {
    // Sizes that reach every byte of the field, the top one included.
    struct Case {
        std::int32_t bytes;
        std::size_t markers;
        std::uint32_t riff;
    } const cases[] = {
        {50331651, 1000, 50331651 + 1 + 1000 + 36},  // 48 MiB and more, odd
        {2000000000, 4098, 2000004134},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bytes << " + " << c.markers);
        const auto s = Header(48000, 24, 1, c.bytes, c.markers);
        EXPECT_EQ(Le(s, 4, 4), c.riff);
        EXPECT_EQ(Le(s, 40, 4), static_cast<std::uint32_t>(c.bytes));
        EXPECT_EQ(FileSizeOf(s, c.markers).file_bytes(),
                  44u + static_cast<std::uint64_t>(c.bytes) + c.bytes % 2 + c.markers);
    }
}

TEST(BinaryWriter, PadsOddBlocksAndKeepsPiecesInOrder) {
    for (const auto& [bodyBytes, fileBytes] : {std::pair{26463u, 26508u}, {4u, 48u}, {1u, 46u}, {0u, 44u}}) {
        SCOPED_TRACE(bodyBytes);
        std::vector<std::uint8_t> head(44, 0xA5), body(bodyBytes);
        for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<std::uint8_t>(i * 7 + 1);
        testing::RecordingServices sv;
        auto writer = BinaryWriter::Open(sv, "/x/out.wav");
        ASSERT_TRUE(writer.ok());
        Status written = writer.value().append(head);
        if (written) written = writer.value().append(body);
        if (written) written = writer.value().pad_to_even();
        if (written) written = writer.value().commit();
        EXPECT_TRUE(written.ok());
        const auto& file = sv.files.at("/x/out.wav");
        ASSERT_EQ(file.size(), fileBytes);
        EXPECT_TRUE(std::equal(head.begin(), head.end(), file.begin()));
        EXPECT_TRUE(std::equal(body.begin(), body.end(), file.begin() + 44));
        if (fileBytes > 44 + bodyBytes) {
            EXPECT_EQ(file.back(), 0);
        }
        // Header and audio are passed on as they come, never copied together.
        ASSERT_GE(sv.pieceSizes.size(), 2u);
        EXPECT_EQ(sv.pieceSizes[0], 44u);
        EXPECT_EQ(sv.pieceSizes[1], bodyBytes);
    }
}

}  // namespace
}  // namespace sweepwav
