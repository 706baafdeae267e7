#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "modules/Module.h"

namespace testsupport {

// A module's surroundings without the framework: voice flags, delay base,
// editor state and the user's answer are whatever the test sets.
class FakeModuleHost : public audio::ModuleHost {
  public:
    void registerModule(audio::Module& module) override { modules.push_back(&module); }
    int parameterIndex(const char* name) const override;
    const int* voiceActive() const override { return active; }
    int delayBase() const override { return base; }
    bool isEditorOpen() const override { return editorOpen; }
    bool onAudioThread() const override { return audioThread; }
    void requestDeferredWork() override { ++deferredRequests; }
    bool confirm(const char* text, const char*) override {
        questions.push_back(text);
        return answer;
    }

    int active[audio::kVoices] = {};
    int base = 88200;
    bool editorOpen = false;
    bool audioThread = false;
    bool answer = true;
    int deferredRequests = 0;
    std::vector<std::string> questions;
    std::vector<audio::Module*> modules;
};

}  // namespace testsupport
