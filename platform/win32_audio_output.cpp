// Play on Windows: the wave output device that the system's sound settings
// make the default (the wave mapper), fed with the file's own samples
// through a ring of buffers.
#include <windows.h>
#include <mmreg.h>
#include <mmsystem.h>
#include <ks.h>
#include <ksmedia.h>

#include <array>
#include <string>
#include <vector>

#include "platform/system_audio_output.h"
#include "platform/win32_io.h"

namespace sweepwav {

namespace {

// Two seconds of audio queued in buffers of a twentieth of a second each,
// and how long the device may take a buffer back before it counts as
// stopped.
constexpr int kBuffers = 40;
constexpr int kBuffersPerSecond = 20;
constexpr DWORD kStalledMs = 5000;

// KSDATAFORMAT_SUBTYPE_PCM, here so that no GUID library is needed.
constexpr GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string WaveReason(MMRESULT result) {
    std::array<wchar_t, MAXERRORLENGTH> text{};
    if (waveOutGetErrorTextW(result, text.data(), static_cast<UINT>(text.size())) != MMSYSERR_NOERROR) {
        return "error " + std::to_string(result);
    }
    return Utf8Text(text.data());
}

// The speakers of the usual layouts for a channel count, as the file's
// channels are ordered.
DWORD SpeakerMask(int channels) {
    static constexpr DWORD kMasks[] = {0,
                                       SPEAKER_FRONT_CENTER,
                                       KSAUDIO_SPEAKER_STEREO,
                                       KSAUDIO_SPEAKER_STEREO | SPEAKER_FRONT_CENTER,
                                       KSAUDIO_SPEAKER_QUAD,
                                       KSAUDIO_SPEAKER_QUAD | SPEAKER_FRONT_CENTER,
                                       KSAUDIO_SPEAKER_5POINT1,
                                       KSAUDIO_SPEAKER_5POINT1 | SPEAKER_BACK_CENTER,
                                       KSAUDIO_SPEAKER_7POINT1_SURROUND};
    return kMasks[channels];
}

WAVEFORMATEXTENSIBLE WaveFormat(int rate, int bits, int containerBits, int channels) {
    WAVEFORMATEXTENSIBLE f{};
    f.Format.wFormatTag = WAVE_FORMAT_PCM;
    f.Format.nChannels = static_cast<WORD>(channels);
    f.Format.nSamplesPerSec = static_cast<DWORD>(rate);
    f.Format.wBitsPerSample = static_cast<WORD>(containerBits);
    f.Format.nBlockAlign = static_cast<WORD>(containerBits / 8 * channels);
    f.Format.nAvgBytesPerSec = f.Format.nSamplesPerSec * f.Format.nBlockAlign;
    // More than two channels or more than 16 bits are described in full.
    if (channels > 2 || containerBits > 16) {
        f.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
        f.Format.cbSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
        f.Samples.wValidBitsPerSample = static_cast<WORD>(bits);
        f.dwChannelMask = SpeakerMask(channels);
        f.SubFormat = kSubtypePcm;
    }
    return f;
}

bool Takes(int rate, int containerBits, int channels) {
    WAVEFORMATEXTENSIBLE f = WaveFormat(rate, containerBits, containerBits, channels);
    return waveOutOpen(nullptr, WAVE_MAPPER, &f.Format, 0, 0, WAVE_FORMAT_QUERY) == MMSYSERR_NOERROR;
}

// What the device takes of the formats sweepwav writes: with the channel
// count asked for, which rates at 16 and at 24 bit; at the rate and
// container asked for, which channel counts.
std::string WhatItTakes(const AudioFormat& asked) {
    static constexpr int kRates[] = {32000, 44100, 48000, 96000, 192000};
    std::string rates;
    for (int bits : {16, 24}) {
        std::string these;
        for (int rate : kRates) {
            if (Takes(rate, bits, asked.channels)) these += (these.empty() ? "" : ", ") + std::to_string(rate);
        }
        if (!these.empty()) rates += (rates.empty() ? "" : "; ") + std::to_string(bits) + " bit at " + these + " Hz";
    }
    std::string channels;
    for (int n = 1; n <= 8; ++n) {
        if (Takes(asked.rate, asked.containerBits, n)) channels += (channels.empty() ? "" : ", ") + std::to_string(n);
    }
    std::string text = "with " + std::to_string(asked.channels) + (asked.channels == 1 ? " channel: " : " channels: ") +
                       (rates.empty() ? "nothing" : rates);
    const std::string at = "; at " + std::to_string(asked.rate) + " Hz, " + std::to_string(asked.containerBits) + " bit: ";
    return text + at + (channels.empty() ? "no channel count" : channels + " channels");
}

// Why the device did not open: none there, the format refused (when the
// device says it does not take it), or the system's reason.
Status OpenFailure(MMRESULT result, const AudioFormat& format) {
    if (result == MMSYSERR_BADDEVICEID || result == MMSYSERR_NODRIVER) {
        return Status::Failure(FailureKind::Missing, "there is no output device (" + WaveReason(result) + ")");
    }
    if (result == WAVERR_BADFORMAT || !Takes(format.rate, format.containerBits, format.channels)) {
        return Status::Failure(FailureKind::Unusable, "the output device does not take " + AudioFormatText(format) +
                                                          " (" + WaveReason(result) + "); it takes, " +
                                                          WhatItTakes(format));
    }
    return Status::Failure("the output device could not be opened (" + WaveReason(result) + ")");
}

Status LostFailure(MMRESULT result) {
    return Status::Failure("the output device was lost while playing (" + WaveReason(result) + ")");
}

class WaveStream : public AudioStream {
public:
    WaveStream(HWAVEOUT device, HANDLE done, std::size_t bufferBytes) : device_(device), done_(done) {
        for (Buffer& b : buffers_) b.data.resize(bufferBytes);
    }
    ~WaveStream() override {
        waveOutReset(device_);
        for (Buffer& b : buffers_) {
            if (b.prepared) waveOutUnprepareHeader(device_, &b.header, sizeof b.header);
        }
        waveOutClose(device_);
        CloseHandle(done_);
    }
    WaveStream(const WaveStream&) = delete;
    WaveStream& operator=(const WaveStream&) = delete;

