#pragma once

#include <vector>

#include "vst2/Vst2Abi.h"

namespace testsupport {

// A MIDI event of up to three bytes at a frame of the coming block.
VstMidiEvent midiEvent(int deltaFrames, int status, int data1 = 0, int data2 = 0);

// Hands events to a plug-in the way a host does: MIDI events first, then
// system exclusive ones, in the order they were added.
class EventList {
  public:
    EventList& add(const VstMidiEvent& event);
    EventList& add(const VstMidiSysexEvent& event);
    void clear();
    // Valid until the next add, clear or get.
    VstEvents* get();

  private:
    std::vector<VstMidiEvent> events_;
    std::vector<VstMidiSysexEvent> sysexEvents_;
    std::vector<VstEvent*> pointers_;
    std::vector<char> storage_;
};

}  // namespace testsupport
