#include "wav/wav_header.h"

namespace sweepwav {

namespace {

constexpr std::uint32_t kFmtChunkSize = 16;  // PCM needs no extension

}  // namespace

void Generate_WAV_Header(GeneratorState& s, const WavFileSize& size) {
    const WavFormat f = FormatOf(s);
    s.iByteRate = static_cast<std::int32_t>(f.byteRate);

    s.bHeader.clear();
    s.bHeader.reserve(kWavHeaderBytes);
    ChunkWriter h(s.bHeader);
    h.head("RIFF", static_cast<std::uint32_t>(size.riff_size()));  // 0
    h.id("WAVE");                                                   // 8: form type
    h.head("fmt ", kFmtChunkSize);                                  // 12
    h.u16(f.formatTag);                                             // 20
    h.u16(f.channels);                                              // 22
    h.u32(f.sampleRate);                                            // 24
    h.u32(f.byteRate);                                              // 28
    h.u16(f.blockAlign);                                            // 32
    h.u16(f.bitsPerSample);                                         // 34
    h.head("data", static_cast<std::uint32_t>(size.dataBytes));    // 36
}

}  // namespace sweepwav
