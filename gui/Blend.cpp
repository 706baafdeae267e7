#include "gui/Blend.h"

#include <emmintrin.h>

namespace gui {
namespace {

std::uint32_t opacityOf(std::uint32_t pixel, std::uint32_t opacity) {
    const std::uint32_t alpha = pixel >> 24;
    return opacity == 255 ? alpha : divideBy255(alpha * opacity);
}

// Four pixels at once in 16-bit lanes, by the very arithmetic of blendPixel:
// s x a + d x (255 - a) never exceeds 255 x 255, so it fits a lane.
inline __m128i divideBy255(__m128i x) {
    x = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

// Two pixels' channels spread to 16 bits, with their opacity in every lane
// of its pixel.
inline __m128i blendTwo(__m128i source, __m128i destination, __m128i alpha) {
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
    return divideBy255(
        _mm_add_epi16(_mm_mullo_epi16(source, alpha), _mm_mullo_epi16(destination, inverse)));
}

}  // namespace

void blendRow(std::uint32_t* destination, const std::uint32_t* source, int count,
              std::uint32_t opacity, bool skipKey) {
    int i = 0;
    if (!skipKey) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        const __m128i scale = _mm_set1_epi16(static_cast<short>(opacity));
        for (; i + 4 <= count; i += 4) {
            const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(destination + i));
            // Each pixel's alpha in the four 16-bit lanes of its channels.
            __m128i a = _mm_srli_epi32(s, 24);
            a = _mm_or_si128(a, _mm_slli_epi32(a, 16));
            __m128i aLow = _mm_unpacklo_epi32(a, a);
            __m128i aHigh = _mm_unpackhi_epi32(a, a);
            if (opacity != 255) {
                aLow = divideBy255(_mm_mullo_epi16(aLow, scale));
                aHigh = divideBy255(_mm_mullo_epi16(aHigh, scale));
            }
            const __m128i low =
                blendTwo(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), aLow);
            const __m128i high =
                blendTwo(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), aHigh);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + i),
                             _mm_or_si128(_mm_packus_epi16(low, high), opaque));
        }
    }
    for (; i < count; ++i) {
        const std::uint32_t s = source[i];
        if (skipKey && (s & 0x00FFFFFFu) == kTransparentKey) continue;
        destination[i] = blendPixel(s, destination[i], opacityOf(s, opacity));
    }
}

}  // namespace gui
