// Flushes denormal results to zero (and masks the underflow exception) on the
// calling thread for the guard's scope, then gives the host back its own
// floating-point setting. Decaying tails of recursive filters would otherwise
// slow the audio thread down by orders of magnitude.
#pragma once

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define LUMAVOX_HAVE_MXCSR 1
#endif

namespace platform {

class DenormalGuard {
  public:
#ifdef LUMAVOX_HAVE_MXCSR
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kUnderflowMask = 0x0800;

    DenormalGuard() : saved_(_mm_getcsr()) {
        _mm_setcsr(saved_ | kFlushToZero | kUnderflowMask);
    }
    ~DenormalGuard() {
        _mm_setcsr(saved_);
    }

  private:
    unsigned saved_;
#else
    DenormalGuard() = default;
#endif

  public:
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;
};

}  // namespace platform
