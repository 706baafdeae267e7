// The plug-in's only exported names: VSTPluginMain, and main for hosts that
// look for the older name. Both are the same function.
#include <new>

#include "editor/GUIEditor.h"
#include "gui/CKnob.h"
#include "instrument/Lumavox.h"

#if defined(_WIN32)
#define LUMAVOX_EXPORT
#else
#define LUMAVOX_EXPORT __attribute__((visibility("default")))
#endif

extern "C" LUMAVOX_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.f) == 0)
        return nullptr;
    lumavox::Lumavox* synth = nullptr;
    try {
        synth = new lumavox::Lumavox(audioMaster);
        // It registers itself with the instrument, which owns it from then on.
        auto* editor = new editor::GUIEditor(synth, synth::kNumParameters, synth->entries(), synth);
        editor->setKnobMode(gui::kLinearMode);
        return synth->getAeffect();
    } catch (...) {  // out of memory, or no thread could be started
        delete synth;
        return nullptr;
    }
}

#if !defined(_WIN32)
// "main" cannot be declared as a C++ function of this type, so it is an alias
// under an assembler name. The Windows builds export it from the .def file.
extern "C" LUMAVOX_EXPORT AEffect* vstPluginMainAlias(audioMasterCallback) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
#endif
