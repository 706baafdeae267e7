// The host side of a render: what the tool answers when the plug-in calls
// back. The transport is always playing, at the position the render loop
// sets before each block.
#pragma once

#include "tools/lumavox-render/TempoMap.h"
#include "tools/vsthost/PluginInstance.h"

namespace render {

class RenderHost : public vsthost::HostBehaviour {
  public:
    RenderHost(double sampleRate, int blockSize);

    // Called by the render loop before each block (samplePos: its first frame).
    void setPosition(double samplePos, const MusicalPosition& position);

    VstIntPtr onHostCall(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                         void* ptr, float opt) override;

  private:
    VstTimeInfo time_{};
    double sampleRate_;
    int blockSize_;
    bool started_ = false;
};

}  // namespace render
