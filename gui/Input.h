// The mouse button word and the keys, as views receive them. The button
// word's values are the platform window's, which delivers them unchanged.
#pragma once

namespace gui {

enum MouseButton : int {
    kLButton = 1,
    kMButton = 2,
    kRButton = 4,
    kShift = 8,
    kControl = 16,
    kAlt = 32,
};

// The keys a host passes with its key requests (VST virtual keys).
enum VirtualKey : int {
    kKeyBack = 1,
    kKeyTab = 2,
    kKeyReturn = 4,
    kKeyEscape = 6,
    kKeyLeft = 11,
    kKeyUp = 12,
    kKeyRight = 13,
    kKeyDown = 14,
    kKeyEnter = 19,
    kKeyDelete = 22,
};

struct KeyCode {
    int character = 0;   // the character typed, 0 for none
    int virtualKey = 0;  // a VirtualKey, 0 for none
    int modifiers = 0;   // the shift, control and alt bits of the button word
};

}  // namespace gui
