// The sound server's libraries, loaded by name when Play first needs them.
#include "pulse_library.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PulseLibrary, FindsEveryFunctionOrNamesTheLibraryThatFailed) {
    const std::string none = "the sound server's library libsweepwav-none.so.0 could not be loaded "
                             "(cannot open shared object file: No such file or directory)";
    const struct {
        const char* simple;
        const char* pulse;
        std::string reason;  // empty: loaded
    } cases[] = {
        {sweepwav::kPulseSimpleLibrary, sweepwav::kPulseLibrary, ""},
        {"libsweepwav-none.so.0", sweepwav::kPulseLibrary, none},
        {sweepwav::kPulseSimpleLibrary, "libsweepwav-none.so.0", none},
        {sweepwav::kPulseLibrary, sweepwav::kPulseLibrary,
         "the sound server's library libpulse.so.0 could not be loaded (no function pa_simple_new)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.simple) + " " + c.pulse);
        sweepwav::PulseFunctions functions;
        const sweepwav::Status loaded = sweepwav::LoadPulseFunctions(functions, c.simple, c.pulse);
        EXPECT_EQ(loaded.reason(), c.reason);
        EXPECT_EQ(loaded.kind(), c.reason.empty() ? sweepwav::FailureKind::Other : sweepwav::FailureKind::Missing);
        if (!c.reason.empty()) continue;
#define EXPECT_FOUND(library, function) EXPECT_NE(functions.function, nullptr) << #function;
        SWEEPWAV_PULSE_FUNCTIONS(EXPECT_FOUND)
#undef EXPECT_FOUND
    }
}

}  // namespace
