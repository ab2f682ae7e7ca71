// How the samples of a word length are coded, stored and declared: the one
// record that the plan (full scale), synthesis (the store of a sample into
// its container) and the WAV header ask, rather than each deriving it from
// the bit count. Every item of the word-length list carries one.
#pragma once

#include <cstdint>

namespace sweepwav {

enum class SampleCoding : std::uint8_t {
    Integer,  // two's complement, left-justified in its container
    Float,    // IEEE 754 binary floating point, full scale 1
};

struct SampleFormat {
    SampleCoding coding = SampleCoding::Integer;
    std::uint16_t formatTag = 0;      // the "fmt " chunk's: 1 integer PCM, 3 IEEE float
    std::int16_t containerBytes = 0;  // bytes that hold one sample of one channel
    std::int16_t validBits = 0;       // the container's bits that carry the signal, its high ones
    double fullScale = 0;             // the peak of a tone at 0 dBFS, in steps of the word
    double fullLevelMargin = 0;       // steps that a tone at exactly 0 dBFS stays below full scale
    bool dither = false;              // whether TPDF dither of one step applies
    // The chunks the header needs besides the plain PCM ones: the "fmt "
    // chunk's extension size field (18 bytes rather than 16), as formats
    // other than integer PCM have it; a "fact" chunk with the frames per
    // channel.
    bool fmtExtension = false;
    bool factChunk = false;
};

// The largest container: the store keeps a sample's code in 32 bits.
inline constexpr int kMaxContainerBytes = 4;

// Integer PCM of a word length of `bits`: in the fewest whole bytes that
// hold it, full scale 2^(bits - 1), a tone at 0 dBFS two codes below it so
// that dither and rounding stay within the largest code, with dither, and
// the canonical 16-byte "fmt " chunk alone.
constexpr SampleFormat IntegerPcm(int bits) {
    SampleFormat f;
    f.coding = SampleCoding::Integer;
    f.formatTag = 1;
    f.containerBytes = static_cast<std::int16_t>((bits + 7) / 8);
    f.validBits = static_cast<std::int16_t>(bits);
    f.fullScale = static_cast<double>(std::int64_t{1} << (bits - 1));
    f.fullLevelMargin = 2;
    f.dither = true;
    return f;
}

}  // namespace sweepwav
