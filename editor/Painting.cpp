#include "editor/Painting.h"

#include "gui/Input.h"
#include "synth/PaintRandom.h"

namespace editor {
namespace {

constexpr int kSize = 512;

int channel(std::uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

}  // namespace

std::uint32_t colourOf(float u) {
    if (u >= 0.5f) {
        const auto a = static_cast<std::uint32_t>(255 - static_cast<int>((u - 0.5f) * 510.f));
        return a << 16 | 0xFF00u | a;
    }
    const auto v = static_cast<std::uint32_t>(static_cast<int>(u * 510.f));
    return 0xFF0000u | v << 8 | v;
}

void blendPoint(std::uint32_t* picture, int x, int y, std::uint32_t colour, int strength) {
    if (x < 0 || x >= kSize || y < 0 || y >= kSize) return;
    std::uint32_t& pixel = picture[y * kSize + x];
    std::uint32_t result = 0;
    for (int shift : {16, 8, 0}) {
        const int current = channel(pixel, shift), target = channel(colour, shift);
        const int step = (target - current) * strength / 100;
        result |= static_cast<std::uint32_t>(step == 0 ? target : current + step) << shift;
    }
    pixel = result;
}

void Painter::penStamp(std::uint32_t* picture, int x, int y, std::uint32_t colour,
                       float density) const {
    const int r = static_cast<int>(audio::read(oscillator_.penSize) * 16.f + 2.f);
    const int strength = density == 1.f ? 100 : static_cast<int>(density * 10.f);
    for (int dy = -r; dy < r; ++dy)
        for (int dx = -r; dx < r; ++dx)
            if (dx * dx + dy * dy < r * r) blendPoint(picture, x + dx, y + dy, colour, strength);
}

void Painter::sprayStamp(std::uint32_t* picture, int x, int y, std::uint32_t colour,
                         float density) const {
    const int r = static_cast<int>(audio::read(oscillator_.penSize) * 32.f + 2.f);
    const int strength = static_cast<int>(density * 100.f);
    for (int dot = 0; dot < 3; ++dot) {
        const int dx = 2 * (synth::PaintRandom::next() % r) - r;
        const int dy = 2 * (synth::PaintRandom::next() % r) - r;
        blendPoint(picture, x + dx, y + dy, colour, strength);
    }
}

void Painter::line(std::uint32_t* picture, int x1, int y1, std::uint32_t colour,
                   float density) const {
    walkLine(anchorX_, anchorY_, x1, y1,
             [&](int x, int y) { penStamp(picture, x, y, colour, density); });
}

void Painter::stroke(int x, int y, int buttons, float density, LinePreview& preview) {
    const int tool = static_cast<int>(2.f * audio::read(oscillator_.tool));
    const std::uint32_t colour = colourOf(audio::read(oscillator_.color));
    auto access = oscillator_.pictures();
    std::uint32_t* picture = access.current();
    const struct {
        int button;
        std::uint32_t colour;
    } sides[] = {{gui::kLButton, colour}, {gui::kRButton, 0}};
    switch (tool) {
        case 0:
        case 1:
            for (const auto& side : sides)
                if (buttons & side.button) {
                    if (tool == 0)
                        penStamp(picture, x, y, side.colour, density);
                    else
                        sprayStamp(picture, x, y, side.colour, density);
                }
            break;
        case 2:
            // Pressed: the line starts here and is previewed while it is
            // drawn; released: it is painted from where it started.
            for (const auto& side : sides) {
                if (buttons & side.button) {
                    if (!(previousButtons_ & side.button)) anchorX_ = x, anchorY_ = y;
                    preview = {anchorX_, anchorY_, x, y};
                } else if (previousButtons_ & side.button) {
                    preview.x0 = preview.x1 = -1;
                    line(picture, x, y, side.colour, density);
                }
            }
            previousButtons_ = buttons;
            break;
        default:
            break;
    }
}

}  // namespace editor
