#include "synth/shaped_render.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "synth/dither_source.h"

namespace sweepwav {

namespace {

std::uint32_t AllChannels(const RenderJob& job) { return (std::uint32_t(1) << job.channels) - 1; }

std::uint32_t PassChannels(const RenderJob& job, int pass) {
    const auto p = static_cast<std::size_t>(pass);
    return p < job.passChannels.size() ? job.passChannels[p] : AllChannels(job);
}

// The raised-cosine envelope of frame n of the chunk's tone: rising from 0
// over the first rampFrames frames, falling to 0 over the last.
double Envelope(const RenderJob& job, const Chunk& chunk, std::int32_t n) {
    const std::int32_t r = job.rampFrames;
    if (chunk.rampIn && n < r) return 0.5 - 0.5 * std::cos(std::numbers::pi * n / r);
    const std::int32_t fromEnd = chunk.toneFrames - 1 - n;
    if (chunk.rampOut && fromEnd < r) return 0.5 - 0.5 * std::cos(std::numbers::pi * fromEnd / r);
    return 1;
}

void Keep(double sample, std::uint32_t code, int bytes, double& value, std::uint8_t (&container)[3]) {
    value = sample;
    for (int j = 0; j < bytes; ++j) container[j] = static_cast<std::uint8_t>(code >> (8 * j));
}

}  // namespace

bool NeedsShaping(const RenderJob& job, const Chunk& chunk) {
    if (chunk.pass != 0 || PassChannels(job, chunk.pass) != AllChannels(job)) return true;
    const std::int32_t r = job.rampFrames;
    if (r <= 0) return false;
    return (chunk.rampIn && chunk.first < r) || (chunk.rampOut && chunk.first + chunk.count > chunk.toneFrames - r);
}

ChunkEnds RenderSilence(const RenderJob& job, const Chunk& chunk, std::uint8_t* out) {
    std::memset(out, 0, static_cast<std::size_t>(chunk.count) * static_cast<std::size_t>(job.frameBytes()));
    return {};
}

ChunkEnds RenderShaped(const RenderJob& job, const Chunk& chunk, std::uint8_t* out) {
    const double freq = job.freq[static_cast<std::size_t>(chunk.tone)];
    const double amplitude = job.amplitude[static_cast<std::size_t>(chunk.tone)];
    const double maxCode = std::ldexp(1.0, job.bits - 1) - 1;
    const double minCode = -std::ldexp(1.0, job.bits - 1);
    const double justify = job.bits > 16 ? std::ldexp(1.0, 24 - job.bits) : 1.0;
    const std::uint32_t carried = PassChannels(job, chunk.pass);
    // Each pass of a tone has dither of its own.
    DitherSource dither(job.runSeed, static_cast<std::uint64_t>(chunk.tone + chunk.pass * job.tones));
    if (job.dither) dither.Skip(static_cast<std::uint64_t>(chunk.first));

    ChunkEnds ends;
    const std::int32_t end = chunk.first + chunk.count;
    for (std::int32_t n = chunk.first; n < end; ++n) {
        double sample = std::sin(n * job.phaseScale * freq) * amplitude;
        sample *= Envelope(job, chunk, n);
        if (job.dither) {
            float r1, r2;
            dither.NextPair(r1, r2);
            sample = sample + ((r2 + r1) - 1.0f);
        }
        sample = std::nearbyint(sample);
        if (sample > maxCode) sample = maxCode;
        if (sample < minCode) sample = minCode;
        sample *= justify;
        const auto code = static_cast<std::uint32_t>(static_cast<std::int32_t>(sample));
        for (int c = 0; c < job.channels; ++c) {
            const std::uint32_t v = (carried >> c) & 1 ? code : 0;
            for (int j = 0; j < job.bytesPerSample; ++j) *out++ = static_cast<std::uint8_t>(v >> (8 * j));
        }
        if (n == chunk.first) Keep(sample, code, job.bytesPerSample, ends.firstSample, ends.firstBytes);
        if (n + 1 == end) Keep(sample, code, job.bytesPerSample, ends.lastSample, ends.lastBytes);
    }
    return ends;
}

}  // namespace sweepwav
