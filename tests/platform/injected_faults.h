// Faults of the system injected under the file writer. The C library's
// close(), fdatasync() and linkat() are replaced, for this whole test
// program, by functions that pass every call through unless a test asks for
// a fault.
#pragma once

#include <atomic>

namespace injected {

// Makes closing a descriptor open for writing only (the writer's new file)
// fail with this error number, as network and quota-limited file systems
// do when the data cannot be stored; 0: no fault.
inline std::atomic<int> closeError{0};

// Makes fdatasync() fail with this error number, as a disk that cannot
// store the data does; 0: no fault.
inline std::atomic<int> syncError{0};

// Raises this signal right after a link succeeds, as if it had landed
// there; 0: no signal.
inline std::atomic<int> signalAfterLink{0};

}  // namespace injected
