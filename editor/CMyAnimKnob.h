// The editor's knob: an animated knob whose strip of n images divides the
// value range into n equal parts, so that every image, the first and the
// last included, stands for an equal share (image k for values from k/n up
// to (k + 1)/n, the last one for 1 too). On a strip of 101 images showing
// the numbers 0 to 100, the value k/100 shows exactly k.
#pragma once

#include "gui/CAnimKnob.h"

namespace editor {

class CMyAnimKnob : public gui::CAnimKnob {
  public:
    using gui::CAnimKnob::CAnimKnob;

    int imageIndex() const override;
};

}  // namespace editor
