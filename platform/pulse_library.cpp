#include "pulse_library.h"

#include <dlfcn.h>

#include <string>
#include <string_view>

namespace sweepwav {

namespace {

Status NotLoaded(const char* library, std::string why) {
    return Status::Failure(FailureKind::Missing,
                           "the sound server's library " + std::string(library) + " could not be loaded (" + why + ")");
}

// The loader's reason, without the library's name in front where it has
// put it there ("libpulse.so.0: cannot open shared object file: ...").
std::string LoaderReason(const char* library) {
    const char* error = dlerror();
    std::string_view reason = error ? error : "unknown error";
    const std::string prefix = std::string(library) + ": ";
    if (reason.starts_with(prefix)) reason.remove_prefix(prefix.size());
    return std::string(reason);
}

}  // namespace

Status LoadPulseFunctions(PulseFunctions& functions, const char* simpleLibrary, const char* pulseLibrary) {
    struct Library {
        void* handle;
        const char* name;
    };
    const Library pulse{dlopen(pulseLibrary, RTLD_NOW | RTLD_LOCAL), pulseLibrary};
    if (pulse.handle == nullptr) return NotLoaded(pulseLibrary, LoaderReason(pulseLibrary));
    const Library simple{dlopen(simpleLibrary, RTLD_NOW | RTLD_LOCAL), simpleLibrary};
    if (simple.handle == nullptr) return NotLoaded(simpleLibrary, LoaderReason(simpleLibrary));
    // Each function is looked up in its own library (and what that one
    // loads), never taken from some other library of the process.
#define SWEEPWAV_PULSE_FIND(library, function)                                      \
    if (void* const address = dlsym(library.handle, #function)) {                   \
        functions.function = reinterpret_cast<decltype(&::function)>(address);      \
    } else {                                                                        \
        return NotLoaded(library.name, "no function " #function);                   \
    }
    SWEEPWAV_PULSE_FUNCTIONS(SWEEPWAV_PULSE_FIND)
#undef SWEEPWAV_PULSE_FIND
    return {};
}

}  // namespace sweepwav
