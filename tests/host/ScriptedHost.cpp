#include "tests/host/ScriptedHost.h"

#include <gtest/gtest.h>

namespace hosttest {
namespace {
std::string gPluginPath;
}

const std::string& pluginPath() {
    return gPluginPath;
}

VstIntPtr ScriptedHost::onHostCall(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                   void* ptr, float opt) {
    switch (opcode) {
        case audioMasterVersion:
            return versionAnswer;
        case audioMasterAutomate:
            automated.push_back({index, opt});
            return 0;
        case audioMasterWantMidi:
            ++wantMidiCalls;
            return 0;
        case audioMasterCanDo:
            canDoQueries.emplace_back(ptr ? static_cast<const char*>(ptr) : "(null)");
            return 1;
        case audioMasterGetTime:
            ++timeRequests;
            lastTimeFilter = value;
            return answerTime ? reinterpret_cast<VstIntPtr>(&time) : 0;
        default:
            return 0;
    }
}

}  // namespace hosttest

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s [gtest options] PLUGIN\n", argv[0]);
        return 2;
    }
    hosttest::gPluginPath = argv[1];
    return RUN_ALL_TESTS();
}
