#include "synth/synthesis.h"

#include <cmath>
#include <cstring>
#include <string>

#include "synth/dither_source.h"

namespace sweepwav {

namespace {

constexpr float kEmpty = 60;
constexpr float kFull = 4660;

}  // namespace

void Generate_Audio_Data(GeneratorState& s, WindowOps& w, std::uint64_t runSeed) {
    s.dPhaseScale = (s.dPi + s.dPi) / s.iSampleRate;
    s.bAbort = false;
    w.set_enabled(Control::Abort, true);
    s.iWritePos = 0;

    const int bytesPerSample = s.iBytesPerSample;
    const int channels = s.iChannels;
    const int frameBytes = bytesPerSample * channels;
    // Rounded samples are clipped to the word length before the
    // left-justifying shift, so a peak never wraps to the opposite sign.
    const double maxCode = std::ldexp(1.0, s.iBits - 1) - 1;
    const double minCode = -std::ldexp(1.0, s.iBits - 1);
    const double justify = s.iBits > 16 ? std::ldexp(1.0, 24 - s.iBits) : 1.0;

    for (int k = 0; k <= s.iSteps; ++k) {
        w.set_line_x2(Control::Progress1, kEmpty, true);
        w.do_events();
        const std::string kText = std::to_string(k);
        const std::string stepsText = std::to_string(s.iSteps);
        w.set_caption(kText + "/" + stepsText + ": " + s.sAppTitle);
        w.set_label(Control::Status, "Generating sweep step " + kText + " of " + stepsText);
        w.set_line_x2(Control::Progress2,
                      static_cast<float>(static_cast<double>(k) / (s.iSteps + 1) * 4600 + 60), true);
        DitherSource dither(runSeed, static_cast<std::uint64_t>(k));

        const double samples = s.dSamples[k];
        const double freq = s.dFreq[k];
        const double amplitude = s.dAmplitude[k];
        const std::int32_t count = static_cast<std::int32_t>(samples);
        const double phaseScale = s.dPhaseScale;
        const bool addDither = s.bDither;
        std::uint8_t* const sampleBytes = s.bSampleBytes.data();
        std::uint8_t* const start = s.bAudio.data() + s.iWritePos;
        std::uint8_t* out = start;
        double sample = s.dSample;
        for (std::int32_t n = 0; n < count; ++n) {
            sample = std::sin(n * phaseScale * freq) * amplitude;
            if (addDither) {
                const float r1 = dither.Next();
                const float r2 = dither.Next();
                sample = sample + ((r2 + r1) - 1.0f);
            }
            sample = std::nearbyint(sample);
            if (sample > maxCode) sample = maxCode;
            if (sample < minCode) sample = minCode;
            sample *= justify;
            const std::int32_t v = static_cast<std::int32_t>(sample);
            sampleBytes[0] = static_cast<std::uint8_t>(v & 0xFF);
            sampleBytes[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
            if (bytesPerSample > 2) sampleBytes[2] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
            // One sample, copied into every channel of the frame.
            for (int c = 0; c < channels; ++c) {
                std::memcpy(out + c * bytesPerSample, sampleBytes, bytesPerSample);
            }
            out += frameBytes;
            if (n % 1000 == 0) {
                w.set_line_x2(Control::Progress1,
                              static_cast<float>(std::floor(n / samples * 4600) + 60), true);
            }
            if (s.bAbort) break;
        }
        s.dSample = sample;
        s.iWritePos += static_cast<std::int32_t>(out - start);
        w.set_line_x2(Control::Progress1, kFull, true);
        if (s.bAbort) break;
    }

    w.set_enabled(Control::Abort, false);
    w.set_caption(s.sAppTitle);
    if (s.iSteps == 0) w.set_line_x2(Control::Progress2, kFull, false);
}

}  // namespace sweepwav
