// The processor's floating-point modes (x87 precision and rounding, SSE
// rounding and denormal handling) as the program started with them. A
// system dialog may load code that changes them on the window's thread (the
// file dialogs under Wine do), and synthesis would then compute other
// samples: every command puts them back first.
#pragma once

#include <cstdint>

namespace sweepwav {

class FloatState {
public:
    // Notes the modes in force now.
    FloatState();
    // Puts the noted modes back on the calling thread.
    void restore() const;

private:
    std::uint16_t x87_ = 0;
    std::uint32_t sse_ = 0;
};

}  // namespace sweepwav
