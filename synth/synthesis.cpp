#include "synth/synthesis.h"

#include <algorithm>
#include <string>
#include <vector>

#include "synth/render_pool.h"
#include "synth/tone_render.h"

namespace sweepwav {

namespace {

// Chunks of about this size keep the pool's memory small and its workers
// evenly loaded.
constexpr std::size_t kChunkBytes = std::size_t(256) << 10;

// Progress1 moves every 1000 frames of a tone.
constexpr std::int32_t kProgressEvery = 1000;

// The run's chunks in playing order, and the pool that renders them.
struct Rendering {
    RenderJob job;
    std::size_t frameBytes = 0;
    std::vector<Chunk> chunks;
    std::size_t next = 0;  // the next chunk to pass on
};

Rendering PlanRendering(const GeneratorState& s, std::uint64_t runSeed, std::int32_t& maxFrames) {
    Rendering r;
    r.job = RenderJob{s.dFreq,     s.dAmplitude, s.dPhaseScale, s.iBits, s.iBytesPerSample,
                      s.iChannels, s.bDither,    runSeed};
    std::vector<std::int32_t> frames(s.dSamples.size());
    for (std::size_t k = 0; k < frames.size(); ++k) frames[k] = static_cast<std::int32_t>(s.dSamples[k]);
    r.frameBytes = static_cast<std::size_t>(r.job.frameBytes());
    maxFrames = static_cast<std::int32_t>(std::max<std::size_t>(1, kChunkBytes / r.frameBytes));
    r.chunks = SplitIntoChunks(frames, maxFrames);
    return r;
}

// The window at the start of tone k: the one place where a press of Abort
// is seen, then the tone counter and the progress over the tones.
void ShowToneStart(GeneratorState& s, WindowOps& w, int k) {
    w.set_progress(Control::Progress1, 0, true);
    w.do_events();
    const std::string kText = std::to_string(k);
    const std::string stepsText = std::to_string(s.iSteps);
    w.set_caption(kText + "/" + stepsText + ": " + s.sAppTitle);
    w.set_label(Control::Status, "Generating sweep step " + kText + " of " + stepsText);
    w.set_progress(Control::Progress2, static_cast<double>(k) / (s.iSteps + 1), true);
}

// Progress1 at every 1000th frame of the tone from first up to end.
void ShowFramesDone(WindowOps& w, std::int32_t first, std::int32_t end, double samples) {
    const std::int32_t firstMark = (first + kProgressEvery - 1) / kProgressEvery * kProgressEvery;
    for (std::int32_t n = firstMark; n < end; n += kProgressEvery) {
        w.set_progress(Control::Progress1, n / samples, true);
    }
}

// Passes tone k's chunks to the sink in order; after an abort the tone keeps
// its first frame only.
Status PassTone(GeneratorState& s, WindowOps& w, int k, Rendering& r, RenderPool& pool, const AudioSink& sink) {
    const double samples = s.dSamples[static_cast<std::size_t>(k)];
    for (; r.next < r.chunks.size() && r.chunks[r.next].tone == k; ++r.next) {
        const Chunk& c = r.chunks[r.next];
        const RenderPool::Rendered rendered = pool.take(r.next);
        const std::span<const std::uint8_t> bytes = s.bAbort ? rendered.bytes.first(r.frameBytes) : rendered.bytes;
        if (Status stored = sink(bytes); !stored) return stored;
        s.iWritePos += static_cast<std::int32_t>(bytes.size());
        ShowFramesDone(w, c.first, s.bAbort ? c.first + 1 : c.first + c.count, samples);
        pool.release(r.next);
        if (s.bAbort) break;
    }
    return {};
}

}  // namespace

Status Generate_Audio_Data(GeneratorState& s, WindowOps& w, std::uint64_t runSeed, unsigned workers,
                           const AudioSink& sink) {
    s.dPhaseScale = (s.dPi + s.dPi) / s.iSampleRate;
    std::int32_t maxFrames = 0;
    Rendering rendering = PlanRendering(s, runSeed, maxFrames);
    RenderPool pool(rendering.job, rendering.chunks, workers,
                    static_cast<std::size_t>(maxFrames) * rendering.frameBytes);

    s.bAbort = false;
    w.set_enabled(Control::Abort, true);
    s.iWritePos = 0;

    Status outcome;
    for (int k = 0; k <= s.iSteps; ++k) {
        s.iLastTone = k;
        ShowToneStart(s, w, k);
        outcome = PassTone(s, w, k, rendering, pool, sink);
        if (!outcome) break;
        w.set_progress(Control::Progress1, 1, true);
        if (s.bAbort) break;
    }

    w.set_enabled(Control::Abort, false);
    w.set_caption(s.sAppTitle);
    if (outcome && s.iSteps == 0) w.set_progress(Control::Progress2, 1, false);
    return outcome;
}

}  // namespace sweepwav
