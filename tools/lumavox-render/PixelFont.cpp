#include "tools/lumavox-render/PixelFont.h"

namespace render {
namespace {

struct Glyph {
    char c;
    std::uint16_t rows;  // 5 rows of 3 bits, top row first, leftmost pixel highest
};

constexpr Glyph kGlyphs[] = {
    {'0', 075557}, {'1', 026227}, {'2', 071747}, {'3', 071717}, {'4', 055711}, {'5', 074717},
    {'6', 074757}, {'7', 071111}, {'8', 075757}, {'9', 075717}, {'.', 000002}, {'-', 000700},
    {'k', 045655}, {'H', 055755}, {'z', 007247}, {'s', 034216}, {'d', 011353}, {'B', 065656},
};

constexpr int kAdvance = 4;  // glyph and gap, in unscaled pixels

}  // namespace

int textWidth(const std::string& text, int scale) {
    return text.empty() ? 0 : (static_cast<int>(text.size()) * kAdvance - 1) * scale;
}

void drawText(RgbPicture& picture, int x, int y, const std::string& text, int scale,
              std::uint32_t colour) {
    for (char c : text) {
        for (const Glyph& g : kGlyphs) {
            if (g.c != c) continue;
            for (int row = 0; row < 5; ++row)
                for (int col = 0; col < 3; ++col)
                    if (g.rows & (1 << ((4 - row) * 3 + (2 - col))))
                        for (int dy = 0; dy < scale; ++dy)
                            for (int dx = 0; dx < scale; ++dx)
                                picture.set(x + col * scale + dx, y + row * scale + dy, colour);
        }
        x += kAdvance * scale;
    }
}

}  // namespace render
