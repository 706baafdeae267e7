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
// row writes, with its weight and phase. The same for every column of one
// rebuild.
struct RowMap {
    static constexpr int kSeedSteps = 256;
    static constexpr int kSeedIncrement = 25;  // 0.09765625

    struct Row {
        int pixelOffset;   // of the row's pixel in column 0: (511 - sound row) x 512
        int bin;           // 2..511; the cursor step that writes it is bin - 1
        float scaledGain;  // tilt^(sound row + 1) / 8, the amplitude of a pixel value of 1
        // The phase of the row's partial in column x is entry
        // (phaseStep x column seed + phaseOffset) mod 256 of the phase table.
        int phaseStep;
        int phaseOffset;
    };
    Row rows[kPictureHeight];
    int count = 0;
    int cursorEnd = 0;  // cursor steps per column (the seed advances by as many)
    // Cosine and sine of the phase fraction k/256 scaled by Fat: a partial's
    // phase only ever takes one of these 256 values.
    float phaseCosine[kSeedSteps];
    float phaseSine[kSeedSteps];

    void build(const RebuildSettings& settings);
};

// Calls write(bin, cosine, sine, amplitudeLeft, amplitudeRight) for every
// partial of column x that sounds, lowest first. The phase seed advances
// 25/256 per cursor step from 0 at column 0; as every seed is a multiple of
// 1/256, the running float arithmetic is exact and computed here directly:
// with column seed c = x x cursorEnd x 25 mod 256, the partial written at
// cursor step q has the phase fraction (q x ((c + 25 q) mod 256) mod 256) /
// 256 = ((q c + 25 q^2) mod 256) / 256.
template <typename Write>
void forEachPartial(const RowMap& map, const std::uint32_t* picture, int x, Write&& write) {
    const int columnSeed = static_cast<int>(
        (static_cast<long long>(x) * map.cursorEnd * RowMap::kSeedIncrement) % RowMap::kSeedSteps);
    for (int n = 0; n < map.count; ++n) {
        const RowMap::Row& row = map.rows[n];
        const std::uint32_t pixel = picture[row.pixelOffset + x];
        const int red = redOf(pixel), green = greenOf(pixel);
        if ((red | green) == 0) continue;
        const int phase = (row.phaseStep * columnSeed + row.phaseOffset) & (RowMap::kSeedSteps - 1);
        // red x 0.125 x gain, rounded once either way: the eighth is exact.
        write(row.bin, map.phaseCosine[phase], map.phaseSine[phase],
              static_cast<float>(red) * row.scaledGain, static_cast<float>(green) * row.scaledGain);
    }
}

// Builds every column of out from picture (512 x 512, top-down) and derives
// its grain values. Deterministic: the phase seed starts at 0 each time.
void rebuildWaveTables(const std::uint32_t* picture, const RebuildSettings& settings,
                       WaveTableSet& out);

}  // namespace audio
