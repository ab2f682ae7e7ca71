#include "wav/wav_header.h"

#include <cstdint>
#include <cstring>

namespace sweepwav {

namespace {

// Sizes of the canonical PCM header: a RIFF chunk of form "WAVE" holding a
// 16-byte "fmt " chunk and the "data" chunk.
constexpr std::uint32_t kFmtChunkSize = 16;   // PCM needs no extension
constexpr std::uint32_t kHeaderAfterRiffSize = 36;  // "WAVE", fmt chunk, data chunk head
constexpr std::uint16_t kFormatPcm = 1;       // WAVE_FORMAT_PCM

// Writes the header field by field, little-endian.
class HeaderWriter {
public:
    explicit HeaderWriter(std::uint8_t* out) : out_(out) {}
    void id(const char (&fourChars)[5]) { put(fourChars, 4); }
    void u16(std::uint32_t v) { le(v, 2); }
    void u32(std::uint32_t v) { le(v, 4); }

private:
    void put(const char* bytes, int n) {
        std::memcpy(out_, bytes, static_cast<std::size_t>(n));
        out_ += n;
    }
    void le(std::uint32_t v, int n) {
        for (int j = 0; j < n; ++j) *out_++ = static_cast<std::uint8_t>(v >> (8 * j));
    }
    std::uint8_t* out_;
};

}  // namespace

void Generate_WAV_Header(GeneratorState& s) {
    s.iByteRate = s.iSampleRate * s.iBytesPerSample * s.iChannels;
    const auto dataBytes = static_cast<std::uint32_t>(s.iTotalBytes);
    // 18- to 22-bit words stand left-justified in 24-bit containers, so the
    // header names the container width.
    const std::uint32_t containerBits = s.iBits == 16 ? 16 : 24;

    HeaderWriter h(s.bHeader.data());
    h.id("RIFF");
    h.u32(dataBytes + kHeaderAfterRiffSize);  // 4: RIFF chunk size
    h.id("WAVE");                             // 8: form type
    h.id("fmt ");                             // 12
    h.u32(kFmtChunkSize);                     // 16: fmt chunk size
    h.u16(kFormatPcm);                        // 20: format tag
    h.u16(static_cast<std::uint32_t>(s.iChannels));                        // 22: channels
    h.u32(static_cast<std::uint32_t>(s.iSampleRate));                      // 24: sample rate
    h.u32(static_cast<std::uint32_t>(s.iByteRate));                        // 28: byte rate
    h.u16(static_cast<std::uint32_t>(s.iBytesPerSample * s.iChannels));    // 32: block alignment
    h.u16(containerBits);                     // 34: bits per sample
    h.id("data");                             // 36
    h.u32(dataBytes);                         // 40: data chunk size
}

}  // namespace sweepwav
