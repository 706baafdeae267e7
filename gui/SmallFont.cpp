// The built-in font is stb's easy font: characters built of rectangles,
// which fill whole pixels here. Third-party code: without our warnings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_easy_font.h>
#pragma GCC diagnostic pop

#include <cmath>
#include <vector>

#include "gui/CTextEdit.h"

namespace gui {

int drawSmallText(CDrawContext& context, int x, int y, const char* text, std::uint32_t colour) {
    if (!text || !*text) return 0;
    struct Vertex {
        float x, y, z;
        unsigned char colour[4];
    };
    std::vector<Vertex> vertices(std::char_traits<char>::length(text) * 300 / sizeof(Vertex) + 64);
    char* mutableText = const_cast<char*>(text);  // stb's signature; it only reads
    const int quads =
        stb_easy_font_print(static_cast<float>(x), static_cast<float>(y), mutableText, nullptr,
                            vertices.data(), static_cast<int>(vertices.size() * sizeof(Vertex)));
    for (int q = 0; q < quads; ++q) {
        const Vertex& a = vertices[4 * q];
        const Vertex& c = vertices[4 * q + 2];
        context.fillRect({static_cast<int>(std::lround(a.x)), static_cast<int>(std::lround(a.y)),
                          static_cast<int>(std::lround(c.x)), static_cast<int>(std::lround(c.y))},
                         colour);
    }
    return stb_easy_font_width(mutableText);
}

}  // namespace gui
