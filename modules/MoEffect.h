// The effects at the end of the chain: input soft clip and DC blocking, a
// tempo-synchronised stereo delay, a stereo chorus, a reverb of 24 parallel
// comb filters, then volume and constant-power pan. Lines and tails are kept
// across program changes.
#pragma once

#include <atomic>

#include "modules/Module.h"
#include "modules/ZeroedArray.h"

namespace audio {

// One-pole DC blocker, y = (a - x) + R y.
struct DcBlocker {
    float x = 0.f;
    float y = 0.f;
    float run(float a) {
        y = (a - x) + kCoefficient * y;
        x = a;
        return y;
    }
    static constexpr float kCoefficient = 0.99714285f;
};

class MoEffect : public Module {
  public:
    static constexpr int kCombs = 12;
    static constexpr int kCombLength = 2048;
    static constexpr int kDelayLength = 1 << 20;
    static constexpr int kChorusLength = 4096;
    static constexpr int kChorusCentre = 1500;  // samples
    static constexpr int kCombDelays[2][kCombs] = {
        {601, 647, 701, 757, 797, 857, 907, 957, 997, 1049, 1103, 1151},
        {613, 653, 691, 751, 809, 853, 911, 953, 1009, 1051, 1109, 1153}};
    // Fractions of the delay base, in the order of the DlyTime steps
    // [1/32] ... [1/1].
    static constexpr float kNoteValues[10] = {0.03125f, 0.041666668f, 0.0625f, 0.083333336f,
                                              0.125f,   0.16666667f,  0.25f,   0.33333334f,
                                              0.5f,     1.f};

    explicit MoEffect(ModuleHost& host);

    // Any thread: recomputes the reverb gains, whatever changed.
    void parameterChanged(int index, float value) override;
    void process(int frames, int ticks) noexcept override;

    // The delay in samples that the current DlyTime and delay base give.
    int delayLength() const;
    float combGain(int channel, int comb) const {
        return combGain_[channel][comb].load(std::memory_order_relaxed);
    }
    float lfoCoefficient() const { return lfoCoefficient_; }

    // Inputs, bound by the instrument.
    BufferInput input = &silent::buffer;
    ValueInput chorusRate = &silent::value;
    ValueInput chorusLevel = &silent::value;
    ValueInput delayTime = &silent::value;
    ValueInput delayFeedback = &silent::value;
    ValueInput delayLevel = &silent::value;
    ValueInput volume = &silent::value;
    ValueInput pan = &silent::value;
    ValueInput reverbTime = &silent::value;
    ValueInput reverbLevel = &silent::value;
    ValueInput reverbStereo = &silent::value;

    StereoBuffer output;

  private:
    void updateReverbGains();
    // Adds the reverb of frames 0..n-1 of y (left and right lines) to y.
    void reverb(float* const (&y)[2], int n, float level, float stereo) noexcept;

    int combIndex_ = 0;
    // One blocker per channel for the input and another for the output: one
    // shared by both stages would no longer block DC (it would pass DC
    // inverted at about half gain) and would leak a hard-panned channel.
    DcBlocker inputDcLeft_, inputDcRight_, outputDcLeft_, outputDcRight_;
    std::atomic<float> combGain_[2][kCombs];
    std::atomic<float> reverbLevel_{0.f};
    std::atomic<float> reverbStereo_{0.f};
    float combs_[2][kCombs][kCombLength] = {};  // one line per comb, written at combIndex_
    // Both delay lines, left then right: 8 MB, mapped when the module is made.
    ZeroedArray<float> delayLines_;
    float* delayLeft_;
    float* delayRight_;
    float chorusLeft_[kChorusLength] = {};
    float chorusRight_[kChorusLength] = {};
    int delayIndex_ = 0;
    int chorusIndex_ = 0;
    float lfoSine_ = 1.f;
    float lfoCosine_ = 0.f;
    float lfoCoefficient_ = 2e-08f;
};

}  // namespace audio
