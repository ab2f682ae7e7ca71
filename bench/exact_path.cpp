// The exact-sample path at its busiest: a tone at a quarter of the rate
// puts every other sample on a peak, and an amplitude exactly half-way
// between two codes sends every peak to the correctly rounded sine. Renders
// 2^21 frames of it and of a tone of an ordinary amplitude, in turns, on
// this thread, and prints the median of the per-round ratios of CPU time:
//   sweepwav_exact_path ROUNDS   ->   "<16-bit ratio> <24-bit ratio>"
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <numbers>
#include <utility>
#include <vector>

#include "synth/tone_render.h"

namespace {

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// CPU seconds to render 16 chunks of 2^17 frames at the amplitude.
double RenderSeconds(int bits, double amplitude) {
    const double freq[] = {48000}, amp[] = {amplitude};
    const sweepwav::RenderJob job{freq, amp, 2 * std::numbers::pi / 192000, sweepwav::IntegerPcm(bits), 1, false, 0, 0,
                                  {}, 1};
    static std::vector<std::uint8_t> out(3 * (std::size_t{1} << 17) + sweepwav::kRenderSlack);
    const double start = ThreadSeconds();
    for (std::int32_t c = 0; c < 16; ++c) sweepwav::RenderChunk(job, {0, c << 17, std::int32_t{1} << 17}, out.data());
    return ThreadSeconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    for (const auto& [bits, half] : {std::pair{16, 1002.5}, std::pair{24, 4194304.5}}) {
        std::vector<double> ratios;
        for (int r = 0; r < rounds; ++r) {
            const double ordinary = RenderSeconds(bits, half - 0.25);
            ratios.push_back(RenderSeconds(bits, half) / ordinary);
        }
        std::sort(ratios.begin(), ratios.end());
        std::printf("%s%.4f", bits == 16 ? "" : " ", ratios[ratios.size() / 2]);
    }
    std::printf("\n");
}
