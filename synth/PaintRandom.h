// The pseudo-random numbers of the editor's spray: the generator of the
// Windows C runtime (the instrument's original platform), 0 to 32767,
// seeded with 5 whenever an instance is made. It is ours rather than the
// system's rand, so that the same strokes spray the same dots on every
// build (glibc's rand has another sequence and range, and the Windows one
// keeps a state per thread, which the editor's thread would never see
// seeded). One process-wide state, as the C library's.
#pragma once

#include <atomic>
#include <cstdint>

namespace synth {

class PaintRandom {
  public:
    static void seed(std::uint32_t value) { state().store(value, std::memory_order_relaxed); }
    // The editor's thread.
    static int next() {
        std::uint32_t s = state().load(std::memory_order_relaxed) * 214013u + 2531011u;
        state().store(s, std::memory_order_relaxed);
        return static_cast<int>((s >> 16) & 0x7FFF);
    }

  private:
    static std::atomic<std::uint32_t>& state() {
        static std::atomic<std::uint32_t> s{1};
        return s;
    }
};

}  // namespace synth
