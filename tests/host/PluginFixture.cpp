#include "tests/host/PluginFixture.h"

namespace hosttest {

std::unique_ptr<vsthost::PluginLibrary>& PluginFixture::library() {
    static std::unique_ptr<vsthost::PluginLibrary> instance;
    return instance;
}

void PluginFixture::SetUpTestSuite() {
    if (library()) return;
    std::string error;
    library() = vsthost::PluginLibrary::open(pluginPath(), &error);
    ASSERT_TRUE(library()) << error;
}

void PluginFixture::SetUp() {
    ASSERT_TRUE(library());
    std::string error;
    plugin = vsthost::PluginInstance::create(library()->entryPoint(), host, &error);
    ASSERT_TRUE(plugin) << error;
}

std::string PluginFixture::programName(int program) const {
    char name[kVstMaxProgNameLen + 8] = {};
    dispatch(effGetProgramNameIndexed, program, 0, name);
    return name;
}

int PluginFixture::parameterIndex(const std::string& name) const {
    for (int i = 0; i < effect()->numParams; ++i)
        if (plugin->stringOf(effGetParamName, i) == name) return i;
    ADD_FAILURE() << "no parameter named " << name;
    return -1;
}

}  // namespace hosttest
