// lumavox-info: loads a VST 2.4 plug-in binary as a host does and prints its
// identity, programs and parameters.
#include <cstdio>
#include <string>

#include "tools/vsthost/PluginInstance.h"

namespace {

class QuietHost : public vsthost::HostBehaviour {
  public:
    VstIntPtr onHostCall(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) override {
        return opcode == audioMasterVersion ? 2400 : 0;
    }
};

std::string fourCC(VstInt32 id) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8)
        s += static_cast<char>((id >> shift) & 0xFF);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PLUGIN\n", argv[0]);
        return 2;
    }
    std::string error;
    auto library = vsthost::PluginLibrary::open(argv[1], &error);
    QuietHost host;
    auto plugin =
        library ? vsthost::PluginInstance::create(library->entryPoint(), host, &error) : nullptr;
    if (!plugin) {
        std::fprintf(stderr, "lumavox-info: %s\n", error.c_str());
        return 1;
    }
    const AEffect& e = *plugin->effect();
    std::printf(
        "%s by %s (%s), id '%s', version %d, VST %d\n", plugin->stringOf(effGetEffectName).c_str(),
        plugin->stringOf(effGetVendorString).c_str(), plugin->stringOf(effGetProductString).c_str(),
        fourCC(e.uniqueID).c_str(), static_cast<int>(plugin->dispatch(effGetVendorVersion)),
        static_cast<int>(plugin->dispatch(effGetVstVersion)));
    std::printf("%d inputs, %d outputs, flags 0x%x, category %d\n", e.numInputs, e.numOutputs,
                e.flags, static_cast<int>(plugin->dispatch(effGetPlugCategory)));
    for (int p = 0; p < e.numPrograms; ++p) {
        char name[64] = {};
        plugin->dispatch(effGetProgramNameIndexed, p, 0, name);
        std::printf("program %d: %s\n", p, name);
    }
    for (int i = 0; i < e.numParams; ++i)
        std::printf("parameter %2d: %-10s %s\n", i, plugin->stringOf(effGetParamName, i).c_str(),
                    plugin->stringOf(effGetParamDisplay, i).c_str());
    return 0;
}
