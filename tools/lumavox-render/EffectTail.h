// How long a tail must stay quiet before it can end: as long as the longest
// delay line the plug-in's effects have in use, plus its reverb's decay, so
// that an echo that comes after a silence is still heard. The tool knows
// Lumavox's effects by their parameters' names and meanings as a user sees
// them (a host's preset knowledge); a plug-in without them gets the minimum.
#pragma once

#include "tools/lumavox-render/PluginSession.h"

namespace render {

constexpr double kMinimumQuietSeconds = 0.5;

// bpm: the host's tempo at the end of the song, which sets the delay's note
// values; sampleRate: the render's.
double quietWindowSeconds(const PluginSession& session, double bpm, double sampleRate);

}  // namespace render
