#include "wav/wav_header.h"

#include <cstdint>
#include <cstring>

namespace sweepwav {

namespace {

void PutText(GeneratorState& s, int at, const char* fourChars) {
    std::memcpy(s.bHeader.data() + at, fourChars, 4);
}

void PutLE(GeneratorState& s, int at, std::uint32_t value, int size) {
    for (int j = 0; j < size; ++j) s.bHeader[at + j] = static_cast<std::uint8_t>(value >> (8 * j));
}

}  // namespace

void Generate_WAV_Header(GeneratorState& s) {
    s.iByteRate = s.iSampleRate * s.iBytesPerSample * s.iChannels;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(s.iTotalBytes);
    PutText(s, 0, "RIFF");
    PutLE(s, 4, dataBytes + 36, 4);
    PutText(s, 8, "WAVE");
    PutText(s, 12, "fmt ");
    PutLE(s, 16, 16, 4);
    PutLE(s, 20, 1, 2);
    PutLE(s, 22, static_cast<std::uint32_t>(s.iChannels), 2);
    PutLE(s, 24, static_cast<std::uint32_t>(s.iSampleRate), 4);
    PutLE(s, 28, static_cast<std::uint32_t>(s.iByteRate), 4);
    PutLE(s, 32, static_cast<std::uint32_t>(s.iBytesPerSample * s.iChannels), 2);
    PutLE(s, 34, s.iBits == 16 ? 16u : 24u, 2);
    PutText(s, 36, "data");
    PutLE(s, 40, dataBytes, 4);
}

}  // namespace sweepwav
