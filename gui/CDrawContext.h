// Drawing into a pixel surface: fills, one-pixel lines, and copies of
// pixels from another surface (opaque, blended by alpha, or with a constant
// opacity). Everything is clipped to the clip rectangle, and the context
// keeps the union of what it has changed, so that a window needs to be
// shown only that part.
#pragma once

#include <cstdint>

#include "gui/Geometry.h"
#include "gui/PixelSurface.h"

namespace gui {

class CDrawContext {
  public:
    explicit CDrawContext(PixelSurface surface);

    const PixelSurface& surface() const { return surface_; }
    void setClipRect(const CRect& clip) { clip_ = clip.intersection(surface_.bounds()); }
    const CRect& clipRect() const { return clip_; }

    // The union of every rectangle drawn since the last call; empties it.
    CRect takeTouched();
    const CRect& touched() const { return touched_; }

    // Colours are 0x00RRGGBB (the top byte is ignored).
    void fillRect(const CRect& rect, std::uint32_t colour);
    // From one point to the other, without the end point (as GDI's LineTo).
    void drawLine(CPoint from, CPoint to, std::uint32_t colour);

    // The pixels of source from sourceOffset on into destination, as they are.
    void copy(const PixelSurface& source, const CRect& destination, CPoint sourceOffset);
    // The same, each pixel over what is there by its alpha times opacity / 255;
    // skipKey leaves out pure magenta pixels (the old transparency colour).
    void blend(const PixelSurface& source, const CRect& destination, CPoint sourceOffset,
               std::uint32_t opacity = 255, bool skipKey = false);

  private:
    // The destination clipped to the clip rectangle and to what the source
    // holds; moves sourceOffset along. Empty when nothing is left.
    CRect clipCopy(const PixelSurface& source, const CRect& destination,
                   CPoint& sourceOffset) const;
    void setPixel(int x, int y, std::uint32_t colour);

    PixelSurface surface_;
    CRect clip_;
    CRect touched_;
};

}  // namespace gui
