// Points and rectangles in pixels. A rectangle holds its left and top edges
// and excludes its right and bottom ones, so width = right - left.
#pragma once

#include <algorithm>

namespace gui {

struct CPoint {
    int h = 0;  // x
    int v = 0;  // y
    bool operator==(const CPoint&) const = default;
};

struct CRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    CRect() = default;
    CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    // From a corner and a size; a negative width or height still gives a
    // proper rectangle, with its edges swapped.
    static CRect fromSize(int x, int y, int width, int height) {
        return {std::min(x, x + width), std::min(y, y + height), std::max(x, x + width),
                std::max(y, y + height)};
    }

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool pointInside(CPoint p) const {
        return p.h >= left && p.h < right && p.v >= top && p.v < bottom;
    }
    CRect& offset(int dx, int dy) {
        left += dx, right += dx, top += dy, bottom += dy;
        return *this;
    }
    CRect intersection(const CRect& o) const {
        CRect r(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom));
        return r.isEmpty() ? CRect() : r;
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    CRect unite(const CRect& o) const {
        if (isEmpty()) return o;
        if (o.isEmpty()) return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }
    bool operator==(const CRect&) const = default;
};

}  // namespace gui
