// The sound server's client libraries, loaded when the program first plays
// rather than at every start: linked in, they and what they pull in would
// take longer to load than the rest of a short run. Their headers still give
// every function's type.
#pragma once

#include <pulse/error.h>
#include <pulse/pulseaudio.h>
#include <pulse/simple.h>

#include "core/result.h"

namespace sweepwav {

// The libraries by their stable names, as the system's loader finds them.
inline constexpr const char* kPulseSimpleLibrary = "libpulse-simple.so.0";
inline constexpr const char* kPulseLibrary = "libpulse.so.0";

// Every function Play calls, with the library that has it: simple (the
// simple API's library) or pulse (the main client library).
#define SWEEPWAV_PULSE_FUNCTIONS(X)            \
    X(simple, pa_simple_new)                   \
    X(simple, pa_simple_write)                 \
    X(simple, pa_simple_get_latency)           \
    X(simple, pa_simple_drain)                 \
    X(simple, pa_simple_flush)                 \
    X(simple, pa_simple_free)                  \
    X(pulse, pa_strerror)                      \
    X(pulse, pa_usec_to_bytes)                 \
    X(pulse, pa_channel_map_init_extend)       \
    X(pulse, pa_sample_spec_snprint)           \
    X(pulse, pa_format_info_is_pcm)            \
    X(pulse, pa_format_info_snprint)           \
    X(pulse, pa_mainloop_new)                  \
    X(pulse, pa_mainloop_get_api)              \
    X(pulse, pa_mainloop_iterate)              \
    X(pulse, pa_mainloop_free)                 \
    X(pulse, pa_context_new)                   \
    X(pulse, pa_context_connect)               \
    X(pulse, pa_context_set_state_callback)    \
    X(pulse, pa_context_get_state)             \
    X(pulse, pa_context_get_sink_info_by_name) \
    X(pulse, pa_context_disconnect)            \
    X(pulse, pa_context_unref)                 \
    X(pulse, pa_operation_unref)

// The functions, called through these pointers (pulse.pa_simple_new(...)).
struct PulseFunctions {
#define SWEEPWAV_PULSE_POINTER(library, function) decltype(&::function) function = nullptr;
    SWEEPWAV_PULSE_FUNCTIONS(SWEEPWAV_PULSE_POINTER)
#undef SWEEPWAV_PULSE_POINTER
};

// Loads the two libraries by the names given and finds every function in
// its own library. A library that cannot be loaded, or lacks a function, is
// a Missing failure that names it, as a sound server that is not there is:
// "the sound server's library libpulse.so.0 could not be loaded (...)".
// The libraries stay loaded for the rest of the run.
Status LoadPulseFunctions(PulseFunctions& functions, const char* simpleLibrary, const char* pulseLibrary);

}  // namespace sweepwav
