#include "wav/wav_header.h"

#include <vector>

namespace sweepwav {

void WriteWavHeader(ChunkWriter& h, const WavFormat& f, std::uint32_t riffSize, std::uint32_t dataBytes,
                    std::uint32_t frames) {
    // Integer PCM's fields; other formats add the size of an extension, here none.
    const std::uint32_t fmtSize = f.fmtExtension ? 18 : 16;
    h.head("RIFF", riffSize);
    h.id("WAVE");  // the form type
    h.head("fmt ", fmtSize);
    h.u16(f.formatTag);
    h.u16(f.channels);
    h.u32(f.sampleRate);
    h.u32(f.byteRate);
    h.u16(f.blockAlign);
    h.u16(f.bitsPerSample);
    if (f.fmtExtension) h.u16(0);
    if (f.factChunk) {
        h.head("fact", 4);
        h.u32(frames);
    }
    h.head("data", dataBytes);
}

std::uint32_t WavHeaderBytes(const WavFormat& f) {
    std::vector<std::uint8_t> header;
    ChunkWriter h(header);
    WriteWavHeader(h, f, 0, 0, 0);
    return static_cast<std::uint32_t>(header.size());
}

void Generate_WAV_Header(GeneratorState& s, const WavFileSize& size) {
    const WavFormat f = FormatOf(s);
    s.iByteRate = static_cast<std::int32_t>(f.byteRate);
    s.bHeader.clear();
    ChunkWriter h(s.bHeader);
    WriteWavHeader(h, f, static_cast<std::uint32_t>(size.riff_size()), static_cast<std::uint32_t>(size.dataBytes),
                   static_cast<std::uint32_t>(s.iTotalSamples));
}

}  // namespace sweepwav
