#include "instrument/Lumavox.h"

#include "instrument/ParameterTable.h"

namespace lumavox {

Lumavox::Lumavox(audioMasterCallback hostCallback)
    : SynthCore(hostCallback, kNumHostParameters, kParameterTable,
                {"Lumavox", "Lumavox", "Orvane"}) {
    setUniqueID(kUniqueId);
    setProgram(0);
    setSampleRate(44100.f);
}

Lumavox::~Lumavox() = default;

VstInt32 Lumavox::getChunk(void** data, bool) {
    *data = nullptr;
    return 0;
}

VstInt32 Lumavox::setChunk(void*, VstInt32, bool) {
    return 1;
}

}  // namespace lumavox
