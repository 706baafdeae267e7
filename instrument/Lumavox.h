// The instrument: a SynthCore with Lumavox's parameter table and names, its
// sound modules bound to their parameters, and its state chunk.
#pragma once

#include "synth/SynthCore.h"

namespace lumavox {

constexpr VstInt32 kUniqueId = vstFourCC('L', 'M', 'V', 'X');
constexpr int kNumHostParameters = synth::kNumHostParameters;

class Lumavox : public synth::SynthCore {
  public:
    explicit Lumavox(audioMasterCallback hostCallback);
    ~Lumavox() override;

    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
    void textChanged(int /*index*/, void* /*control*/) override {}
};

}  // namespace lumavox
