// Play on Linux: a playback stream of the sound server's simple API, in the
// file's own sample format, to the server's default device.
#include <chrono>
#include <string>
#include <thread>

#include "pulse_library.h"
#include "platform/system_audio_output.h"

namespace sweepwav {

namespace {

// The server keeps up to two seconds of audio queued (less where it allows
// less), so that a busy machine does not starve it; playing starts once a
// tenth of a second is there, or when the audio ends before that.
constexpr pa_usec_t kQueuedUsec = 2'000'000;
constexpr pa_usec_t kStartUsec = 100'000;
// How long the question of what the device takes may wait for an answer.
constexpr int kAskMs = 2000;

// The client libraries' functions, found when Play first opens the device.
PulseFunctions pulse;

// Loads the libraries once, on first use; what that gave for every later use.
const Status& PulseLoaded() {
    static const Status loaded = LoadPulseFunctions(pulse, kPulseSimpleLibrary, kPulseLibrary);
    return loaded;
}

std::string ErrorText(int error) { return pulse.pa_strerror(error); }

// What the default device takes, as the server describes it: its sample
// format, rate and channels ("s16le 2ch 44100Hz"), or the formats it
// accepts when that is not plain PCM; empty when the server does not say.
class DeviceQuestion {
public:
    std::string ask() {
        pa_mainloop* loop = pulse.pa_mainloop_new();
        pa_context* context = pulse.pa_context_new(pulse.pa_mainloop_get_api(loop), "sweepwav");
        if (context && pulse.pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
            pulse.pa_context_set_state_callback(context, &DeviceQuestion::OnState, this);
            for (int ms = 0; !done_ && ms < kAskMs; ms += 10) {
                if (pulse.pa_mainloop_iterate(loop, 0, nullptr) < 0) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            pulse.pa_context_disconnect(context);
        }
        if (context) pulse.pa_context_unref(context);
        pulse.pa_mainloop_free(loop);
        return answer_;
    }

private:
    static void OnState(pa_context* c, void* self) {
        auto* q = static_cast<DeviceQuestion*>(self);
        const pa_context_state_t state = pulse.pa_context_get_state(c);
        if (state == PA_CONTEXT_READY) {
            pulse.pa_operation_unref(
                pulse.pa_context_get_sink_info_by_name(c, "@DEFAULT_SINK@", &DeviceQuestion::OnSink, q));
        } else if (!PA_CONTEXT_IS_GOOD(state)) {
            q->done_ = true;
        }
    }

    static void OnSink(pa_context*, const pa_sink_info* info, int eol, void* self) {
        auto* q = static_cast<DeviceQuestion*>(self);
        if (eol != 0 || info == nullptr) {
            q->done_ = true;
            return;
        }
        char text[PA_SAMPLE_SPEC_SNPRINT_MAX > PA_FORMAT_INFO_SNPRINT_MAX ? PA_SAMPLE_SPEC_SNPRINT_MAX
                                                                          : PA_FORMAT_INFO_SNPRINT_MAX];
        std::string takes;
        for (std::uint8_t i = 0; i < info->n_formats; ++i) {
            if (!takes.empty()) takes += ", ";
            if (pulse.pa_format_info_is_pcm(info->formats[i])) {
                takes += pulse.pa_sample_spec_snprint(text, sizeof text, &info->sample_spec);
            } else {
                takes += pulse.pa_format_info_snprint(text, sizeof text, info->formats[i]);
            }
        }
        if (takes.empty()) takes = pulse.pa_sample_spec_snprint(text, sizeof text, &info->sample_spec);
        std::string answer(1, '"');
        answer.append(info->description ? info->description : info->name).append("\" takes ").append(takes);
        q->answer_ = std::move(answer);
    }

    bool done_ = false;
    std::string answer_;
};

Status OpenFailure(int error, const AudioFormat& format) {
    switch (error) {
        case PA_ERR_CONNECTIONREFUSED:
        case PA_ERR_INVALIDSERVER:
        case PA_ERR_TIMEOUT:
            return Status::Failure(FailureKind::Missing, "no sound server answers (" + ErrorText(error) + ")");
        case PA_ERR_NOENTITY:
            return Status::Failure(FailureKind::Missing,
                                   "the sound server has no output device (" + ErrorText(error) + ")");
        case PA_ERR_NOTSUPPORTED:
        case PA_ERR_INVALID: {
            const std::string takes = DeviceQuestion().ask();
            return Status::Failure(FailureKind::Unusable,
                                   "the output device does not take " + AudioFormatText(format) + " (" +
                                       ErrorText(error) + ")" + (takes.empty() ? "" : "; the device " + takes));
        }
        default:
            return Status::Failure("the sound server refused to play (" + ErrorText(error) + ")");
    }
}

Status PlayingFailure(int error) {
    if (error == PA_ERR_CONNECTIONTERMINATED || error == PA_ERR_KILLED) {
        return Status::Failure("the sound server went away while playing (" + ErrorText(error) + ")");
    }
    return Status::Failure("the output device failed while playing (" + ErrorText(error) + ")");
}

class PulseStream : public AudioStream {
public:
    PulseStream(pa_simple* stream, const pa_sample_spec& samples) : stream_(stream), samples_(samples) {}
    ~PulseStream() override { pulse.pa_simple_free(stream_); }
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    Status write(std::span<const std::uint8_t> frames) override {
        int error = 0;
        if (pulse.pa_simple_write(stream_, frames.data(), frames.size(), &error) < 0) return PlayingFailure(error);
        return {};
    }

