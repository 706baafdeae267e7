#include "tests/support/EventList.h"

#include <cstring>

namespace testsupport {

VstMidiEvent midiEvent(int deltaFrames, int status, int data1, int data2) {
    VstMidiEvent e{};
    e.type = kVstMidiType;
    e.byteSize = sizeof e;
    e.deltaFrames = deltaFrames;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(data1);
    e.midiData[2] = static_cast<char>(data2);
    return e;
}

EventList& EventList::add(const VstMidiEvent& event) {
    events_.push_back(event);
    return *this;
}

EventList& EventList::add(const VstMidiSysexEvent& event) {
    sysexEvents_.push_back(event);
    return *this;
}

void EventList::clear() {
    events_.clear();
    sysexEvents_.clear();
}

VstEvents* EventList::get() {
    pointers_.clear();
    for (VstMidiEvent& e : events_)
        pointers_.push_back(reinterpret_cast<VstEvent*>(&e));
    for (VstMidiSysexEvent& e : sysexEvents_)
        pointers_.push_back(reinterpret_cast<VstEvent*>(&e));
    storage_.assign(sizeof(VstEvents) + pointers_.size() * sizeof(VstEvent*), 0);
    auto* list = reinterpret_cast<VstEvents*>(storage_.data());
    list->numEvents = static_cast<VstInt32>(pointers_.size());
    if (!pointers_.empty())
        std::memcpy(list->events, pointers_.data(), pointers_.size() * sizeof(VstEvent*));
    return list;
}

}  // namespace testsupport
