#include "gui/CDrawContext.h"

#include <cstdlib>
#include <cstring>

#include "gui/Blend.h"

namespace gui {

CDrawContext::CDrawContext(PixelSurface surface) : surface_(surface), clip_(surface.bounds()) {}

CRect CDrawContext::takeTouched() {
    const CRect t = touched_;
    touched_ = CRect();
    return t;
}

void CDrawContext::fillRect(const CRect& rect, std::uint32_t colour) {
    const CRect r = rect.intersection(clip_);
    if (r.isEmpty()) return;
    const std::uint32_t pixel = 0xFF000000u | colour;
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = surface_.row(y);
        for (int x = r.left; x < r.right; ++x)
            row[x] = pixel;
    }
    touched_ = touched_.unite(r);
}

void CDrawContext::setPixel(int x, int y, std::uint32_t colour) {
    if (!clip_.pointInside({x, y})) return;
    surface_.row(y)[x] = 0xFF000000u | colour;
    touched_ = touched_.unite({x, y, x + 1, y + 1});
}

// Bresenham's walk along the major axis; the end point is not drawn.
void CDrawContext::drawLine(CPoint from, CPoint to, std::uint32_t colour) {
    const int dx = std::abs(to.h - from.h), dy = std::abs(to.v - from.v);
    const int sx = to.h >= from.h ? 1 : -1, sy = to.v >= from.v ? 1 : -1;
    int x = from.h, y = from.v;
    if (dx >= dy) {
        int error = dx / 2;
        for (int i = 0; i < dx; ++i) {
            setPixel(x, y, colour);
            x += sx;
            if ((error -= dy) < 0) y += sy, error += dx;
        }
    } else {
        int error = dy / 2;
        for (int i = 0; i < dy; ++i) {
            setPixel(x, y, colour);
            y += sy;
            if ((error -= dx) < 0) x += sx, error += dy;
        }
    }
}

CRect CDrawContext::clipCopy(const PixelSurface& source, const CRect& destination,
                             CPoint& sourceOffset) const {
    // Where the source runs out, measured in destination coordinates.
    const CRect available(destination.left - sourceOffset.h, destination.top - sourceOffset.v,
                          destination.left - sourceOffset.h + source.width,
                          destination.top - sourceOffset.v + source.height);
    const CRect r = destination.intersection(clip_).intersection(available);
    sourceOffset.h += r.left - destination.left;
    sourceOffset.v += r.top - destination.top;
    return r;
}

void CDrawContext::copy(const PixelSurface& source, const CRect& destination, CPoint sourceOffset) {
    const CRect r = clipCopy(source, destination, sourceOffset);
    if (r.isEmpty()) return;
    for (int y = 0; y < r.height(); ++y)
        std::memcpy(surface_.row(r.top + y) + r.left,
                    source.row(sourceOffset.v + y) + sourceOffset.h,
                    static_cast<std::size_t>(r.width()) * sizeof(std::uint32_t));
    touched_ = touched_.unite(r);
}

void CDrawContext::blend(const PixelSurface& source, const CRect& destination, CPoint sourceOffset,
                         std::uint32_t opacity, bool skipKey) {
    const CRect r = clipCopy(source, destination, sourceOffset);
    if (r.isEmpty() || opacity == 0) return;
    for (int y = 0; y < r.height(); ++y)
        blendRow(surface_.row(r.top + y) + r.left, source.row(sourceOffset.v + y) + sourceOffset.h,
                 r.width(), opacity > 255 ? 255 : opacity, skipKey);
    touched_ = touched_.unite(r);
}

}  // namespace gui
