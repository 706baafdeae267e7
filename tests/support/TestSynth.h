#pragma once

#include <vector>

#include "instrument/ParameterTable.h"
#include "synth/SynthCore.h"
#include "tests/support/EventList.h"

namespace testsupport {

// The bare framework with the instrument's parameter table and no modules of
// its own, so that tests can put their own modules in the chain.
class TestSynth : public synth::SynthCore {
  public:
    explicit TestSynth(audioMasterCallback host = nullptr)
        : SynthCore(host, synth::kNumHostParameters, lumavox::kParameterTable,
                    {"Test", "Test", "Test"}) {
        voices().mono = bindParameter("Mono");
        voices().glide = bindParameter("Glide");
        voices().bendRange = bindParameter("BndRng");
    }
    VstInt32 getChunk(void** data, bool) override {
        *data = nullptr;
        return 0;
    }
    VstInt32 setChunk(void*, VstInt32, bool) override { return 1; }
    void textChanged(int, void*) override {}

    // Renders frames in blocks of blockSize, discarding the audio.
    void render(int frames, int hostBlock = 512);
    // One stereo block, returned interleaved-free as two vectors.
    void renderInto(std::vector<float>& left, std::vector<float>& right, int frames);
};

}  // namespace testsupport
