// Base of a plug-in's editor. The effect owns its editor and deletes it; every
// call here comes from the host's user-interface thread.
#pragma once

#include "vst2/Vst2Abi.h"

class AudioEffect;

class AEffEditor {
  public:
    explicit AEffEditor(AudioEffect* owner) : effect(owner) {}
    virtual ~AEffEditor() = default;
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    virtual AudioEffect* getEffect() { return effect; }
    virtual bool getRect(ERect** rect) {
        if (rect) *rect = nullptr;
        return false;
    }
    virtual bool open(void* ptr) {
        systemWindow = ptr;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() { return systemWindow != nullptr; }
    virtual void idle() {}
    virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }
    virtual bool onKeyDown(VstInt32 /*key*/, VstInt32 /*virtualKey*/, float /*modifiers*/) {
        return false;
    }
    virtual bool onKeyUp(VstInt32 /*key*/, VstInt32 /*virtualKey*/, float /*modifiers*/) {
        return false;
    }
    // Told of every parameter change of the effect, from whatever thread made it.
    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}

  protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
};
