#pragma once

#include "vst2/Vst2Abi.h"

namespace synth {

// The MIDI events of the current host block, copied byte for byte, waiting
// for the render loop to reach their frame. Fixed size: filled and drained on
// the audio thread without allocating.
class EventQueue {
  public:
    static constexpr int kCapacity = 600;

    bool empty() const { return read_ == write_; }
    bool full() const { return write_ == kCapacity; }
    const VstMidiEvent& front() const { return slots_[read_]; }
    void pop() { ++read_; }
    void clear() { read_ = write_ = 0; }
    // False (and the event dropped) when all slots are taken.
    bool push(const VstMidiEvent& event) {
        if (full()) return false;
        slots_[write_++] = event;
        return true;
    }
    int size() const { return write_ - read_; }

  private:
    VstMidiEvent slots_[kCapacity] = {};
    int read_ = 0;
    int write_ = 0;
};

}  // namespace synth
