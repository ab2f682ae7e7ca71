#include "synth/synthesis.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/window_look.h"
#include "synth/render_pool.h"
#include "synth/tone_render.h"

namespace sweepwav {

namespace {

// Chunks of about this size keep the pool's memory small and its workers
// evenly loaded.
constexpr std::size_t kChunkBytes = std::size_t(256) << 10;

// Progress1 moves every 1000 frames of a tone.
constexpr std::int32_t kProgressEvery = 1000;

void KeepSample(GeneratorState& s, double sample, const std::uint8_t (&bytes)[3]) {
    s.dSample = sample;
    std::memcpy(s.bSampleBytes.data(), bytes, static_cast<std::size_t>(s.iBytesPerSample));
}

}  // namespace

std::optional<std::string> Generate_Audio_Data(GeneratorState& s, WindowOps& w, std::uint64_t runSeed,
                                               unsigned workers, const AudioSink& sink) {
    s.dPhaseScale = (s.dPi + s.dPi) / s.iSampleRate;

    const RenderJob job{s.dFreq,     s.dAmplitude, s.dPhaseScale, s.iBits, s.iBytesPerSample,
                        s.iChannels, s.bDither,    runSeed};
    std::vector<std::int32_t> frames(s.dSamples.size());
    for (std::size_t k = 0; k < frames.size(); ++k) frames[k] = static_cast<std::int32_t>(s.dSamples[k]);
    const auto frameBytes = static_cast<std::size_t>(job.frameBytes());
    const auto maxFrames = static_cast<std::int32_t>(std::max<std::size_t>(1, kChunkBytes / frameBytes));
    const std::vector<Chunk> chunks = SplitIntoChunks(frames, maxFrames);
    RenderPool pool(job, chunks, workers, static_cast<std::size_t>(maxFrames) * frameBytes);

    s.bAbort = false;
    w.set_enabled(Control::Abort, true);
    s.iWritePos = 0;

    std::optional<std::string> failure;
    std::size_t next = 0;  // the next chunk to pass on
    for (int k = 0; k <= s.iSteps && !failure; ++k) {
        s.iLastTone = k;
        w.set_line_x2(Control::Progress1, kLineEmpty, true);
        w.do_events();  // the one place where a press of Abort is seen
        const std::string kText = std::to_string(k);
        const std::string stepsText = std::to_string(s.iSteps);
        w.set_caption(kText + "/" + stepsText + ": " + s.sAppTitle);
        w.set_label(Control::Status, "Generating sweep step " + kText + " of " + stepsText);
        w.set_line_x2(Control::Progress2,
                      static_cast<float>(static_cast<double>(k) / (s.iSteps + 1) * kLineSpan + kLineEmpty),
                      true);

        const double samples = s.dSamples[static_cast<std::size_t>(k)];
        for (; next < chunks.size() && chunks[next].tone == k; ++next) {
            const Chunk& c = chunks[next];
            const RenderPool::Rendered r = pool.take(next);
            // After an abort the tone keeps its first frame only.
            const std::span<const std::uint8_t> bytes = s.bAbort ? r.bytes.first(frameBytes) : r.bytes;
            failure = sink(bytes);
            if (failure) break;
            s.iWritePos += static_cast<std::int32_t>(bytes.size());
            if (s.bAbort) {
                KeepSample(s, r.ends.firstSample, r.ends.firstBytes);
            } else {
                KeepSample(s, r.ends.lastSample, r.ends.lastBytes);
            }
            const std::int32_t end = s.bAbort ? c.first + 1 : c.first + c.count;
            const std::int32_t firstMark = (c.first + kProgressEvery - 1) / kProgressEvery * kProgressEvery;
            for (std::int32_t n = firstMark; n < end; n += kProgressEvery) {
                w.set_line_x2(Control::Progress1,
                              static_cast<float>(std::floor(n / samples * kLineSpan) + kLineEmpty), true);
            }
            pool.release(next);
            if (s.bAbort) break;
        }
        if (failure) break;
        w.set_line_x2(Control::Progress1, kLineFull, true);
        if (s.bAbort) break;
    }

    w.set_enabled(Control::Abort, false);
    w.set_caption(s.sAppTitle);
    if (!failure && s.iSteps == 0) w.set_line_x2(Control::Progress2, kLineFull, false);
    return failure;
}

}  // namespace sweepwav
