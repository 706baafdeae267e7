// Base of an editor that draws its own window: it registers itself with the
// effect when it is made (which tells the host that the plug-in has an
// editor), keeps the editor's rectangle, which the host may ask for before
// any open, and the knob mode the host chose. Every call comes from the
// host's user-interface thread.
#pragma once

#include "vst2/AEffEditor.h"
#include "vst2/AudioEffect.h"

class AEffGUIEditor : public AEffEditor {
  public:
    explicit AEffGUIEditor(AudioEffect* owner) : AEffEditor(owner) {
        if (owner) owner->setEditor(this);
    }

    bool getRect(ERect** rect) override {
        if (rect) *rect = &rect_;
        return true;
    }
    bool setKnobMode(VstInt32 mode) override {
        knobMode_ = mode;
        return true;
    }
    static VstInt32 getKnobMode() { return knobMode_; }

  protected:
    ERect rect_{};

  private:
    static inline VstInt32 knobMode_ = 0;
};
