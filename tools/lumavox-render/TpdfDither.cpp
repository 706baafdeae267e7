#include "tools/lumavox-render/TpdfDither.h"

#include <cmath>

namespace render {

std::int32_t TpdfDither::quantise(float x, int bits) {
    // Two uniform values in [0, 1) with 24 bits each: their difference is
    // triangular over (-1, 1), computed exactly in double precision.
    const double u1 = static_cast<double>(next() >> 40) * 0x1p-24;
    const double u2 = static_cast<double>(next() >> 40) * 0x1p-24;
    if (std::isnan(x)) return 0;
    const double full = std::ldexp(1.0, bits - 1);
    const double v = std::floor(static_cast<double>(x) * full + (u1 - u2) + 0.5);
    if (v >= full - 1.0) return static_cast<std::int32_t>(full - 1.0);
    if (v <= -full) return static_cast<std::int32_t>(-full);
    return static_cast<std::int32_t>(v);
}

}  // namespace render
