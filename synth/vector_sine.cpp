#include "synth/vector_sine.h"

#include <cstdlib>
#include <cstring>

// glibc's vector math library on x86-64: its sine in 4 lanes for AVX2 and in
// 8 for AVX-512, under the names of the x86-64 vector function ABI. The
// build defines SWEEPWAV_VECTOR_SINE only where it links that library.
#if defined(SWEEPWAV_VECTOR_SINE) && defined(__x86_64__) && defined(__GLIBC__)
#define SWEEPWAV_HAVE_VECTOR_SINE 1
#include <immintrin.h>
#endif

namespace sweepwav {

namespace {

#ifdef SWEEPWAV_HAVE_VECTOR_SINE
// Only these functions use the wider registers; the rest of the program
// runs on any x86-64 CPU.
extern "C" __attribute__((target("avx2"))) __m256d _ZGVdN4v_sin(__m256d);
extern "C" __attribute__((target("avx512f"))) __m512d _ZGVeN8v_sin(__m512d);

__attribute__((target("avx2"))) void SinesAvx2(const double* x, double* out, std::size_t count) {
    for (std::size_t i = 0; i < count; i += 4) _mm256_storeu_pd(out + i, _ZGVdN4v_sin(_mm256_loadu_pd(x + i)));
}

__attribute__((target("avx512f"))) void SinesAvx512(const double* x, double* out, std::size_t count) {
    for (std::size_t i = 0; i < count; i += 8) _mm512_storeu_pd(out + i, _ZGVeN8v_sin(_mm512_loadu_pd(x + i)));
}
#endif

bool ScalarAsked() {
    const char* value = std::getenv("SWEEPWAV_SCALAR_SINE");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

VectorSine Choose() {
    if (ScalarAsked()) return {};
#ifdef SWEEPWAV_HAVE_VECTOR_SINE
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f")) return {"AVX-512", &SinesAvx512};
    if (__builtin_cpu_supports("avx2")) return {"AVX2", &SinesAvx2};
#endif
    return {};
}

}  // namespace

const VectorSine& ChosenVectorSine() {
    static const VectorSine chosen = Choose();
    return chosen;
}

}  // namespace sweepwav
