#pragma once

#include <cstdint>

#include "modules/Module.h"

namespace synth {

// The modules of the chain in registration order, and the buffer whose
// contents the framework copies to the host. It does not own the modules.
class ModuleList {
  public:
    static constexpr int kCapacity = 20;

    void add(audio::Module& module);
    int size() const { return count_; }
    audio::Module& at(int i) const { return *modules_[i]; }
    std::int32_t tagAt(int i) const { return tags_[i]; }

    void setSampleRate(int rate);
    void parameterChanged(int index, float value);
    void programChanged(int program);
    void setProgramLoading(int loading);
    void process(int frames, int ticks) noexcept;
    void runDeferredWork();

    audio::BufferInput chainOutput = &audio::silent::buffer;

  private:
    audio::Module* modules_[kCapacity] = {};
    std::int32_t tags_[kCapacity] = {};
    int count_ = 0;
};

}  // namespace synth
