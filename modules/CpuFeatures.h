// What the processor offers beyond the SSE2 baseline of every x86 build, for
// the kernels that pick a wider path at run time.
#pragma once

namespace math {

// AVX2 and FMA, and an OS that saves the AVX registers.
bool cpuHasAvx2();

}  // namespace math
