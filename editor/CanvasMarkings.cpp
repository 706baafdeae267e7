#include "editor/CanvasMarkings.h"

namespace editor {
namespace {

constexpr int kSize = 512;
constexpr int kLabelHeight = 16;
// Where each frequency label of the strip's second row starts (label i
// spans from entry i to entry i + 1).
constexpr int kFrequencyLabelStart[] = {0, 56, 88, 120, 152, 184, 224, 264, 304};
constexpr int kStartLabelWidth = 40;
constexpr int kDigitLabelWidth = 16;

// Rows and columns of the picture, inclusive at both ends.
void fillRows(gui::CDrawContext& c, gui::CPoint o, int x0, int y0, int x1, int y1,
              std::uint32_t colour) {
    if (x1 < x0 || y1 < y0) return;
    c.fillRect({o.h + x0, o.v + y0, o.h + x1 + 1, o.v + y1 + 1}, colour);
}

void copyLabel(gui::CDrawContext& c, gui::CPoint o, const gui::CBitmap& labels, int x, int y,
               int fromX, int fromY, int width) {
    if (!labels.isLoaded()) return;
    c.copy(labels.surface(), {o.h + x, o.v + y, o.h + x + width, o.v + y + kLabelHeight},
           {fromX, fromY});
}

}  // namespace

void drawOctaveGrid(gui::CDrawContext& context, gui::CPoint origin, const gui::CBitmap& labels,
                    float tune, float range, float log) {
    const int tuneOffset = static_cast<int>((tune - 0.5f) * 512.f);
    const float rowScale = range * 0.9f + 0.05f;
    const bool logarithmic = static_cast<int>(log) != 0;
    // Line i inverts the rebuild's mapping of rows to bins at bin 16 x 2^i;
    // the lines climb, so the walk ends above the picture (64 lines cover
    // any setting).
    for (int i = 0; i < 64; ++i) {
        const float f = 16.f * static_cast<float>(1LL << (i < 40 ? i : 40));
        const float v = logarithmic ? 64.f * static_cast<float>(i) : f - 16.f;
        const int d = static_cast<int>(v / rowScale + 16.f - static_cast<float>(tuneOffset));
        const int y = kSize - d;
        if (y < 0) break;
        fillRows(context, origin, 0, y, kSize - 1, y, i == 0 ? kMarkerRed : kMarkerGreen);
        if (i <= 7)
            copyLabel(context, origin, labels, 0, y + 1, kFrequencyLabelStart[i], kLabelHeight,
                      kFrequencyLabelStart[i + 1] - kFrequencyLabelStart[i]);
    }
}

void drawTimeMarkers(gui::CDrawContext& context, gui::CPoint origin, const gui::CBitmap& labels,
                     float start, float tempo) {
    const int startX = static_cast<int>(start * 512.f);
    fillRows(context, origin, startX, 0, startX, kSize - 1, kMarkerRed);
    copyLabel(context, origin, labels, startX + 1, 0, 0, 0, kStartLabelWidth);
    if (tempo == 0.f) return;
    const float spacing = tempo * 512.f;
    // Tempo has 100 steps, so at most 100 markers fit; the bound only guards
    // against a value that is not one.
    for (int n = 1; n <= 1024; ++n) {
        const int x = static_cast<int>(spacing * static_cast<float>(n) + start * 512.f);
        if (x > kSize) break;
        fillRows(context, origin, x, 0, x, kSize - 1, kMarkerGreen);
        const int digit = (n - 1) % 10;
        copyLabel(context, origin, labels, x + 1, 0, kStartLabelWidth + kDigitLabelWidth * digit, 0,
                  kDigitLabelWidth);
    }
}

void drawLoopMarkers(gui::CDrawContext& context, gui::CPoint origin, float loopIn, float loopOut) {
    const struct {
        int at, direction;
    } markers[] = {{static_cast<int>(loopIn * 512.f), 1}, {static_cast<int>(loopOut * 512.f), -1}};
    for (const auto& m : markers) {
        for (int k = 0; k < 16; ++k) {
            const int x = m.at + k * m.direction;
            fillRows(context, origin, x, 496 + k, x, kSize - 1, kLoopOutline);
        }
        for (int k = 0; k < 14; ++k) {
            const int x = m.at + m.direction + k * m.direction;
            fillRows(context, origin, x, 498 + k, x, 509, kLoopInside);
        }
    }
}

}  // namespace editor
