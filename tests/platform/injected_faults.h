// Faults of the system injected under the file writer. The C library's
// close() is replaced, for this whole test program, by a function that
// passes every call through unless a test asks for a fault.
#pragma once

#include <atomic>

namespace injected {

// Makes closing a descriptor open for writing only (the writer's new file)
// fail with this error number, as network and quota-limited file systems
// do when the data cannot be stored; 0: no fault.
inline std::atomic<int> closeError{0};

}  // namespace injected
