// The help overlay fades in and out over the canvas: at every redraw its
// level moves a quarter of the way to the target (200 with Help on, else 0),
// in integers truncated toward zero, and falls to 0 from 3 or below on the
// way out. Switched on, 16 redraws bring it to 197, where it stays.
#pragma once

namespace editor {

struct HelpFade {
    static constexpr int kOnTarget = 200;

    int target = 0;
    int level = 0;

    // One redraw's step; returns the level to draw with (0: no overlay).
    int step(bool helpOn) {
        target = helpOn ? kOnTarget : 0;
        if (level != target) level += (target - level) / 4;
        if (level <= 3 && target == 0) level = 0;
        return level;
    }
};

}  // namespace editor
