// What the tool plays: channel messages at ticks, and the tempo map that
// places the ticks in time. Made from a MIDI file, the --notes notation or
// the demo phrase.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/lumavox-render/TempoMap.h"

namespace render {

struct SongEvent {
    std::uint64_t tick;
    std::uint8_t bytes[3];
    std::uint8_t size;
};

struct Song {
    TempoMap tempo = TempoMap::metrical(480, 120.0, {});
    std::vector<SongEvent> events;  // in time order; equal ticks keep their order
    std::uint64_t endTick = 0;      // the last event, or a later end of track
};

// Sorts the events by tick (stably) and, at the end of the song, releases the
// notes and sustain pedals still held, so that the tail can die away.
void finishSong(Song& song);

}  // namespace render