    Result<std::uint64_t> unplayed_bytes() override {
        int error = 0;
        const pa_usec_t latency = pulse.pa_simple_get_latency(stream_, &error);
        if (latency == static_cast<pa_usec_t>(-1)) return PlayingFailure(error);
        return static_cast<std::uint64_t>(pulse.pa_usec_to_bytes(latency, &samples_));
    }

    void wait(int milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

    Status drain() override {
        int error = 0;
        if (pulse.pa_simple_drain(stream_, &error) < 0) return PlayingFailure(error);
        return {};
    }

    void discard() override {
        int error = 0;
        (void)pulse.pa_simple_flush(stream_, &error);
    }

private:
    pa_simple* stream_;
    pa_sample_spec samples_;
};

class PulseOutput : public AudioOutput {
public:
    Result<std::unique_ptr<AudioStream>> open(const AudioFormat& format) override {
        if (const Status& loaded = PulseLoaded(); !loaded) return loaded;
        pa_sample_spec samples{};
        samples.format = format.containerBits == 16 ? PA_SAMPLE_S16LE : PA_SAMPLE_S24LE;
        samples.rate = static_cast<std::uint32_t>(format.rate);
        samples.channels = static_cast<std::uint8_t>(format.channels);
        // The server's own order of channels for the count, so that a device
        // of that many channels takes them as they are.
        pa_channel_map map;
        pulse.pa_channel_map_init_extend(&map, samples.channels, PA_CHANNEL_MAP_DEFAULT);
        pa_buffer_attr buffer{};
        buffer.maxlength = static_cast<std::uint32_t>(-1);
        buffer.tlength = static_cast<std::uint32_t>(pulse.pa_usec_to_bytes(kQueuedUsec, &samples));
        buffer.prebuf = static_cast<std::uint32_t>(pulse.pa_usec_to_bytes(kStartUsec, &samples));
        buffer.minreq = static_cast<std::uint32_t>(-1);
        buffer.fragsize = static_cast<std::uint32_t>(-1);
        int error = 0;
        pa_simple* stream = pulse.pa_simple_new(nullptr, "sweepwav", PA_STREAM_PLAYBACK, nullptr, "Sweep", &samples, &map,
                                                &buffer, &error);
        if (stream == nullptr) return OpenFailure(error, format);
        return std::unique_ptr<AudioStream>(std::make_unique<PulseStream>(stream, samples));
    }
};

}  // namespace

std::unique_ptr<AudioOutput> SystemAudioOutput() { return std::make_unique<PulseOutput>(); }

}  // namespace sweepwav
