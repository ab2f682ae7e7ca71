#include "wav/wav_format.h"

#include <limits>

#include "wav/marker_chunks.h"
#include "wav/wav_header.h"

namespace sweepwav {

WavFormat FormatOf(const GeneratorState& s) {
    const SampleFormat& sample = s.sampleFormat;
    WavFormat f;
    f.formatTag = sample.formatTag;
    f.channels = static_cast<std::uint16_t>(s.iChannels);
    f.sampleRate = static_cast<std::uint32_t>(s.iSampleRate);
    f.blockAlign = static_cast<std::uint16_t>(sample.containerBytes * s.iChannels);
    f.byteRate = f.sampleRate * f.blockAlign;
    f.bitsPerSample = static_cast<std::uint16_t>(8 * sample.containerBytes);
    f.fmtExtension = sample.fmtExtension;
    f.factChunk = sample.factChunk;
    return f;
}

std::uint64_t WavFileSize::riff_size() const {
    // The header after the RIFF chunk's own head comes before the audio.
    const std::uint64_t pad = markerBytes > 0 ? padBytes : 0;
    return headerBytes - 8 + dataBytes + pad + markerBytes;
}

WavFileSize FileSizeOf(const GeneratorState& s, std::size_t markerBytes) {
    WavFileSize size;
    size.headerBytes = WavHeaderBytes(FormatOf(s));
    size.dataBytes = static_cast<std::uint64_t>(s.iTotalBytes);
    size.padBytes = size.dataBytes % 2;
    size.markerBytes = markerBytes;
    return size;
}

WavFileSize PlannedFileSize(const GeneratorState& s) {
    return FileSizeOf(s, s.markers ? ToneMarkerBytes(s) : 0);
}

bool FitsInWavFile(const WavFileSize& size) {
    constexpr std::uint64_t kLongMax = std::numeric_limits<std::int32_t>::max();
    return size.stated_bytes() <= kLongMax;
}

}  // namespace sweepwav
