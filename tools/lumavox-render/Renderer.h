// The render loop of a host: the song's events go to the plug-in before the
// block they fall in, each with its frame inside that block; the host's time
// follows the tempo map; after the song, the tail plays until the sound has
// stayed below -90 dBFS for half a second or the tail limit is reached.
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
    bool showProgress = true;
};

struct RenderResult {
    std::uint64_t frames = 0;
    float peak = 0.f;
};

// Receives every rendered block, interleaved, channels wide.
using AudioSink = std::function<void(const float* interleaved, long frames, int channels)>;

// The plug-in must be switched on. Throws RenderError when the render is
// interrupted (SIGINT or SIGTERM).
RenderResult renderSong(PluginSession& session, const Song& song, const RenderSettings& settings,
                        const AudioSink& sink);

// The song's length in seconds, tail not counted.
double songSeconds(const Song& song);

}  // namespace render
