// A sound output for the form's tests: a device that plays what it is given
// at once and keeps nothing, or, when told, none at all.
#pragma once

#include <memory>

#include "core/audio_output.h"

namespace sweepwav::testing {

struct QuietDevice : AudioOutput {
    Result<std::unique_ptr<AudioStream>> open(const AudioFormat&) override {
        if (missing) return Status::Failure(FailureKind::Missing, "there is no output device");
        return std::unique_ptr<AudioStream>(std::make_unique<Stream>());
    }
    struct Stream : AudioStream {
        Status write(std::span<const std::uint8_t>) override { return {}; }
        Result<std::uint64_t> unplayed_bytes() override { return std::uint64_t{0}; }
        void wait(int) override {}
        Status drain() override { return {}; }
        void discard() override {}
    };
    bool missing = false;
};

}  // namespace sweepwav::testing
