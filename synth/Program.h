#pragma once

#include <atomic>

namespace synth {

constexpr int kNumPrograms = 4;
constexpr int kNumHostParameters = 27;
constexpr int kMaxProgramNameLength = 23;

// The values of the host-visible parameters and a name. Values are written
// from the audio thread too (MIDI controllers), hence atomic.
struct ProgramRecord {
    std::atomic<float> values[kNumHostParameters] = {};
    char name[kMaxProgramNameLength + 1] = {};
};

}  // namespace synth
