// The instrument: a SynthCore with Lumavox's parameter table and names, its
// three sound modules bound to their parameters, and its state chunk.
#pragma once

#include <memory>

#include "modules/MoEffect.h"
#include "modules/MoEgAR.h"
#include "modules/MoSpectrogram.h"
#include "synth/SynthCore.h"

namespace lumavox {

constexpr VstInt32 kUniqueId = vstFourCC('L', 'M', 'V', 'X');
constexpr int kNumHostParameters = synth::kNumHostParameters;

class Lumavox : public synth::SynthCore {
  public:
    explicit Lumavox(audioMasterCallback hostCallback);
    // With another parameter table of the same layout (tests rename rows).
    Lumavox(audioMasterCallback hostCallback, const synth::ParameterDefinition* table);
    ~Lumavox() override;

    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
    void textChanged(int /*index*/, void* /*control*/) override {}

    audio::MoSpectrogram& spectrogram() { return *spectrogram_; }
    audio::MoEgAR& envelope() { return *envelope_; }
    audio::MoEffect& effect() { return *effect_; }

  private:
    void bindModules();

    // In chain order: each registers itself in the module list when made.
    std::unique_ptr<audio::MoSpectrogram> spectrogram_;
    std::unique_ptr<audio::MoEgAR> envelope_;
    std::unique_ptr<audio::MoEffect> effect_;
};

}  // namespace lumavox
