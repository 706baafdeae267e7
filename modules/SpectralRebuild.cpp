// Each picture row is a partial. With e = (r + tune offset - 16) x row scale,
// sound row r targets bin trunc(e + 16) (linear spacing) or trunc(16 x
// 2^(e/64)) (logarithmic); bin 16 is the note's fundamental. A cursor walks
// the bins upwards through the rows of a column; a row writes its bin only
// when it moves the cursor, so where rows share a bin only the lowest is
// heard, and the cursor step from bin 0 to 1 writes nothing. The phase of a
// partial comes from a seed that advances 25/256 per cursor step, scaled by
// Fat; starting the seed at 0, every seed is a multiple of 1/256, so the
// running float arithmetic is exact and can be computed per column without
// walking the cursor again (forEachPartial).
#include "modules/SpectralRebuild.h"

#include <emmintrin.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "modules/RealFft.h"

namespace audio {
namespace {

constexpr int kHighestBin = kTableLength / 2 - 1;

int targetBin(int soundRow, int tuneOffset, float rowScale, bool logarithmic) {
    const float e = static_cast<float>(soundRow + tuneOffset - 16) * rowScale;
    if (!logarithmic) return static_cast<int>(e + 16.f);
    const float exponent = e / 64.f;
    const float power = e >= 0.f ? math::fastPow2(exponent) : std::exp2(exponent);
    return static_cast<int>(16.f * power);
}

}  // namespace

void RowMap::build(const RebuildSettings& settings) {
    const int tuneOffset = static_cast<int>((settings.tune - 0.5f) * 512.f);
    const bool logarithmic = static_cast<int>(settings.log) != 0;
    const float rowScale = settings.range * 0.9f + 0.05f;
    const float tilt = settings.filter * 0.01f + 0.99f;
    float gain = 1.f;
    int cursor = 0;
    count = 0;
    for (int r = 0; r < kPictureHeight; ++r) {
        const int bin = targetBin(r, tuneOffset, rowScale, logarithmic);
        gain *= tilt;
        if (bin <= cursor) continue;
        // The last step onto the bin (cursor = bin - 1) is the one that writes
        // it, and only steps 1..510 write. Rows aiming past bin 511 (high
        // rows in logarithmic spacing) would land on other bins' imaginary
        // parts, so they are left out.
        if (bin >= 2 && bin <= kHighestBin) {
            const int q = bin - 1;
            rows[count++] = {(kPictureHeight - 1 - r) * kPictureWidth, bin, gain * 0.125f,
                             q % kSeedSteps, kSeedIncrement * q * q % kSeedSteps};
        }
        cursor = bin;
    }
    cursorEnd = cursor;

    const float* sineTable = math::tables().sine;
    for (int k = 0; k < kSeedSteps; ++k) {
        if (settings.fat == 0.f) {  // every partial in cosine phase
            phaseCosine[k] = 1.f;
            phaseSine[k] = 0.f;
            continue;
        }
        const float fraction = static_cast<float>(k) / static_cast<float>(kSeedSteps);
        const int index = static_cast<int>(fraction * settings.fat * 0.5f * 32768.f);
        phaseCosine[k] = sineTable[(index + math::kQuarterPeriod) & math::kSineMask];
        phaseSine[k] = sineTable[index & math::kSineMask];
    }
}

void rebuildWaveTables(const std::uint32_t* picture, const RebuildSettings& settings,
                       WaveTableSet& out) {
    RowMap map;
    map.build(settings);
    out.rowScale = settings.range * 0.9f + 0.05f;
    out.fadeLength = (1.f - settings.spike) * 256.f;
    out.grainEnd = 256.f + out.fadeLength;

    // Zero here, and again by the loop that copies each column out.
    alignas(16) float left[kTableLength] = {};
    alignas(16) float right[kTableLength] = {};
    const __m128 zero = _mm_setzero_ps();
    for (int x = 0; x < kPictureWidth; ++x) {
        // Amplitudes are never negative, so any bit set means a partial.
        std::uint32_t anyLeft = 0, anyRight = 0;
        forEachPartial(map, picture, x, [&](int bin, float cosine, float sine, float aL, float aR) {
            anyLeft |= std::bit_cast<std::uint32_t>(aL);
            anyRight |= std::bit_cast<std::uint32_t>(aR);
            left[bin] = cosine * aL;
            left[kTableLength - bin] = -sine * aL;
            right[bin] = cosine * aR;
            right[kTableLength - bin] = -sine * aR;
        });
        // A channel without partials stays exactly silent: the paired
        // transform would leave rounding noise of the other channel in it.
        if (anyLeft && anyRight) {
            fft::inverseRealFftPair(kTableLength, left, right);
        } else if (anyLeft) {
            fft::inverseRealFft(kTableLength, left);
        } else if (anyRight) {
            fft::inverseRealFft(kTableLength, right);
        }
        // 4 MB of tables that nobody reads before the rebuild ends: stored
        // past the caches, which saves reading every line in first. The
        // spectra are cleared for the next column on the way (a separate
        // memset of 4 KB costs more).
        float* column = &out.wave[x][0][0];
        for (int t = 0; t < kTableLength; t += 4) {
            const __m128 l = _mm_load_ps(left + t), r = _mm_load_ps(right + t);
            _mm_stream_ps(column + 2 * t, _mm_unpacklo_ps(l, r));
            _mm_stream_ps(column + 2 * t + 4, _mm_unpackhi_ps(l, r));
            _mm_store_ps(left + t, zero);
            _mm_store_ps(right + t, zero);
        }
    }
    // The streamed stores are ordered before whatever publishes the tables.
    _mm_sfence();
    std::memset(out.wave[kPictureWidth], 0, sizeof out.wave[kPictureWidth]);
}

}  // namespace audio
