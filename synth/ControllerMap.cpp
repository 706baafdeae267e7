#include "synth/ControllerMap.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/PrivateProfile.h"
#include "vst2/AudioEffect.h"

namespace synth {

std::string ControllerMap::iniPathFor(const std::string& modulePath) {
    if (modulePath.empty()) return {};
    // Only a dot in the file name counts: one in a folder name ("~/.vst/")
    // is not an extension.
    const std::size_t nameStart = modulePath.find_last_of("/\\") + 1;  // npos + 1 == 0
    const std::size_t dot = modulePath.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot >= nameStart;
    return (hasExtension ? modulePath.substr(0, dot) : modulePath) + ".ini";
}

ControllerMap::ControllerMap(const ParameterDefinition* definitions, int count, std::string iniPath)
    : definitions_(definitions),
      count_(std::clamp(count, 0, kNumHostParameters)),
      iniPath_(std::move(iniPath)) {
    std::fill(std::begin(controllers_), std::end(controllers_), kFreeSlot);
    std::fill(std::begin(parameters_), std::end(parameters_), 0);
    for (int j = 0; j < count_; ++j) {
        std::optional<std::string> text;
        if (!iniPath_.empty())
            text =
                platform::getPrivateProfileString(kSection, definitions_[j].name, iniPath_.c_str());
        insert(text ? controllerNumberFrom(*text) : definitions_[j].defaultController, j);
    }
}

int ControllerMap::controllerNumberFrom(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && text[i] == '+') ++i;
    int n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        n = n * 10 + (text[i] - '0');
        if (n >= kFreeSlot) return kFreeSlot;
    }
    return n;
}

// Keeps the slots sorted; among equal numbers the earlier parameter stays
// first. A number of kFreeSlot or more gets no slot.
void ControllerMap::insert(int number, int parameter) {
    for (int i = 0; i < count_; ++i) {
        if (controllers_[i] <= number) continue;
        for (int k = count_ - 1; k > i; --k) {
            controllers_[k] = controllers_[k - 1];
            parameters_[k] = parameters_[k - 1];
        }
        controllers_[i] = number;
        parameters_[i] = parameter;
        return;
    }
}

ControllerMap::~ControllerMap() {
    if (iniPath_.empty()) return;
    for (int j = 0; j < count_; ++j) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", controllerOf(j));
        platform::writePrivateProfileString(kSection, definitions_[j].name, number,
                                            iniPath_.c_str());
    }
}

int ControllerMap::controllerOf(int parameter) const {
    for (int i = 0; i < count_; ++i)
        if (controllers_[i] != kFreeSlot && parameters_[i] == parameter) return controllers_[i];
    return 0;
}

void ControllerMap::apply(int number, float value, AudioEffect& effect) const {
    // A free slot holds kFreeSlot, which this keeps from ever matching.
    if (number <= 0 || number > kMaxController) return;
    for (int i = 0; i < count_; ++i)
        if (controllers_[i] == number) effect.setParameterAutomated(parameters_[i], value);
}

}  // namespace synth
