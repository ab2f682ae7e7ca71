// The file this program writes: a RIFF/WAVE file. The header is the "RIFF"
// chunk's head and form type "WAVE", the "fmt " chunk, a "fact" chunk where
// the sample format needs one, and the head of the "data" chunk (44 bytes
// for integer PCM, the canonical header); the audio follows, then a 0x00
// pad byte when its length is odd, then any further chunks (the tone
// markers). Everything the file's layout depends on is here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/generator_state.h"

namespace sweepwav {

// The "fmt " chunk's fields and the header's chunks for the state's sample
// format. 18- to 22-bit words stand left-justified in 24-bit containers, so
// the file names the container width.
struct WavFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;       // sampleRate x blockAlign
    std::uint16_t blockAlign = 0;     // container bytes x channels
    std::uint16_t bitsPerSample = 0;  // the container's bits
    bool fmtExtension = false;        // the fmt chunk ends with an extension size of 0
    bool factChunk = false;           // a fact chunk with the frames per channel follows it
};

WavFormat FormatOf(const GeneratorState& s);

// The sizes of a file for a completed plan. The pad byte after odd audio is
// counted in the RIFF size, and so in the file's stated size, only when
// chunks follow it: a file that ends with its audio states the audio's own
// length, as the canonical header does.
struct WavFileSize {
    std::uint64_t headerBytes = 0;  // before the audio (WavHeaderBytes)
    std::uint64_t dataBytes = 0;    // the audio: iTotalBytes
    std::uint64_t padBytes = 0;     // 1 after odd audio, else 0
    std::uint64_t markerBytes = 0;  // the chunks after the audio, padded

    // The RIFF chunk's size field: everything after its first 8 bytes.
    std::uint64_t riff_size() const;
    // The size the header states: the RIFF size and its first 8 bytes. Show
    // Info reports it; a file must keep it within 2^31 - 1 bytes.
    std::uint64_t stated_bytes() const { return riff_size() + 8; }
    // The bytes on disk: the stated size, and a final pad byte.
    std::uint64_t file_bytes() const { return headerBytes + dataBytes + padBytes + markerBytes; }
};

// The sizes of the file for the state's plan, with markerBytes of chunks
// after the audio.
WavFileSize FileSizeOf(const GeneratorState& s, std::size_t markerBytes);

// The same, counting the tone markers when the state asks for them.
WavFileSize PlannedFileSize(const GeneratorState& s);

// Whether a file of these sizes can be written: its stated size and every
// size field within 2^31 - 1.
bool FitsInWavFile(const WavFileSize& size);

// Appends RIFF fields to a byte block, multi-byte numbers little-endian.
class ChunkWriter {
public:
    explicit ChunkWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void id(std::string_view fourChars) { out_.insert(out_.end(), fourChars.begin(), fourChars.begin() + 4); }
    void u16(std::uint32_t v) { le(v, 2); }
    void u32(std::uint32_t v) { le(v, 4); }
    void text(std::string_view t) { out_.insert(out_.end(), t.begin(), t.end()); }
    void byte(std::uint8_t b) { out_.push_back(b); }
    // A chunk's id and size; its content follows, then pad(size).
    void head(std::string_view fourChars, std::uint32_t size) {
        id(fourChars);
        u32(size);
    }
    // The pad byte after a chunk of odd size, which its size does not count.
    void pad(std::uint32_t size) {
        if (size % 2 != 0) byte(0);
    }

private:
    void le(std::uint32_t v, int n) {
        for (int j = 0; j < n; ++j) out_.push_back(static_cast<std::uint8_t>(v >> (8 * j)));
    }
    std::vector<std::uint8_t>& out_;
};

// A chunk's size with its pad byte.
inline std::uint32_t Padded(std::uint32_t size) { return size + size % 2; }

}  // namespace sweepwav
