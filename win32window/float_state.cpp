#include "win32window/float_state.h"

#include <xmmintrin.h>

namespace sweepwav {

FloatState::FloatState() {
    __asm__ volatile("fnstcw %0" : "=m"(x87_));
    sse_ = _mm_getcsr();
}

void FloatState::restore() const {
    __asm__ volatile("fldcw %0" : : "m"(x87_));
    _mm_setcsr(sse_);
}

}  // namespace sweepwav
