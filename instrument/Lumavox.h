// The instrument: a SynthCore with Lumavox's parameter table and names, its
// three sound modules bound to their parameters, and its state chunk.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

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

    // At most this many "NotFound" boxes per chunk: a damaged chunk full of
    // unknown keys must not bury the user in boxes.
    static constexpr int kMaxNotFoundBoxes = 3;

  private:
    void bindModules();
    void loadFactoryBank();

    // In chain order: each registers itself in the module list when made.
    std::unique_ptr<audio::MoSpectrogram> spectrogram_;
    std::unique_ptr<audio::MoEgAR> envelope_;
    std::unique_ptr<audio::MoEffect> effect_;
    // This instance's own: what the host got from getChunk stays valid until
    // this instance's next getChunk, whatever other instances do.
    std::vector<std::uint8_t> chunk_;
};

}  // namespace lumavox
