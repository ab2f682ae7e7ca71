// The 44-byte RIFF/WAVE header and the binary writer's pieces and pad byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tests/support/recording_fake.h"
#include "wav/binary_writer.h"
#include "wav/wav_header.h"

namespace sweepwav {
namespace {

using testing::RecordingServices;

GeneratorState HeaderFor(std::int32_t rate, std::int16_t bits, std::int16_t channels,
                         std::int32_t totalBytes) {
    GeneratorState s;
    s.iSampleRate = rate;
    s.iBits = bits;
    s.iChannels = channels;
    s.iBytesPerSample = bits == 16 ? 2 : 3;
    s.iTotalBytes = totalBytes;
    s.bHeader.fill(0xEE);
    Generate_WAV_Header(s);
    return s;
}

std::uint32_t Le(const GeneratorState& s, int at, int size) {
    std::uint32_t v = 0;
    for (int j = size - 1; j >= 0; --j) v = (v << 8) | s.bHeader[at + j];
    return v;
}

TEST(WavHeader, CdQualityStereoExample) {
    const auto s = HeaderFor(44100, 16, 2, 176400);
    const std::uint8_t expected[44] = {
        0x52, 0x49, 0x46, 0x46, 0x34, 0xB1, 0x02, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6D, 0x74,
        0x20, 0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x10, 0xB1,
        0x02, 0x00, 0x04, 0x00, 0x10, 0x00, 0x64, 0x61, 0x74, 0x61, 0x10, 0xB1, 0x02, 0x00};
    for (int i = 0; i < 44; ++i) { EXPECT_EQ(s.bHeader[i], expected[i]) << "byte " << i; }
    EXPECT_EQ(s.bHeader[44], 0xEE);  // the spare element is never written
    EXPECT_EQ(s.iByteRate, 176400);
}

TEST(WavHeader, FormatFields) {
    struct Case {
        std::int32_t rate;
        std::int16_t bits, channels;
        std::int32_t totalBytes;
        std::uint32_t byteRate, blockAlign, bitsPerSample;
    };
    const Case cases[] = {
        {48000, 20, 1, 3000, 144000, 3, 24},
        {192000, 24, 8, 4608000, 4608000, 24, 24},
        {32000, 18, 3, 9, 288000, 9, 24},
        {96000, 22, 2, 600, 576000, 6, 24},
        {44100, 16, 1, 0, 88200, 2, 16},
        {44100, 24, 1, 26463, 132300, 3, 24},  // odd: the pad byte is not counted
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rate << "/" << c.bits << "/" << c.channels);
        const auto s = HeaderFor(c.rate, c.bits, c.channels, c.totalBytes);
        EXPECT_EQ(Le(s, 4, 4), static_cast<std::uint32_t>(c.totalBytes) + 36);
        EXPECT_EQ(Le(s, 16, 4), 16u);
        EXPECT_EQ(Le(s, 20, 2), 1u);
        EXPECT_EQ(Le(s, 22, 2), static_cast<std::uint32_t>(c.channels));
        EXPECT_EQ(Le(s, 24, 4), static_cast<std::uint32_t>(c.rate));
        EXPECT_EQ(Le(s, 28, 4), c.byteRate);
        EXPECT_EQ(Le(s, 32, 2), c.blockAlign);
        EXPECT_EQ(Le(s, 34, 2), c.bitsPerSample);
        EXPECT_EQ(Le(s, 40, 4), static_cast<std::uint32_t>(c.totalBytes));
        EXPECT_EQ(s.iByteRate, static_cast<std::int32_t>(c.byteRate));
    }
    // The byte rate of the largest format, byte by byte.
    const auto big = HeaderFor(192000, 24, 8, 0);
    EXPECT_EQ(big.bHeader[28], 0x00);
    EXPECT_EQ(big.bHeader[29], 0x50);
    EXPECT_EQ(big.bHeader[30], 0x46);
    EXPECT_EQ(big.bHeader[31], 0x00);
}

// Records the pieces as given, to see what the writer hands over.
class PieceServices : public RecordingServices {
public:
    std::optional<std::string> write_binary_file(
        const std::string& path, const std::vector<std::span<const std::uint8_t>>& p) override {
        pieces = p;
        return RecordingServices::write_binary_file(path, p);
    }
    std::vector<std::span<const std::uint8_t>> pieces;
};

TEST(BinaryWriter, PadsOddBlocksAndKeepsBytesInOrder) {
    struct Case {
        std::size_t bodyBytes;
        std::size_t fileBytes;
    };
    const Case cases[] = {{176400, 176444}, {26463, 26508}, {0, 44}, {1, 46}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bodyBytes << " audio bytes");
        std::vector<std::uint8_t> head(44);
        for (std::size_t i = 0; i < head.size(); ++i) head[i] = static_cast<std::uint8_t>(0xA0 + i);
        // Every byte value, including 00 00 and pairs that read as D800..DFFF.
        std::vector<std::uint8_t> body(c.bodyBytes);
        for (std::size_t i = 0; i < body.size(); ++i) {
            const std::uint8_t pattern[] = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0xD8, 0xFF, 0xDF};
            body[i] = i < 64 ? pattern[i % 8] : static_cast<std::uint8_t>(i * 7 + (i >> 8));
        }
        PieceServices sv;
        EXPECT_FALSE(WriteBinary(sv, "/x/out.wav", head, body).has_value());
        const auto& file = sv.files.at("/x/out.wav");
        ASSERT_EQ(file.size(), c.fileBytes);
        EXPECT_TRUE(std::equal(head.begin(), head.end(), file.begin()));
        EXPECT_TRUE(std::equal(body.begin(), body.end(), file.begin() + 44));
        if (c.fileBytes > 44 + c.bodyBytes) { EXPECT_EQ(file.back(), 0); }
        // Header and audio are handed over in place, not copied together.
        ASSERT_GE(sv.pieces.size(), 2u);
        EXPECT_EQ(sv.pieces[0].data(), head.data());
        EXPECT_EQ(sv.pieces[1].data(), body.data());
    }
}

TEST(BinaryWriter, ReportsTheSystemsReason) {
    RecordingServices sv;
    sv.writeFailure = "Permission denied";
    std::vector<std::uint8_t> head(44), body(10);
    auto failure = WriteBinary(sv, "/x/out.wav", head, body);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, "Permission denied");
    EXPECT_TRUE(sv.files.empty());
}

}  // namespace
}  // namespace sweepwav
