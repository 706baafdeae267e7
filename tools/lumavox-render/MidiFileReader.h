// Standard MIDI Files, formats 0 and 1: the notes, controllers and pitch
// bends of every track, merged in time, and the tempo map. Other channel
// messages, system exclusive and meta events are stepped over. A pure
// function of the bytes, so that it can be fuzzed without a plug-in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/lumavox-render/Song.h"

namespace render {

// Throws RenderError naming the file (name) and the reason, also for a file
// without a single note to play. initialBpm holds
// until the file's first tempo event (a file without one plays at it).
Song readMidiFile(const std::uint8_t* data, std::size_t size, const std::string& name,
                  double initialBpm = 120.0);

}  // namespace render
