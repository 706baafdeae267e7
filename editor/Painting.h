// What a stroke of the canvas does to the picture: the pen (a disc), the
// spray (three dots scattered over a square), the line (a walk of pen
// stamps from where the button went down to where it came up), each
// blending the chosen colour into the pixels. The left button paints the
// colour, the right button black.
//
// Threads: the editor's.
#pragma once

#include <cstdint>

#include "modules/MoSpectrogram.h"

namespace editor {

// The Color value (0..1) as a pixel: red at 0, white at 0.5, green at 1.
std::uint32_t colourOf(float u);

// Moves each channel of the pixel at (x, y) strength percent of the way to
// colour; a step that rounds to 0 sets the channel outright (so strength 0
// sets the colour at once). Points outside the picture are skipped.
void blendPoint(std::uint32_t* picture, int x, int y, std::uint32_t colour, int strength);

// The unit steps of a line, a pen stamp before each: x first while the error
// allows, so a vertical line steps sideways once, and no stamp at the end.
template <class Stamp>
void walkLine(int x0, int y0, int x1, int y1, Stamp&& stamp) {
    const int dx = x1 - x0, dy = y1 - y0;
    const int adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int sx = x1 > x0 ? 1 : -1, sy = y1 > y0 ? 1 : -1;
    int error = adx > ady ? dy / 2 : -dx / 2;
    int x = x0, y = y0;
    for (int n = adx + ady; n > 0; --n) {
        stamp(x, y);
        if (error >= 0) {
            x += sx;
            error -= ady;
        } else {
            y += sy;
            error += adx;
        }
    }
}

// The line being drawn, in picture coordinates; x0 or x1 of -1 is none.
struct LinePreview {
    int x0 = -1, y0 = -1, x1 = -1, y1 = -1;
    bool operator==(const LinePreview&) const = default;
};

class Painter {
  public:
    explicit Painter(audio::MoSpectrogram& oscillator) : oscillator_(oscillator) {}

    // One stroke at picture point (x, y) with the button word and density,
    // by the tool, colour and pen size the editor has chosen.
    // The line tool shows the line it is drawing in preview.
    void stroke(int x, int y, int buttons, float density, LinePreview& preview);

  private:
    void penStamp(std::uint32_t* picture, int x, int y, std::uint32_t colour, float density) const;
    void sprayStamp(std::uint32_t* picture, int x, int y, std::uint32_t colour,
                    float density) const;
    void line(std::uint32_t* picture, int x1, int y1, std::uint32_t colour, float density) const;

    audio::MoSpectrogram& oscillator_;
    int anchorX_ = 0, anchorY_ = 0;
    int previousButtons_ = 0;
};

}  // namespace editor
