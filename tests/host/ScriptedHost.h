// The host side of the tests that load the built plug-in: answers the
// plug-in's calls from a script and records what it was asked.
#pragma once

#include <string>
#include <vector>

#include "tools/vsthost/PluginInstance.h"

namespace hosttest {

// Path of the plug-in binary under test, from the command line.
const std::string& pluginPath();

struct AutomateCall {
    int index;
    float value;
};

class ScriptedHost : public vsthost::HostBehaviour {
  public:
    VstIntPtr onHostCall(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                         void* ptr, float opt) override;

    VstIntPtr versionAnswer = 2400;
    bool answerTime = false;
    VstTimeInfo time{};

    std::vector<AutomateCall> automated;
    std::vector<std::string> canDoQueries;
    int wantMidiCalls = 0;
    int timeRequests = 0;
    VstIntPtr lastTimeFilter = 0;
};

}  // namespace hosttest
