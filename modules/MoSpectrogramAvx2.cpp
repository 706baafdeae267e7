// The voices of MoSpectrogram.cpp again, all eight in one AVX register, and
// their mix: the same arithmetic in the same order as the SSE2 form (no fused
// multiply-adds), so both give the same samples to the bit. Chosen at run
// time on processors with AVX2. Every function carries the target attribute
// itself, so nothing here leaks into the SSE2 code.
#include <immintrin.h>

#include <algorithm>

#include "modules/MoSpectrogram.h"

#define LUMAVOX_AVX2 __attribute__((target("avx2"), always_inline)) inline

namespace audio {
namespace {

constexpr float kOutputLevel = 0.7f;
constexpr int kGrainStep = 256;

// Four (left, right, left, right) table frames per voice, as lanes of the
// sample and its right neighbour for each channel. Voice v's frames go into
// the low half (v < 4) or the high half, so that the in-half transpose leaves
// lane v holding voice v.
struct Pairs {
    __m256 left, right, nextLeft, nextRight;
};

LUMAVOX_AVX2 __m256 framesOf(const float* low, const float* high) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(low)), _mm_loadu_ps(high), 1);
}

LUMAVOX_AVX2 Pairs gather(const float* const* columns, __m256i index) {
    alignas(32) int at[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), _mm256_add_epi32(index, index));
    const __m256 r0 = framesOf(columns[0] + at[0], columns[4] + at[4]);
    const __m256 r1 = framesOf(columns[1] + at[1], columns[5] + at[5]);
    const __m256 r2 = framesOf(columns[2] + at[2], columns[6] + at[6]);
    const __m256 r3 = framesOf(columns[3] + at[3], columns[7] + at[7]);
    const __m256 t0 = _mm256_unpacklo_ps(r0, r1), t1 = _mm256_unpackhi_ps(r0, r1);
    const __m256 t2 = _mm256_unpacklo_ps(r2, r3), t3 = _mm256_unpackhi_ps(r2, r3);
    return {_mm256_shuffle_ps(t0, t2, 0x44), _mm256_shuffle_ps(t0, t2, 0xEE),
            _mm256_shuffle_ps(t1, t3, 0x44), _mm256_shuffle_ps(t1, t3, 0xEE)};
}

LUMAVOX_AVX2 __m256 select(__m256 mask, __m256 yes, __m256 no) {
    return _mm256_blendv_ps(no, yes, mask);
}

// Rows r[0..7] (frames) of eight lanes (voices) into rows of eight frames.
LUMAVOX_AVX2 void transpose(__m256 (&r)[8]) {
    const __m256 t0 = _mm256_unpacklo_ps(r[0], r[1]), t1 = _mm256_unpackhi_ps(r[0], r[1]);
    const __m256 t2 = _mm256_unpacklo_ps(r[2], r[3]), t3 = _mm256_unpackhi_ps(r[2], r[3]);
    const __m256 t4 = _mm256_unpacklo_ps(r[4], r[5]), t5 = _mm256_unpackhi_ps(r[4], r[5]);
    const __m256 t6 = _mm256_unpacklo_ps(r[6], r[7]), t7 = _mm256_unpackhi_ps(r[6], r[7]);
    const __m256 u0 = _mm256_shuffle_ps(t0, t2, 0x44), u1 = _mm256_shuffle_ps(t0, t2, 0xEE);
    const __m256 u2 = _mm256_shuffle_ps(t1, t3, 0x44), u3 = _mm256_shuffle_ps(t1, t3, 0xEE);
    const __m256 u4 = _mm256_shuffle_ps(t4, t6, 0x44), u5 = _mm256_shuffle_ps(t4, t6, 0xEE);
    const __m256 u6 = _mm256_shuffle_ps(t5, t7, 0x44), u7 = _mm256_shuffle_ps(t5, t7, 0xEE);
    r[0] = _mm256_permute2f128_ps(u0, u4, 0x20);
    r[1] = _mm256_permute2f128_ps(u1, u5, 0x20);
    r[2] = _mm256_permute2f128_ps(u2, u6, 0x20);
    r[3] = _mm256_permute2f128_ps(u3, u7, 0x20);
    r[4] = _mm256_permute2f128_ps(u0, u4, 0x31);
    r[5] = _mm256_permute2f128_ps(u1, u5, 0x31);
    r[6] = _mm256_permute2f128_ps(u2, u6, 0x31);
    r[7] = _mm256_permute2f128_ps(u3, u7, 0x31);
}

