// A host that loads and unloads the plug-in (as every plug-in scanner does)
// must still be able to talk to its X server afterwards. Opening the editor
// makes libXext register its extension hooks with libX11 in the host's
// process; once the plug-in is unloaded, none of them may be left for
// libX11 to call. Its own program, so that nothing else has loaded the X
// libraries' extensions before: run under with-xvfb.sh.
#include <dlfcn.h>

#include <cstdio>

#include <X11/Xlib.h>

#include "vst2/Vst2Abi.h"

namespace {

VstIntPtr VSTCALLBACK host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

using PluginMain = AEffect* (*)(audioMasterCallback);

// Opens the loaded plug-in's editor in a window of ours and closes it
// again; false with a message when a step fails.
bool openAndCloseEditor(void* plugin, const char* path, Window parent) {
    auto main = reinterpret_cast<PluginMain>(dlsym(plugin, "VSTPluginMain"));
    AEffect* effect = main ? main(host) : nullptr;
    if (!effect) {
        std::fprintf(stderr, "FAIL: %s made no instrument\n", path);
        return false;
    }
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.f);
    const VstIntPtr opened =
        effect->dispatcher(effect, effEditOpen, 0, 0,
                           reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent)), 0.f);
    effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.f);
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.f);
    if (!opened) std::fprintf(stderr, "FAIL: the editor did not open\n");
    return opened != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PLUGIN\n", argv[0]);
        return 2;
    }
    for (int round = 0; round < 3; ++round) {
        Display* display = XOpenDisplay(nullptr);
        if (!display) {
            std::fprintf(stderr, "FAIL: no X connection in round %d%s\n", round,
                         round ? ", after the plug-in was unloaded" : "");
            return 1;
        }
        const Window parent =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 688, 604, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
        void* plugin = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
        if (!plugin) {
            std::fprintf(stderr, "FAIL: cannot load %s: %s\n", argv[1], dlerror());
            return 1;
        }
        const bool ok = openAndCloseEditor(plugin, argv[1], parent);
        // The host's own connection goes first, the plug-in after it.
        XDestroyWindow(display, parent);
        XCloseDisplay(display);
        dlclose(plugin);
        if (!ok) return 1;
    }
    std::printf("ok: the X connection survives opening the editor and unloading the plug-in\n");
    return 0;
}