    Status write(std::span<const std::uint8_t> frames) override {
        for (std::size_t at = 0; at < frames.size();) {
            Buffer& b = buffers_[next_];
            if (Status freed = wait_until_done(b); !freed) return freed;
            const std::size_t n = std::min(b.data.size(), frames.size() - at);
            std::copy_n(frames.begin() + static_cast<std::ptrdiff_t>(at), n, b.data.begin());
            b.header = WAVEHDR{};
            b.header.lpData = reinterpret_cast<LPSTR>(b.data.data());
            b.header.dwBufferLength = static_cast<DWORD>(n);
            MMRESULT result = waveOutPrepareHeader(device_, &b.header, sizeof b.header);
            if (result != MMSYSERR_NOERROR) return LostFailure(result);
            b.prepared = true;
            result = waveOutWrite(device_, &b.header, sizeof b.header);
            if (result != MMSYSERR_NOERROR) return LostFailure(result);
            next_ = (next_ + 1) % buffers_.size();
            at += n;
        }
        return {};
    }

    // Counted in whole buffers: one is a twentieth of a second.
    Result<std::uint64_t> unplayed_bytes() override {
        std::uint64_t unplayed = 0;
        for (const Buffer& b : buffers_) {
            if (b.prepared && (b.header.dwFlags & WHDR_DONE) == 0) unplayed += b.header.dwBufferLength;
        }
        return unplayed;
    }

    void wait(int milliseconds) override { WaitForSingleObject(done_, static_cast<DWORD>(milliseconds)); }

    Status drain() override {
        for (Buffer& b : buffers_) {
            if (Status freed = wait_until_done(b); !freed) return freed;
        }
        return {};
    }

    void discard() override { waveOutReset(device_); }

private:
    struct Buffer {
        WAVEHDR header{};
        std::vector<std::uint8_t> data;
        bool prepared = false;
    };

    // Waits for the device to give the buffer back; a device that gives none
    // back for a while has stopped.
    Status wait_until_done(Buffer& b) {
        if (!b.prepared) return {};
        DWORD waited = 0;
        while ((b.header.dwFlags & WHDR_DONE) == 0) {
            if (waited >= kStalledMs) return Status::Failure("the output device stopped playing");
            WaitForSingleObject(done_, 100);
            waited += 100;
        }
        waveOutUnprepareHeader(device_, &b.header, sizeof b.header);
        b.prepared = false;
        return {};
    }

    HWAVEOUT device_;
    HANDLE done_;
    std::array<Buffer, kBuffers> buffers_;
    std::size_t next_ = 0;
};

class WaveOutput : public AudioOutput {
public:
    Result<std::unique_ptr<AudioStream>> open(const AudioFormat& format) override {
        if (waveOutGetNumDevs() == 0) {
            return Status::Failure(FailureKind::Missing, "there is no output device (" +
                                                             WaveReason(MMSYSERR_NODRIVER) + ")");
        }
        WAVEFORMATEXTENSIBLE f = WaveFormat(format.rate, format.bits, format.containerBits, format.channels);
        HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (done == nullptr) return SystemFailure(GetLastError());
        HWAVEOUT device = nullptr;
        const auto open = [&] {
            return waveOutOpen(&device, WAVE_MAPPER, &f.Format, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT);
        };
        MMRESULT result = open();
        // A device that takes no shorter word in the container takes the
        // same samples as a word of the full container: their low bits are 0.
        if (result == WAVERR_BADFORMAT && format.bits != format.containerBits) {
            f.Samples.wValidBitsPerSample = static_cast<WORD>(format.containerBits);
            result = open();
        }
        if (result != MMSYSERR_NOERROR) {
            CloseHandle(done);
            return OpenFailure(result, format);
        }
        const std::size_t bufferBytes = static_cast<std::size_t>(f.Format.nAvgBytesPerSec / kBuffersPerSecond) /
                                        f.Format.nBlockAlign * f.Format.nBlockAlign;
        return std::unique_ptr<AudioStream>(std::make_unique<WaveStream>(device, done, bufferBytes));
    }
};

}  // namespace

std::unique_ptr<AudioOutput> SystemAudioOutput() { return std::make_unique<WaveOutput>(); }

}  // namespace sweepwav