// math::softClip, lane by lane, then the output level.
LUMAVOX_AVX2 __m256 clipToOutput(__m256 x) {
    const __m256 cubic = _mm256_sub_ps(
        x, _mm256_mul_ps(_mm256_mul_ps(_mm256_mul_ps(_mm256_set1_ps(0.15f), x), x), x));
    const __m256 high = _mm256_cmp_ps(x, _mm256_set1_ps(1.5f), _CMP_GT_OQ);
    const __m256 low = _mm256_cmp_ps(x, _mm256_set1_ps(-1.5f), _CMP_LT_OQ);
    const __m256 clipped =
        select(low, _mm256_set1_ps(-1.f), select(high, _mm256_set1_ps(1.f), cubic));
    return _mm256_mul_ps(clipped, _mm256_set1_ps(kOutputLevel));
}

}  // namespace

__attribute__((target("avx2"))) void MoSpectrogram::renderAndMixAvx2(int frames,
                                                                     const WaveTableSet& tables,
                                                                     float gain,
                                                                     const int* active) noexcept {
    const __m256 grainEnd = _mm256_set1_ps(tables.grainEnd);
    const __m256 inverseFade =
        _mm256_set1_ps(tables.fadeLength != 0.f ? 1.f / tables.fadeLength : 1.f);
    const __m256 one = _mm256_set1_ps(1.f);
    const __m256 zero = _mm256_setzero_ps();
    const __m256 grainMiddle = _mm256_set1_ps(256.f);
    const __m256 gains = _mm256_set1_ps(gain);
    // Added for a voice that is not playing: -0 leaves every sum as it is,
    // +0 included, just as leaving the voice out does.
    const __m256 silent = _mm256_set1_ps(-0.f);
    auto columnOf = [&tables](float c) {
        const int index = c > 0.f ? static_cast<int>(c) : 0;
        return &tables.wave[index < kPictureWidth ? index : kPictureWidth][0][0];
    };
    alignas(32) int activeBits[kVoices];
    const float* a[kVoices];
    const float* b[kVoices];
    for (int v = 0; v < kVoices; ++v) {
        activeBits[v] = active[v] ? -1 : 0;
        a[v] = columnOf(grainColumnA_[v]);
        b[v] = columnOf(grainColumnB_[v]);
    }
    const __m256 isActive =
        _mm256_castsi256_ps(_mm256_load_si256(reinterpret_cast<const __m256i*>(activeBits)));
    const int activeLanes = _mm256_movemask_ps(isActive);
    if (!activeLanes) {
        for (int v = 0; v < kVoices; ++v)
            for (int f = 0; f < frames; ++f)
                envelopeCurrent_[v] += envelopeStep_[v];
        std::fill_n(output.samples, 2 * frames, 0.f);
        return;
    }
    __m256 phase = _mm256_loadu_ps(phase_);
    const __m256 step = _mm256_and_ps(_mm256_loadu_ps(step_), isActive);
    __m256 level = _mm256_loadu_ps(envelopeCurrent_);
    const __m256 levelStep = _mm256_loadu_ps(envelopeStep_);

    // Each frame's eight voices, frames padded to a whole number of eights.
    alignas(32) float voices[2][kMaxFrames + 8][kVoices];  // [channel][frame][voice]
    for (int f = 0; f < frames; ++f) {
        level = _mm256_add_ps(level, levelStep);
        phase = _mm256_add_ps(phase, step);
        const int wrapped =
            _mm256_movemask_ps(_mm256_cmp_ps(phase, grainEnd, _CMP_GE_OQ)) & activeLanes;
        if (wrapped) {
            alignas(32) float lanes[kVoices];
            _mm256_store_ps(lanes, phase);
            for (int v = 0; v < kVoices; ++v) {
                if (!(wrapped & (1 << v))) continue;
                do
                    lanes[v] -= kGrainStep;
                while (lanes[v] >= tables.grainEnd);
                grainColumnA_[v] = grainColumnB_[v];
                grainColumnB_[v] = position_[v];
                a[v] = columnOf(grainColumnA_[v]);
                b[v] = columnOf(grainColumnB_[v]);
            }
            phase = _mm256_load_ps(lanes);
        }
        const __m256i j = _mm256_cvttps_epi32(phase);
        const __m256 u = _mm256_sub_ps(phase, _mm256_cvtepi32_ps(j));
        const Pairs pa = gather(a, j);
        const __m256 last = _mm256_cmp_ps(_mm256_add_ps(phase, one), grainEnd, _CMP_GE_OQ);
        const __m256 oneMinusU = _mm256_sub_ps(one, u);
        __m256 sampleLeft = _mm256_add_ps(_mm256_mul_ps(oneMinusU, pa.left),
                                          _mm256_mul_ps(u, select(last, pa.left, pa.nextLeft)));
        __m256 sampleRight = _mm256_add_ps(_mm256_mul_ps(oneMinusU, pa.right),
                                           _mm256_mul_ps(u, select(last, pa.right, pa.nextRight)));
        const __m256 d = _mm256_sub_ps(phase, grainMiddle);
        const __m256 fading = _mm256_cmp_ps(d, zero, _CMP_GE_OQ);
        if (_mm256_movemask_ps(fading) & activeLanes) {
            const __m256 dk = _mm256_max_ps(d, zero);
            const __m256i k = _mm256_cvttps_epi32(dk);
            const __m256 w = _mm256_sub_ps(dk, _mm256_cvtepi32_ps(k));
            const __m256 oneMinusW = _mm256_sub_ps(one, w);
            const Pairs pb = gather(b, k);
            const __m256 inLeft =
                _mm256_add_ps(_mm256_mul_ps(oneMinusW, pb.left), _mm256_mul_ps(w, pb.nextLeft));
            const __m256 inRight =
                _mm256_add_ps(_mm256_mul_ps(oneMinusW, pb.right), _mm256_mul_ps(w, pb.nextRight));
            const __m256 x = _mm256_mul_ps(d, inverseFade);
            const __m256 oneMinusX = _mm256_sub_ps(one, x);
            sampleLeft = select(
                fading,
                _mm256_add_ps(_mm256_mul_ps(sampleLeft, oneMinusX), _mm256_mul_ps(inLeft, x)),
                sampleLeft);
            sampleRight = select(
                fading,
                _mm256_add_ps(_mm256_mul_ps(sampleRight, oneMinusX), _mm256_mul_ps(inRight, x)),
                sampleRight);
        }
        _mm256_store_ps(
            voices[0][f],
            select(isActive, _mm256_mul_ps(_mm256_mul_ps(sampleLeft, gains), level), silent));
        _mm256_store_ps(
            voices[1][f],
            select(isActive, _mm256_mul_ps(_mm256_mul_ps(sampleRight, gains), level), silent));
    }
    _mm256_storeu_ps(phase_, phase);
    _mm256_storeu_ps(envelopeCurrent_, level);

    // Eight frames at a time: turned so that each row holds one voice, then
    // summed voice 0 first, as the frame-by-frame mix does.
    for (int f = frames; f < (frames + 7) / 8 * 8; ++f) {
        _mm256_store_ps(voices[0][f], silent);
        _mm256_store_ps(voices[1][f], silent);
    }
    for (int f = 0; f < frames; f += 8) {
        __m256 mix[2];
        for (int c = 0; c < 2; ++c) {
            __m256 rows[8];
            for (int r = 0; r < 8; ++r)
                rows[r] = _mm256_load_ps(voices[c][f + r]);
            transpose(rows);
            __m256 sum = zero;
            for (int v = 0; v < kVoices; ++v)
                sum = _mm256_add_ps(sum, rows[v]);
            mix[c] = clipToOutput(sum);
        }
        const __m256 low = _mm256_unpacklo_ps(mix[0], mix[1]);
        const __m256 high = _mm256_unpackhi_ps(mix[0], mix[1]);
        alignas(32) float interleaved[16];
        _mm256_store_ps(interleaved, _mm256_permute2f128_ps(low, high, 0x20));
        _mm256_store_ps(interleaved + 8, _mm256_permute2f128_ps(low, high, 0x31));
        const int n = frames - f < 8 ? frames - f : 8;
        std::copy_n(interleaved, 2 * n, output.samples + 2 * f);
    }
}

}  // namespace audio
