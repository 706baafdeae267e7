// The render loop of a host: the song's events go to the plug-in before the
// block they fall in, each with its frame inside that block; the host's time
// follows the tempo map. After the song the tail plays until the sound has
// stayed below -90 dBFS for the quiet window (long enough for the longest
// echo the plug-in's effects can still bring) or until the tail limit, where
// it fades out instead of being cut. A tail that ends in silence keeps half
// a second of it; the rest of the quiet run is dropped.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tools/lumavox-render/PluginSession.h"
#include "tools/lumavox-render/Song.h"

namespace render {

struct RenderSettings {
    double sampleRate = 44100.0;
    int blockSize = 512;
    double maxTailSeconds = 10.0;
    // How long the sound must stay below -90 dBFS before the tail ends.
    double quietWindowSeconds = 0.5;
    bool showProgress = true;
};

struct RenderResult {
    std::uint64_t frames = 0;
    float peak = 0.f;
    std::uint64_t samples = 0;    // frames times channels
    std::uint64_t clipped = 0;    // samples at or over full scale
    bool reachedMaxTail = false;  // and faded out there
};

// Receives every rendered block, interleaved, channels wide.
using AudioSink = std::function<void(const float* interleaved, long frames, int channels)>;

// The tail keeps this much of the silence it ends in, and this is the fade
// at the tail limit.
constexpr double kKeptSilenceSeconds = 0.5;
constexpr double kFadeSeconds = 0.05;

// The plug-in must be switched on. Throws RenderError when the render is
// interrupted (SIGINT or SIGTERM).
RenderResult renderSong(PluginSession& session, const Song& song, const RenderSettings& settings,
                        const AudioSink& sink);

// The song's length in seconds, tail not counted.
double songSeconds(const Song& song);

}  // namespace render
