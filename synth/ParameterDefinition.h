// One row of an instrument's parameter definition table: everything about a
// parameter (its editor control and layout included) in one place, so that
// names, defaults, steps, controller defaults and the editor's layout all
// derive from the same row.
#pragma once

namespace synth {

// Editor control types of a row.
enum ControlType : int {
    kOnOffButton = 1,
    kVerticalSlider = 2,
    kKnob = 6,
    kKickButton = 9,
    kTextEdit = 10,
    kHorizontalSwitch = 11,
    kVerticalSwitch = 12,
    kSpectralCanvas = 13,
};

struct ParameterDefinition {
    int controlType;
    int x, y, width, height;     // editor pixels, top-left corner
    const char* name;            // at most 31 characters
    int startAngle, rangeAngle;  // degrees, knobs only
    float defaultValue;          // 0..1
    int defaultController;       // MIDI controller number, 0 for none
    int bitmapId, handleBitmapId, backgroundBitmapId;
    int steps;        // 0 continuous; n > 0 keeps the value a multiple of 1/n
    int imageHeight;  // height of one image in the control's bitmap strip
    int sliderOffsetX, sliderOffsetY;
    const char* displaySpec;  // may be null
};

}  // namespace synth
