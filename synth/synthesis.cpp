#include "synth/synthesis.h"

#include <cmath>
#include <cstring>
#include <string>

#include "platform/window_look.h"
#include "synth/dither_source.h"

namespace sweepwav {

namespace {

// Stores one sample's container bytes (least significant first) into every
// channel of a frame. The container width is a template argument so that each
// copy is a fixed-size store rather than a call; all channels but the last
// take a 4-byte store whose extra byte the next channel overwrites.
template <int Bytes>
inline void StoreFrame(std::uint8_t* out, const std::uint8_t (&bytes)[4], int channels) {
    int c = 0;
    for (; c + 1 < channels; ++c) std::memcpy(out + Bytes * c, bytes, Bytes == 2 ? 2 : 4);
    std::memcpy(out + Bytes * c, bytes, Bytes);
}

// Nearest integer, exact halves to the even neighbour, for |x| < 2^51: adding
// 1.5 x 2^52 leaves no fraction bits, so the addition itself rounds in the
// default mode. Same result as std::nearbyint without the library call.
inline double RoundToEven(double x) {
    constexpr double kShift = 6755399441055744.0;
    return (x + kShift) - kShift;
}

struct ToneResult {
    std::uint8_t* out;
    double lastSample;
};

// The sample loop of one tone (steps 9 to 17), for one container width.
template <int Bytes>
ToneResult RenderTone(GeneratorState& s, WindowOps& w, DitherSource& dither, int k,
                      std::uint8_t* out, double maxCode, double minCode, double justify) {
    const double samples = s.dSamples[k];
    const double freq = s.dFreq[k];
    const double amplitude = s.dAmplitude[k];
    const std::int32_t count = static_cast<std::int32_t>(samples);
    const double phaseScale = s.dPhaseScale;
    const bool addDither = s.bDither;
    const int channels = s.iChannels;
    const int frameBytes = Bytes * channels;
    std::uint8_t bytes[4] = {};
    double sample = s.dSample;
    int untilProgress = 1;  // the line moves at n = 0, 1000, 2000, ...
    for (std::int32_t n = 0; n < count; ++n) {
        sample = std::sin(n * phaseScale * freq) * amplitude;
        if (addDither) {
            float r1, r2;
            dither.NextPair(r1, r2);
            sample = sample + ((r2 + r1) - 1.0f);
        }
        sample = RoundToEven(sample);
        if (sample > maxCode) sample = maxCode;
        if (sample < minCode) sample = minCode;
        sample *= justify;
        const std::int32_t v = static_cast<std::int32_t>(sample);
        bytes[0] = static_cast<std::uint8_t>(v & 0xFF);
        bytes[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
        bytes[2] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
        // One sample, copied into every channel of the frame.
        StoreFrame<Bytes>(out, bytes, channels);
        out += frameBytes;
        if (--untilProgress == 0) {
            untilProgress = 1000;
            w.set_line_x2(Control::Progress1, static_cast<float>(std::floor(n / samples * kLineSpan) + kLineEmpty),
                          true);
        }
        if (s.bAbort) break;
    }
    // The container bytes of the last sample computed.
    if (count > 0) std::memcpy(s.bSampleBytes.data(), bytes, Bytes);
    return {out, sample};
}

}  // namespace

void Generate_Audio_Data(GeneratorState& s, WindowOps& w, std::uint64_t runSeed) {
    s.dPhaseScale = (s.dPi + s.dPi) / s.iSampleRate;
    s.bAbort = false;
    w.set_enabled(Control::Abort, true);
    s.iWritePos = 0;

    const int bytesPerSample = s.iBytesPerSample;
    // Rounded samples are clipped to the word length before the
    // left-justifying shift, so a peak never wraps to the opposite sign.
    const double maxCode = std::ldexp(1.0, s.iBits - 1) - 1;
    const double minCode = -std::ldexp(1.0, s.iBits - 1);
    const double justify = s.iBits > 16 ? std::ldexp(1.0, 24 - s.iBits) : 1.0;

    for (int k = 0; k <= s.iSteps; ++k) {
        w.set_line_x2(Control::Progress1, kLineEmpty, true);
        w.do_events();
        const std::string kText = std::to_string(k);
        const std::string stepsText = std::to_string(s.iSteps);
        w.set_caption(kText + "/" + stepsText + ": " + s.sAppTitle);
        w.set_label(Control::Status, "Generating sweep step " + kText + " of " + stepsText);
        w.set_line_x2(Control::Progress2,
                      static_cast<float>(static_cast<double>(k) / (s.iSteps + 1) * kLineSpan + kLineEmpty), true);
        DitherSource dither(runSeed, static_cast<std::uint64_t>(k));

        std::uint8_t* const start = s.bAudio.data() + s.iWritePos;
        const ToneResult r =
            bytesPerSample == 2
                ? RenderTone<2>(s, w, dither, k, start, maxCode, minCode, justify)
                : RenderTone<3>(s, w, dither, k, start, maxCode, minCode, justify);
        s.dSample = r.lastSample;
        s.iWritePos += static_cast<std::int32_t>(r.out - start);
        w.set_line_x2(Control::Progress1, kLineFull, true);
        if (s.bAbort) break;
    }

    w.set_enabled(Control::Abort, false);
    w.set_caption(s.sAppTitle);
    if (s.iSteps == 0) w.set_line_x2(Control::Progress2, kLineFull, false);
}

}  // namespace sweepwav
