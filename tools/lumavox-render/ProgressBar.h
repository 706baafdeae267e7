// The progress of a render on standard error, drawn only when it is a
// terminal and the render is longer than a second.
#pragma once

#include <cstdint>

namespace render {

class ProgressBar {
  public:
    // songFrames: the length of the song before its tail.
    ProgressBar(bool enabled, std::uint64_t songFrames, double sampleRate);
    ~ProgressBar();  // ends the line if one was drawn
    void update(std::uint64_t framesDone);
    void finish();

  private:
    bool enabled_;
    std::uint64_t songFrames_;
    double sampleRate_;
    int lastShown_ = -1;
    bool drawn_ = false;
};

}  // namespace render
