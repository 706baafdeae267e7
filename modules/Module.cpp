#include "modules/Module.h"

namespace audio {

namespace silent {
constinit const ParameterValue value{0.f};
constinit const float voices[kVoices] = {};
constinit const StereoBuffer buffer{};
constinit const ParameterValue missingParameter{0.f};
}  // namespace silent

Module::Module(ModuleHost& host) : owner(host) {
    owner.registerModule(*this);
}

}  // namespace audio
