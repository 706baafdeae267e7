#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "tests/host/ScriptedHost.h"

namespace hosttest {

// One loaded plug-in binary for the whole test program, a fresh instance
// per test.
class PluginFixture : public testing::Test {
  protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override { plugin.reset(); }

    AEffect* effect() const { return plugin->effect(); }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.f) const {
        return plugin->dispatch(opcode, index, value, ptr, opt);
    }
    std::string programName(int program) const;
    int parameterIndex(const std::string& name) const;

    static std::unique_ptr<vsthost::PluginLibrary>& library();
    ScriptedHost host;
    std::unique_ptr<vsthost::PluginInstance> plugin;
};

}  // namespace hosttest
