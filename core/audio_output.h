// The system's sound output, as Play uses it: a stream to the default output
// device that takes the audio exactly as a WAV file holds it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "core/result.h"

namespace sweepwav {

// The samples as the file holds them: frames per second, the word length,
// the container (16 bits in 2 bytes, 18 to 24 bits left-justified in 3), and
// the channels interleaved, least significant byte first.
struct AudioFormat {
    std::int32_t rate = 0;
    std::int16_t bits = 0;
    std::int16_t containerBits = 0;
    std::int16_t channels = 0;

    int frameBytes() const { return containerBits / 8 * channels; }
};

// "48000 Hz, 16 bit, 2 channels"; a word length shorter than its container
// as "20 bit in 24".
inline std::string AudioFormatText(const AudioFormat& f) {
    const std::string bits = f.bits == f.containerBits
                                 ? std::to_string(f.bits) + " bit"
                                 : std::to_string(f.bits) + " bit in " + std::to_string(f.containerBits);
    return std::to_string(f.rate) + " Hz, " + bits + ", " + std::to_string(f.channels) +
           (f.channels == 1 ? " channel" : " channels");
}

// An open stream to the device. Its failures say what went wrong in words
// ("the sound server went away while playing: Connection terminated").
class AudioStream {
public:
    virtual ~AudioStream() = default;

    // Queues whole frames, waiting while the device's buffer is full (never
    // longer than the device takes to play what is queued ahead of them).
    virtual Status write(std::span<const std::uint8_t> frames) = 0;

    // How many of the bytes written the device has not played yet.
    virtual Result<std::uint64_t> unplayed_bytes() = 0;

    // Waits up to the given time for the device to play some more.
    virtual void wait(int milliseconds) = 0;

    // Plays out what is queued and returns once it has been heard.
    virtual Status drain() = 0;

    // Drops what is queued and not yet heard: playing stops at once.
    virtual void discard() = 0;
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Opens the default output device for the format. A failure's kind is
    // Missing when there is no device or no sound server, Unusable when the
    // device refuses the format (its reason then says what the device
    // takes), Other for anything else.
    virtual Result<std::unique_ptr<AudioStream>> open(const AudioFormat& format) = 0;
};

}  // namespace sweepwav
