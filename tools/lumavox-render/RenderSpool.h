// The render kept aside in a temporary file of raw floats, for --normalize:
// the gain is known only once the whole render's peak is, so the audio file
// and the spectrogram get the scaled render afterwards. A file and not
// memory, because a render may last hours.
#pragma once

#include <cstdio>
#include <string>

#include "tools/lumavox-render/Renderer.h"

namespace render {

class RenderSpool {
  public:
    // beside: an output path; the spool lies next to it. Throws RenderError.
    explicit RenderSpool(const std::string& beside);
    ~RenderSpool();  // removes the file
    RenderSpool(const RenderSpool&) = delete;
    RenderSpool& operator=(const RenderSpool&) = delete;

    void add(const float* interleaved, long frames, int channels);
    // Everything added, times gain, in blocks.
    void replay(float gain, const AudioSink& sink);

  private:
    [[noreturn]] void fail() const;
    std::string path_;
    std::string beside_;
    std::FILE* file_ = nullptr;
    int channels_ = 0;
};

}  // namespace render
