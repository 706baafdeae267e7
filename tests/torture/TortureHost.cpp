#include "tests/torture/TortureHost.h"

#include <cmath>

namespace torture {

VstIntPtr TortureHost::onHostCall(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                  VstIntPtr /*value*/, void* /*ptr*/, float opt) {
    calls.fetch_add(1, std::memory_order_relaxed);
    switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterAutomate:
            // The editor-only entries are announced too, so any index of the
            // whole table (38 entries) is the plug-in's own.
            if (!effect || index < 0 || index >= 38 || !std::isfinite(opt))
                badAutomations.fetch_add(1, std::memory_order_relaxed);
            return 0;
        case audioMasterGetTime:
            return knowsTime.load(std::memory_order_relaxed) ? reinterpret_cast<VstIntPtr>(&time)
                                                             : 0;
        case audioMasterGetCurrentProcessLevel:
            return processLevel.load(std::memory_order_relaxed);
        case audioMasterCanDo:
            return canDoAnswer.load(std::memory_order_relaxed);
        case audioMasterGetSampleRate:
            return 44100;
        case audioMasterGetBlockSize:
            return 512;
        default:
            return 0;
    }
}

}  // namespace torture
