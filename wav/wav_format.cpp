#include "wav/wav_format.h"

#include <limits>

#include "wav/marker_chunks.h"

namespace sweepwav {

WavFormat FormatOf(const GeneratorState& s) {
    WavFormat f;
    f.channels = static_cast<std::uint16_t>(s.iChannels);
    f.sampleRate = static_cast<std::uint32_t>(s.iSampleRate);
    f.blockAlign = static_cast<std::uint16_t>(s.iBytesPerSample * s.iChannels);
    f.byteRate = f.sampleRate * f.blockAlign;
    f.bitsPerSample = static_cast<std::uint16_t>(8 * s.iBytesPerSample);
    return f;
}

std::uint64_t WavFileSize::riff_size() const {
    // "WAVE", the fmt chunk and the data chunk's head come before the audio.
    constexpr std::uint64_t kBeforeAudio = kWavHeaderBytes - 8;
    const std::uint64_t pad = markerBytes > 0 ? padBytes : 0;
    return kBeforeAudio + dataBytes + pad + markerBytes;
}

WavFileSize FileSizeOf(const GeneratorState& s, std::size_t markerBytes) {
    WavFileSize size;
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
