#include "tools/lumavox-render/TempoMap.h"

#include <algorithm>

namespace render {

TempoMap TempoMap::metrical(int ticksPerQuarter, double initialBpm,
                            std::vector<TempoChange> changes) {
    std::stable_sort(changes.begin(), changes.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    TempoMap map;
    const double quartersPerTick = 1.0 / ticksPerQuarter;
    map.segments_.push_back({0, 0.0, 0.0, 60.0 / initialBpm * quartersPerTick, quartersPerTick});
    for (const TempoChange& change : changes) {
        const Segment& last = map.segments_.back();
        const double ticks = static_cast<double>(change.tick - last.tick);
        const Segment next{change.tick, last.seconds + ticks * last.secondsPerTick,
                           last.quarters + ticks * quartersPerTick,
                           change.microsecondsPerQuarter * 1e-6 * quartersPerTick, quartersPerTick};
        if (change.tick == last.tick)
            map.segments_.back() = next;
        else
            map.segments_.push_back(next);
    }
    return map;
}

TempoMap TempoMap::timecode(double ticksPerSecond, double bpm) {
    TempoMap map;
    const double secondsPerTick = 1.0 / ticksPerSecond;
    map.segments_.push_back({0, 0.0, 0.0, secondsPerTick, secondsPerTick * bpm / 60.0});
    return map;
}

double TempoMap::secondsAt(std::uint64_t tick) const {
    auto after = std::upper_bound(segments_.begin(), segments_.end(), tick,
                                  [](std::uint64_t t, const Segment& s) { return t < s.tick; });
    const Segment& s = *(after - 1);
    return s.seconds + static_cast<double>(tick - s.tick) * s.secondsPerTick;
}

MusicalPosition TempoMap::positionAt(double seconds) const {
    auto after = std::upper_bound(segments_.begin(), segments_.end(), seconds,
                                  [](double t, const Segment& s) { return t < s.seconds; });
    const Segment& s = after == segments_.begin() ? segments_.front() : *(after - 1);
    const double ticks = (seconds - s.seconds) / s.secondsPerTick;
    return {s.quarters + ticks * s.quartersPerTick, 60.0 * s.quartersPerTick / s.secondsPerTick};
}

}  // namespace render
