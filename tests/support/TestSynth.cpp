#include "tests/support/TestSynth.h"

#include <cstring>

namespace testsupport {

void TestSynth::render(int frames, int hostBlock) {
    std::vector<float> left(static_cast<size_t>(hostBlock)), right(left.size());
    while (frames > 0) {
        const int n = frames < hostBlock ? frames : hostBlock;
        float* outputs[2] = {left.data(), right.data()};
        processReplacing(nullptr, outputs, n);
        frames -= n;
    }
}

void TestSynth::renderInto(std::vector<float>& left, std::vector<float>& right, int frames) {
    left.assign(static_cast<size_t>(frames), 0.f);
    right.assign(static_cast<size_t>(frames), 0.f);
    float* outputs[2] = {left.data(), right.data()};
    processReplacing(nullptr, outputs, frames);
}

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

VstEvents* EventList::get() {
    pointers_.clear();
    for (VstMidiEvent& e : events_)
        pointers_.push_back(reinterpret_cast<VstEvent*>(&e));
    storage_.assign(sizeof(VstEvents) + pointers_.size() * sizeof(VstEvent*), 0);
    auto* list = reinterpret_cast<VstEvents*>(storage_.data());
    list->numEvents = static_cast<VstInt32>(pointers_.size());
    if (!pointers_.empty())
        std::memcpy(list->events, pointers_.data(), pointers_.size() * sizeof(VstEvent*));
    return list;
}

}  // namespace testsupport
