#include "modules/CpuFeatures.h"

namespace math {

bool cpuHasAvx2() {
    static const bool supported = [] {
        // The first caller may be a static initialiser that runs before the
        // runtime has filled in the CPU model.
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    }();
    return supported;
}

}  // namespace math
