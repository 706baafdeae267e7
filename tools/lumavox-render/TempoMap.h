// Where the ticks of a song fall in time, and what a host reports as the
// musical position (quarter notes) and tempo at a moment of the render.
#pragma once

#include <cstdint>
#include <vector>

namespace render {

struct TempoChange {
    std::uint64_t tick;
    std::uint32_t microsecondsPerQuarter;
};

struct MusicalPosition {
    double quarters;
    double bpm;
};

class TempoMap {
  public:
    // Ticks as fractions of a quarter note; the tempo is initialBpm until the
    // first change. changes need not be sorted; of several at one tick the
    // last counts, as a sequencer reading the file in order would have it.
    static TempoMap metrical(int ticksPerQuarter, double initialBpm,
                             std::vector<TempoChange> changes);
    // Ticks as fractions of a second (SMPTE files); bpm only names the
    // musical position reported to the plug-in.
    static TempoMap timecode(double ticksPerSecond, double bpm);

    double secondsAt(std::uint64_t tick) const;
    MusicalPosition positionAt(double seconds) const;
    int segmentCount() const { return static_cast<int>(segments_.size()); }

  private:
    struct Segment {
        std::uint64_t tick;
        double seconds;
        double quarters;
        double secondsPerTick;
        double quartersPerTick;
    };
    std::vector<Segment> segments_;
};

}  // namespace render
