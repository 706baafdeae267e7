// The attack/release envelope of the eight voices, stepped once per 2 ms
// control tick: a linear attack to the note's velocity level, a hold while
// the key (or the pedal) holds it, and an exponential release. The voice
// manager frees a voice once its level has fallen to exactly 0.
#pragma once

#include <atomic>

#include "modules/Module.h"

namespace audio {

class MoEgAR : public Module {
  public:
    enum Stage : int { kIdle = 0, kAttack = 1, kHold = 2 };

    explicit MoEgAR(ModuleHost& host);

    // Any thread: recomputes the timing from the Attack and Release inputs.
    void parameterChanged(int index, float value) override;
    void process(int frames, int ticks) noexcept override;

    // The eight levels, read by the oscillator and the voice manager.
    const float* levels() const { return level_; }
    int stage(int voice) const { return stage_[voice]; }
    int attackTicks() const { return attackTicks_.load(std::memory_order_relaxed); }
    float releaseFactor() const { return releaseFactor_.load(std::memory_order_relaxed); }

    // Inputs, bound by the instrument.
    VoiceInput gate = silent::voices;  // the voice manager's held levels
    ValueInput attack = &silent::value;
    ValueInput release = &silent::value;

  private:
    void updateTiming();

    std::atomic<float> attackStep_{1.f};
    std::atomic<float> releaseFactor_{1.f};
    std::atomic<int> attackTicks_{1};
    int attackCounter_[kVoices] = {};
    int stage_[kVoices] = {};
    float level_[kVoices] = {};
};

}  // namespace audio
