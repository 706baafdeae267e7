// One feedback comb run over a run of frames at once: the comb's delay is
// longer than any sub-block, so within one the frames read only what earlier
// sub-blocks wrote and do not depend on each other. For frame i of n:
//   v = read[i] x gain;  write[i] = in[i] + v;  sum[i] += v.
// read and write point into the comb's line (already unwrapped by the
// caller); the ranges do not overlap. SSE2 always, AVX2 where the processor
// has it.
#pragma once

namespace audio {

void runComb(const float* read, float* write, const float* in, float* sum, float gain,
             int n) noexcept;

// The two implementations, visible so that tests can hold both to the same results.
void runCombSse2(const float* read, float* write, const float* in, float* sum, float gain,
                 int n) noexcept;
void runCombAvx2(const float* read, float* write, const float* in, float* sum, float gain,
                 int n) noexcept;

}  // namespace audio
