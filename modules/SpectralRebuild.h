// Turns a picture into wave tables: every column becomes one 1024-sample
// wave whose partials are the column's pixels, the bottom row the lowest
// partial, red the left channel and green the right.
#pragma once

#include <cstdint>

#include "modules/SharedMath.h"
#include "modules/WaveTables.h"

namespace audio {

// The parameter values a rebuild reads, 0..1 each.
struct RebuildSettings {
    float tune = 0.5f;
    float range = 0.5f;
    float log = 0.f;
    float fat = 0.f;
    float spike = 0.f;
    float filter = 1.f;

    bool operator==(const RebuildSettings&) const = default;
};

// Where the rows of a picture land in the spectrum: which bin each sound
// row writes, with its weight. The same for every column of one rebuild.
struct RowMap {
    struct Row {
        int soundRow;  // 0 = bottom
        int bin;       // 2..511; the cursor step that writes it is bin - 1
        float gain;    // tilt^(soundRow + 1)
    };
    Row rows[kPictureHeight];
    int count = 0;
    int cursorEnd = 0;  // cursor steps per column (the seed advances by as many)

    void build(const RebuildSettings& settings);
};

// Calls write(bin, cosine, sine, amplitudeLeft, amplitudeRight) for every
// partial of column x that sounds, lowest first. The phase seed advances
// 25/256 per cursor step from 0 at column 0; as every seed is a multiple of
// 1/256, the running float arithmetic is exact and computed here directly.
template <typename Write>
void forEachPartial(const RowMap& map, const std::uint32_t* picture, int x, float fat,
                    Write&& write) {
    constexpr int kSeedSteps = 256;
    constexpr int kSeedIncrement = 25;  // 0.09765625
    const float* sineTable = math::tables().sine;
    const int columnSeed =
        static_cast<int>((static_cast<long long>(x) * map.cursorEnd * kSeedIncrement) % kSeedSteps);
    for (int n = 0; n < map.count; ++n) {
        const RowMap::Row& row = map.rows[n];
        const std::uint32_t pixel =
            picture[(kPictureHeight - 1 - row.soundRow) * kPictureWidth + x];
        const int red = redOf(pixel), green = greenOf(pixel);
        if ((red | green) == 0) continue;
        float cosine = 1.f, sine = 0.f;  // Fat 0: every partial in cosine phase
        if (fat != 0.f) {
            const int q = row.bin - 1;
            const int seed = (columnSeed + q * kSeedIncrement) % kSeedSteps;
            const float fraction =
                static_cast<float>((q * seed) % kSeedSteps) / static_cast<float>(kSeedSteps);
            const int index = static_cast<int>(fraction * fat * 0.5f * 32768.f);
            cosine = sineTable[(index + math::kQuarterPeriod) & math::kSineMask];
            sine = sineTable[index & math::kSineMask];
        }
        write(row.bin, cosine, sine, static_cast<float>(red) * 0.125f * row.gain,
              static_cast<float>(green) * 0.125f * row.gain);
    }
}

// Builds every column of out from picture (512 x 512, top-down) and derives
// its grain values. Deterministic: the phase seed starts at 0 each time.
void rebuildWaveTables(const std::uint32_t* picture, const RebuildSettings& settings,
                       WaveTableSet& out);

}  // namespace audio
