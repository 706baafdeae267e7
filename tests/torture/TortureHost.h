// The host side of the torture sessions: answers every call a plug-in may
// make, from any of its threads, and notes what would be a fault of the
// plug-in (an automation notice for an index it does not have, or with a
// value that is not a value).
#pragma once

#include <atomic>
#include <string>

#include "tools/vsthost/PluginInstance.h"

namespace torture {

class TortureHost : public vsthost::HostBehaviour {
  public:
    // Any thread of the plug-in.
    VstIntPtr onHostCall(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                         void* ptr, float opt) override;

    // What the host answers; set between calls, by the thread that also
    // processes (the time) or before the plug-in's threads run (the rest).
    VstTimeInfo time{};
    std::atomic<bool> knowsTime{true};
    std::atomic<VstIntPtr> processLevel{2};
    std::atomic<VstIntPtr> canDoAnswer{1};

    std::atomic<long> calls{0};
    std::atomic<long> badAutomations{0};
};

}  // namespace torture
