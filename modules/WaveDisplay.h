// The editor's view of the instrument's output: a scope, or a spectrum
// scrolling to the left, drawn into a 512 x 512 picture every 1024 samples.
// Drawn on the audio thread, read on the editor's, through a triple buffer.
#pragma once

#include "modules/ModuleHost.h"
#include "modules/StereoBuffer.h"
#include "modules/TripleBuffer.h"
#include "modules/WaveTables.h"
#include "modules/ZeroedArray.h"

namespace audio {

enum class DisplayMode { Off = 0, Scope = 1, Spectrum = 2 };

class WaveDisplay {
  public:
    static constexpr std::uint32_t kBackground = 0x80000000u;  // half-transparent black
    static constexpr std::uint32_t kScopeColour = 0xFFFFFF00u;
    static constexpr int kSamples = 1024;

    explicit WaveDisplay(ModuleHost& host);

    // Audio thread: collects left + right of each frame; draws and hands
    // over a picture whenever the buffer is full.
    void feed(const StereoBuffer& finalOutput, int frames, DisplayMode mode) noexcept;
    int writeIndex() const { return writeIndex_; }

    // Editor thread: the newest picture; fresh tells whether it is newer
    // than the one the last call gave.
    const std::uint32_t* latest();
    const std::uint32_t* latest(bool& fresh);

  private:
    void drawScope(std::uint32_t* picture) const noexcept;
    void drawSpectrum(std::uint32_t* picture, const std::uint32_t* previous) const noexcept;

    float buffer_[kSamples] = {};
    int writeIndex_ = 0;
    ZeroedArray<Picture> slots_;
    TripleBuffer handOver_;
};

}  // namespace audio
