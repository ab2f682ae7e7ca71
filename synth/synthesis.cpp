#include "synth/synthesis.h"

#include <algorithm>
#include <string>
#include <vector>

#include "plan/signal_layout.h"
#include "synth/render_pool.h"
#include "synth/tone_render.h"

namespace sweepwav {

namespace {

// Chunks of about this size keep the pool's memory small and its workers
// evenly loaded.
constexpr std::size_t kChunkBytes = std::size_t(256) << 10;

// Progress1 moves every 1000 frames of a tone.
constexpr std::int32_t kProgressEvery = 1000;

// Pending events are serviced at the start of every tone and again, within
// a long tone, before the first chunk at or past every 2^17th frame (0.68 s
// of sound at 192 kHz, a few milliseconds of work), so that Abort and
// Ctrl-C are seen at once even in a tone of many seconds. Chunks end on the
// same frames whatever the number of threads, and so do the servicings.
constexpr std::int32_t kEventsEvery = std::int32_t{1} << 17;

// The run's segments (tones and silence) cut into chunks in playing order,
// and the job that renders them.
struct Rendering {
    RenderJob job;
    std::vector<std::uint32_t> passChannels;
    std::size_t frameBytes = 0;
    std::int32_t maxFrames = 0;
    std::vector<Segment> segments;
    std::vector<Chunk> chunks;
    std::vector<std::size_t> firstChunk;  // per segment, and one past the last
    int tonesPlayed = 0;                  // of all passes, for Progress2
};

void PlanRendering(Rendering& r, const GeneratorState& s, std::uint64_t runSeed) {
    for (int pass = 0; pass < s.signalFrames.passes; ++pass) r.passChannels.push_back(SignalChannelMask(s, pass));
    const bool dither = s.bDither && s.sampleFormat.dither;
    r.job = RenderJob{s.dFreq,   s.dAmplitude, s.dPhaseScale,       s.sampleFormat, s.iChannels,
                      dither,    runSeed,      s.signalFrames.ramp, r.passChannels, s.iSteps + 1};
    r.frameBytes = static_cast<std::size_t>(r.job.frameBytes());
    r.maxFrames = static_cast<std::int32_t>(std::max<std::size_t>(1, kChunkBytes / r.frameBytes));
    r.segments = SignalSegments(s);
    for (const Segment& segment : r.segments) {
        r.firstChunk.push_back(r.chunks.size());
        for (std::int32_t first = 0; first < segment.frames; first += r.maxFrames) {
            const std::int32_t count = std::min(segment.frames - first, r.maxFrames);
            r.chunks.push_back({segment.tone, first, count, segment.pass, segment.rampIn, segment.rampOut,
                                segment.frames});
        }
    }
    r.firstChunk.push_back(r.chunks.size());
}

// The window at the start of tone k of a pass: the one place where a press
// of Abort is seen, then the tone counter (and, one channel at a time, the
// channel) and the progress over the tones.
void ShowToneStart(GeneratorState& s, WindowOps& w, int k, int pass, int played) {
    w.set_progress(Control::Progress1, 0, true);
    w.do_events();
    const std::string kText = std::to_string(k);
    const std::string stepsText = std::to_string(s.iSteps);
    w.set_caption(kText + "/" + stepsText + ": " + s.sAppTitle);
    w.set_label(Control::Status, "Generating sweep step " + kText + " of " + stepsText + PassText(s, pass));
    w.set_progress(Control::Progress2, static_cast<double>(played) / ((s.iSteps + 1) * s.signalFrames.passes), true);
}

// Progress1 at every 1000th frame of the tone from first up to end.
void ShowFramesDone(WindowOps& w, std::int32_t first, std::int32_t end, double samples) {
    const std::int32_t firstMark = (first + kProgressEvery - 1) / kProgressEvery * kProgressEvery;
    for (std::int32_t n = firstMark; n < end; n += kProgressEvery) {
        w.set_progress(Control::Progress1, n / samples, true);
    }
}

// Passes a segment's chunks to the sink in order. An abort seen at the
// start of a chunk keeps that chunk's first frame only; silence shows no
// progress and services no events.
Status PassSegment(GeneratorState& s, WindowOps& w, std::size_t segment, Rendering& r, RenderPool& pool,
                   const AudioSink& sink) {
    const bool tone = r.segments[segment].tone >= 0;
    const double samples = r.segments[segment].frames;
    std::int32_t nextEvents = kEventsEvery;
    for (std::size_t i = r.firstChunk[segment]; i < r.firstChunk[segment + 1]; ++i) {
        const Chunk& c = r.chunks[i];
        if (tone && c.first >= nextEvents) {
            w.do_events();
            nextEvents = (c.first / kEventsEvery + 1) * kEventsEvery;
        }
        const RenderPool::Rendered rendered = pool.take(i);
        const std::span<const std::uint8_t> bytes = s.bAbort ? rendered.bytes.first(r.frameBytes) : rendered.bytes;
        if (Status stored = sink(bytes); !stored) return stored;
        s.iWritePos += static_cast<std::int32_t>(bytes.size());
        if (tone) ShowFramesDone(w, c.first, s.bAbort ? c.first + 1 : c.first + c.count, samples);
        pool.release(i);
        if (s.bAbort) break;
    }
    return {};
}

}  // namespace

Status Generate_Audio_Data(GeneratorState& s, WindowOps& w, std::uint64_t runSeed, unsigned workers,
                           const AudioSink& sink) {
    s.dPhaseScale = (s.dPi + s.dPi) / s.iSampleRate;
    Rendering rendering;
    PlanRendering(rendering, s, runSeed);
    RenderPool pool(rendering.job, rendering.chunks, workers,
                    static_cast<std::size_t>(rendering.maxFrames) * rendering.frameBytes);

    s.bAbort = false;
    w.set_enabled(Control::Abort, true);
    s.iWritePos = 0;

    Status outcome;
    for (std::size_t i = 0; i < rendering.segments.size(); ++i) {
        const int k = rendering.segments[i].tone;
        if (k < 0) {  // silence
            outcome = PassSegment(s, w, i, rendering, pool, sink);
            if (!outcome) break;
            continue;
        }
        s.iLastTone = k;
        s.lastPass = rendering.segments[i].pass;
        ShowToneStart(s, w, k, s.lastPass, rendering.tonesPlayed++);
        outcome = PassSegment(s, w, i, rendering, pool, sink);
        if (!outcome) break;
        w.set_progress(Control::Progress1, 1, true);
        if (s.bAbort) break;
    }

    w.set_enabled(Control::Abort, false);
    w.set_caption(s.sAppTitle);
    if (outcome && s.iSteps == 0 && s.signalFrames.passes == 1) w.set_progress(Control::Progress2, 1, false);
    return outcome;
}

}  // namespace sweepwav
