#pragma once

namespace synth {

// Writes value as the VST SDK does for parameter displays: eight character
// slots in all (sign, integer digits, the point, then fraction digits, which
// are truncated, not rounded), so 0.5 gives "0.500000" and 0.7f "0.699999".
// text must hold maxLength + 1 bytes.
void float2string(float value, char* text, int maxLength);

}  // namespace synth
