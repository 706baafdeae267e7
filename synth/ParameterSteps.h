// The step rule of a parameter with n steps, shared by the framework and the
// editor so that both put a value on the same step.
#pragma once

namespace synth {

// value (0..1) moved down to the step at or below it, k / steps. The float
// product n x value can fall just under a whole step that the value already
// is (53/100, 59/100), so a stepped value is checked against the step above:
// stepping again must leave it where it is, or every program change (and
// every knob turn ending on a step) would move such values down a step.
inline float stepValue(float value, int steps) {
    if (steps <= 0) return value;
    const float n = static_cast<float>(steps);
    int k = static_cast<int>(n * value);
    if (k < steps && static_cast<float>(k + 1) / n <= value) ++k;
    return static_cast<float>(k) / n;
}

}  // namespace synth
