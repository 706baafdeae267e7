#pragma once

#include "modules/Module.h"
#include "synth/ParameterDefinition.h"

namespace synth {

constexpr int kMaxParameterNameLength = 31;

// A parameter as the framework holds it for the life of an instance. The
// current value is read by the modules through its address, from any thread.
struct ParameterEntry {
    ParameterDefinition definition{};
    char name[kMaxParameterNameLength + 1] = {};
    char label[16] = {};  // always empty
    audio::ParameterValue value{0.f};
    float defaultValue = 0.f;
    void* control = nullptr;  // the editor's control while its window is open
};

}  // namespace synth
