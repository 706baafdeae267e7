// paint_editor_pictures: draws every picture of the editor: the panel behind
// the controls, the image strips of the knobs, lamps, buttons and switches,
// and the canvas's label strip and help overlay.
//
//   paint_editor_pictures [--fonts DIR] OUTPUT_DIR
//   paint_editor_pictures [--fonts DIR] --preview OUT_PNG CANVAS_PNG [--with-help]
//
// The first form writes the files resources.txt lists (into resources/editor).
// The second composes the editor as it first opens (every control at its
// default value, CANVAS_PNG on the canvas with its grid and markers, and with
// --with-help the help overlay at full strength) into OUT_PNG, to look at.
//
// The pictures are code so that one palette, one font and one set of stroke
// widths hold everywhere, and so that the panel follows the parameter table:
// captions and group boxes go where the table puts the controls, and the run
// fails when a caption would cover a control or leave the window. The output
// depends only on the code, the DejaVu fonts, libstb and the C library's
// maths: no clock, no unseeded randomness, so every run on the same system
// writes the same bytes (the test editor_pictures_are_reproducible checks).
#include <stb/stb_image_write.h>
#include <stb/stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "instrument/ParameterTable.h"
#include "platform/FileBytes.h"
#include "platform/ImageCodec.h"
#include "resources/ResourceIds.h"

namespace {

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "paint_editor_pictures: %s\n", message.c_str());
    std::exit(1);
}

// ---------------------------------------------------------------------------
// Raster: an RGBA float image with source-over blending, and shapes given as
// signed distance fields, which anti-alias every edge the same way (one pixel
// wide) whatever the shape.

constexpr float kPi = 3.14159265358979f;

struct Colour {  // straight alpha, every channel 0..1
    float r = 0, g = 0, b = 0, a = 0;
};

constexpr Colour rgb(int r, int g, int b, float a = 1.f) {
    return {r / 255.f, g / 255.f, b / 255.f, a};
}

Colour mix(Colour from, Colour to, float t) {
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Colour withAlpha(Colour c, float alpha) {
    c.a *= alpha;
    return c;
}

struct Point {
    float x = 0, y = 0;
};

float length(float x, float y) {
    return std::sqrt(x * x + y * y);
}

// Edges in pixel coordinates: pixel (x, y) covers x..x+1, y..y+1, so a box
// from 16 to 528 covers the pixels 16 to 527.
struct Box {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

class Image {
  public:
    Image() = default;
    Image(int width, int height, Colour fill = {})
        : width_(width),
          height_(height),
          pixels_(static_cast<std::size_t>(width) * height,
                  {fill.r * fill.a, fill.g * fill.a, fill.b * fill.a, fill.a}) {}

    int width() const { return width_; }
    int height() const { return height_; }

    // Source-over of colour covering the given fraction of pixel (x, y).
    void blend(int x, int y, Colour c, float coverage = 1.f) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        const float a = std::clamp(c.a * coverage, 0.f, 1.f);
        Premultiplied& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
        p.r = c.r * a + p.r * (1 - a);
        p.g = c.g * a + p.g * (1 - a);
        p.b = c.b * a + p.b * (1 - a);
        p.a = a + p.a * (1 - a);
    }

    // Source-over of another image with its top-left corner at (x, y).
    void compose(const Image& source, int x, int y, float opacity = 1.f) {
        for (int sy = 0; sy < source.height_; ++sy)
            for (int sx = 0; sx < source.width_; ++sx) {
                const int dx = x + sx, dy = y + sy;
                if (dx < 0 || dy < 0 || dx >= width_ || dy >= height_) continue;
                const Premultiplied& s = source.at(sx, sy);
                Premultiplied& d = pixels_[static_cast<std::size_t>(dy) * width_ + dx];
                const float a = s.a * opacity;
                d.r = s.r * opacity + d.r * (1 - a);
                d.g = s.g * opacity + d.g * (1 - a);
                d.b = s.b * opacity + d.b * (1 - a);
                d.a = a + d.a * (1 - a);
            }
    }

    Image crop(int x, int y, int width, int height) const {
        Image out(width, height);
        for (int sy = 0; sy < height; ++sy)
            for (int sx = 0; sx < width; ++sx)
                out.pixels_[static_cast<std::size_t>(sy) * width + sx] = at(x + sx, y + sy);
        return out;
    }

    // The pixel as a file stores it: 0xAARRGGBB, straight alpha, 8 bits a
    // channel; a fully transparent pixel is 0.
    std::uint32_t argb(int x, int y) const {
        const Premultiplied& p = at(x, y);
        const long a = std::lround(std::clamp(p.a, 0.f, 1.f) * 255);
        if (a == 0) return 0;
        auto channel = [&](float v) {
            return static_cast<std::uint32_t>(std::clamp(std::lround(v / p.a * 255), 0L, 255L));
        };
        return static_cast<std::uint32_t>(a) << 24 | channel(p.r) << 16 | channel(p.g) << 8 |
               channel(p.b);
    }

    std::vector<std::uint32_t> argbPixels() const {
        std::vector<std::uint32_t> out;
        out.reserve(pixels_.size());
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                out.push_back(argb(x, y));
        return out;
    }

  private:
    struct Premultiplied {
        float r, g, b, a;
    };
    const Premultiplied& at(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * width_ + x];
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<Premultiplied> pixels_;
};

// A shade gives the colour at a point: a solid colour or a gradient.
using Shade = std::function<Colour(Point)>;

Shade solid(Colour c) {
    return [c](Point) { return c; };
}

Shade vertical(float y0, Colour top, float y1, Colour bottom) {
    return [=](Point p) { return mix(top, bottom, std::clamp((p.y - y0) / (y1 - y0), 0.f, 1.f)); };
}

Shade radial(Point centre, float radius, Colour inner, Colour outer) {
    return [=](Point p) {
        return mix(inner, outer,
                   std::clamp(length(p.x - centre.x, p.y - centre.y) / radius, 0.f, 1.f));
    };
}

// A shape: its signed distance in pixels (negative inside) and the box
// outside which it has no pixels.
struct Shape {
    std::function<float(Point)> distance;
    Box bounds;
};

Shape circle(Point c, float r) {
    return {[=](Point p) { return length(p.x - c.x, p.y - c.y) - r; },
            {c.x - r, c.y - r, c.x + r, c.y + r}};
}

// An angle in degrees clockwise from twelve o'clock, as a direction.
Point onCircle(Point c, float r, float degrees) {
    const float a = degrees * kPi / 180;
    return {c.x + r * std::sin(a), c.y - r * std::cos(a)};
}

// A stroke of the given width along the circle from one angle to another
// (degrees clockwise from twelve o'clock, from < to, both within -180..180),
// with round caps.
Shape arc(Point c, float r, float width, float from, float to) {
    const Point e0 = onCircle(c, r, from), e1 = onCircle(c, r, to);
    const float half = width / 2;
    return {[=](Point p) {
                const float dx = p.x - c.x, dy = p.y - c.y;
                float d = std::min(length(p.x - e0.x, p.y - e0.y), length(p.x - e1.x, p.y - e1.y));
                const float angle = std::atan2(dx, -dy) * 180 / kPi;
                if (angle >= from && angle <= to) d = std::min(d, std::fabs(length(dx, dy) - r));
                return d - half;
            },
            {c.x - r - half, c.y - r - half, c.x + r + half, c.y + r + half}};
}

Shape ring(Point c, float r, float width) {
    return {[=](Point p) { return std::fabs(length(p.x - c.x, p.y - c.y) - r) - width / 2; },
            {c.x - r - width / 2, c.y - r - width / 2, c.x + r + width / 2, c.y + r + width / 2}};
}

Shape roundRect(Box b, float radius) {
    const float cx = (b.x0 + b.x1) / 2, cy = (b.y0 + b.y1) / 2;
    const float hx = (b.x1 - b.x0) / 2 - radius, hy = (b.y1 - b.y0) / 2 - radius;
    return {[=](Point p) {
                const float qx = std::fabs(p.x - cx) - hx, qy = std::fabs(p.y - cy) - hy;
                return length(std::max(qx, 0.f), std::max(qy, 0.f)) +
                       std::min(std::max(qx, qy), 0.f) - radius;
            },
            b};
}

// The band of the given width just inside a shape's edge.
Shape inside(const Shape& s, float width) {
    auto d = s.distance;
    return {[=](Point p) { return std::fabs(d(p) + width / 2) - width / 2; }, s.bounds};
}

Shape polyline(std::vector<Point> points, float width) {
    Box b{1e9f, 1e9f, -1e9f, -1e9f};
    for (const Point& p : points)
        b = {std::min(b.x0, p.x), std::min(b.y0, p.y), std::max(b.x1, p.x), std::max(b.y1, p.y)};
    const float half = width / 2;
    return {[points = std::move(points), half](Point p) {
                float best = 1e9f;
                for (std::size_t i = 0; i + 1 < points.size(); ++i) {
                    const Point a = points[i], e = points[i + 1];
                    const float vx = e.x - a.x, vy = e.y - a.y;
                    const float len2 = vx * vx + vy * vy;
                    const float t =
                        len2 > 0
                            ? std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / len2, 0.f, 1.f)
                            : 0.f;
                    best = std::min(best, length(p.x - a.x - t * vx, p.y - a.y - t * vy));
                }
                return best - half;
            },
            {b.x0 - half, b.y0 - half, b.x1 + half, b.y1 + half}};
}

Shape line(Point a, Point b, float width) {
    return polyline({a, b}, width);
}

// A convex polygon, its corners in either turning direction.
Shape polygon(std::vector<Point> corners) {
    Box b{1e9f, 1e9f, -1e9f, -1e9f};
    float area = 0;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const Point p = corners[i], q = corners[(i + 1) % corners.size()];
        area += p.x * q.y - q.x * p.y;
        b = {std::min(b.x0, p.x), std::min(b.y0, p.y), std::max(b.x1, p.x), std::max(b.y1, p.y)};
    }
    const float turn = area > 0 ? 1.f : -1.f;
    return {[corners = std::move(corners), turn](Point p) {
                float d = -1e9f;
                for (std::size_t i = 0; i < corners.size(); ++i) {
                    const Point a = corners[i], e = corners[(i + 1) % corners.size()];
                    const float vx = e.x - a.x, vy = e.y - a.y, len = length(vx, vy);
                    d = std::max(d, turn * ((p.x - a.x) * vy - (p.y - a.y) * vx) / len);
                }
                return d;
            },
            b};
}

Shape moved(const Shape& s, float dx, float dy) {
    auto d = s.distance;
    return {[=](Point p) {
                return d({p.x - dx, p.y - dy});
            },
            {s.bounds.x0 + dx, s.bounds.y0 + dy, s.bounds.x1 + dx, s.bounds.y1 + dy}};
}

// Paints a shape: coverage falls from 1 to 0 across `feather` pixels of its
// edge (1 for a crisp edge, more for a shadow or a glow).
void fill(Image& image, const Shape& shape, const Shade& shade, float feather = 1.f) {
    const int x0 = std::max(0, static_cast<int>(std::floor(shape.bounds.x0 - feather)));
    const int y0 = std::max(0, static_cast<int>(std::floor(shape.bounds.y0 - feather)));
    const int x1 = std::min(image.width(), static_cast<int>(std::ceil(shape.bounds.x1 + feather)));
    const int y1 = std::min(image.height(), static_cast<int>(std::ceil(shape.bounds.y1 + feather)));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const Point p{x + 0.5f, y + 0.5f};
            const float coverage = std::clamp(0.5f - shape.distance(p) / feather, 0.f, 1.f);
            if (coverage > 0) image.blend(x, y, shade(p), coverage);
        }
}

void fill(Image& image, const Shape& shape, Colour c, float feather = 1.f) {
    fill(image, shape, solid(c), feather);
}

// A whole-pixel rectangle, no anti-aliasing needed.
void fillRect(Image& image, int x, int y, int width, int height, Colour c) {
    for (int j = y; j < y + height; ++j)
        for (int i = x; i < x + width; ++i)
            image.blend(i, j, c);
}

// Images of equal size one under the other, as a control's strip holds them.
Image stack(const std::vector<Image>& images) {
    Image out(images.front().width(), images.front().height() * static_cast<int>(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i)
        out.compose(images[i], 0, static_cast<int>(i) * images.front().height());
    return out;
}

// ---------------------------------------------------------------------------
// Text, set with stb_truetype from the DejaVu fonts.

struct Ink {  // the pixels a text touched, for the layout checks
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

class Font {
  public:
    explicit Font(const std::filesystem::path& path) {
        if (!platform::readFileBytes(path, data_, 16 << 20)) fail("cannot read " + path.string());
        if (!stbtt_InitFont(&info_, data_.data(), stbtt_GetFontOffsetForIndex(data_.data(), 0)))
            fail(path.string() + " is not a TrueType font");
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // The advance of text set at `em` pixels, with `tracking` pixels added
    // between letters.
    float width(std::string_view text, float em, float tracking = 0) const {
        float x = 0;
        forEachGlyph(text, em, tracking, [&](int, float, float next) { x = next; });
        return x;
    }

    // Sets text with its baseline on row `baseline`, starting at x. Every
    // glyph starts on a whole pixel: at these sizes that keeps the stems of
    // letters and digits one sharp pixel column instead of two grey ones.
    Ink draw(Image& image, float x, int baseline, std::string_view text, float em, Colour colour,
             float tracking = 0) const {
        const float scale = stbtt_ScaleForMappingEmToPixels(&info_, em);
        Ink ink{1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
        forEachGlyph(text, em, tracking, [&](int codepoint, float pen, float) {
            int gx0 = 0, gy0 = 0, gx1 = 0, gy1 = 0;
            stbtt_GetCodepointBitmapBox(&info_, codepoint, scale, scale, &gx0, &gy0, &gx1, &gy1);
            const int w = gx1 - gx0, h = gy1 - gy0;
            if (w <= 0 || h <= 0) return;
            std::vector<unsigned char> coverage(static_cast<std::size_t>(w) * h);
            stbtt_MakeCodepointBitmap(&info_, coverage.data(), w, h, w, scale, scale, codepoint);
            const int left = static_cast<int>(std::lround(x + pen)) + gx0;
            const int top = baseline + gy0;
            for (int j = 0; j < h; ++j)
                for (int i = 0; i < w; ++i) {
                    const unsigned char c = coverage[static_cast<std::size_t>(j) * w + i];
                    if (c == 0) continue;
                    image.blend(left + i, top + j, colour, c / 255.f);
                    ink = {std::min(ink.x0, left + i), std::min(ink.y0, top + j),
                           std::max(ink.x1, left + i + 1), std::max(ink.y1, top + j + 1)};
                }
        });
        return ink;
    }

    Ink drawCentred(Image& image, float centreX, int baseline, std::string_view text, float em,
                    Colour colour, float tracking = 0) const {
        return draw(image, std::round(centreX - width(text, em, tracking) / 2), baseline, text, em,
                    colour, tracking);
    }

  private:
    // Calls visit(codepoint, pen position, pen position after it) for every
    // character of UTF-8 text, the pen advanced with kerning and tracking.
    template <class Visit>
    void forEachGlyph(std::string_view text, float em, float tracking, Visit visit) const {
        const float scale = stbtt_ScaleForMappingEmToPixels(&info_, em);
        float pen = 0;
        int previous = 0;
        for (std::size_t i = 0; i < text.size();) {
            int codepoint = static_cast<unsigned char>(text[i++]);
            if (codepoint >= 0xC0) {  // UTF-8 of up to three bytes
                const int extra = codepoint >= 0xE0 ? 2 : 1;
                codepoint &= extra == 2 ? 0x0F : 0x1F;
                for (int k = 0; k < extra && i < text.size(); ++k)
                    codepoint = codepoint << 6 | (static_cast<unsigned char>(text[i++]) & 0x3F);
            }
            if (previous) pen += scale * stbtt_GetCodepointKernAdvance(&info_, previous, codepoint);
            int advance = 0, bearing = 0;
            stbtt_GetCodepointHMetrics(&info_, codepoint, &advance, &bearing);
            const float next = pen + scale * advance;
            visit(codepoint, pen, next);
            pen = next + (i < text.size() ? tracking : 0);
            previous = codepoint;
        }
    }

    std::vector<std::uint8_t> data_;
    stbtt_fontinfo info_{};
};

struct Fonts {
    explicit Fonts(const std::filesystem::path& dir)
        : regular(dir / "DejaVuSans.ttf"),
          bold(dir / "DejaVuSans-Bold.ttf"),
          condensedBold(dir / "DejaVuSansCondensed-Bold.ttf") {}
    Font regular;
    Font bold;
    Font condensedBold;
};

// Sizes in pixels per em. DejaVu's capitals and digits are 0.729 em tall and
// its lower case 0.547 em, so at these sizes they end on whole pixels.
constexpr float kCaptionEm = 9.6f;  // capitals and digits 7 pixels tall
constexpr float kTextEm = 11.f;     // capitals 8, lower case 6 pixels tall

// ---------------------------------------------------------------------------
// The palette: a dark slate panel; red (240, 42, 40) and green (80, 220, 60)
// are the canvas's marker colours, and red also marks whatever is switched on.

namespace palette {
constexpr Colour kPanelTop = rgb(38, 41, 47);
constexpr Colour kPanelBottom = rgb(27, 29, 34);
constexpr Colour kGroupTop = rgb(47, 51, 59);
constexpr Colour kGroupBottom = rgb(41, 45, 52);
constexpr Colour kGroupEdge = rgb(62, 68, 79);
constexpr Colour kEngraved = rgb(68, 75, 87);
constexpr Colour kShadow = rgb(0, 0, 0, 0.45f);
constexpr Colour kWell = rgb(19, 21, 25);  // knob sockets, the canvas frame
constexpr Colour kCaption = rgb(184, 190, 200);
constexpr Colour kTitle = rgb(226, 229, 234);
constexpr Colour kTitleMark = rgb(240, 42, 40);
constexpr Colour kRed = rgb(240, 42, 40);
constexpr Colour kYellow = rgb(236, 196, 48);
constexpr Colour kGreen = rgb(80, 220, 60);
constexpr Colour kCapTop = rgb(86, 92, 103);
constexpr Colour kCapBottom = rgb(50, 54, 62);
constexpr Colour kTrack = rgb(48, 52, 61);
constexpr Colour kIconOff = rgb(128, 135, 147);
constexpr Colour kIconOn = rgb(250, 250, 252);
constexpr Colour kCellOff = rgb(30, 33, 38);
constexpr Colour kCellOnTop = rgb(78, 84, 96);
constexpr Colour kCellOnBottom = rgb(58, 63, 73);
constexpr Colour kLedOff = rgb(72, 30, 30);
}  // namespace palette

// The value arcs run from green through yellow to red.
Colour arcColour(float t) {
    t = std::clamp(t, 0.f, 1.f);
    return t < 0.5f ? mix(palette::kGreen, palette::kYellow, t * 2)
                    : mix(palette::kYellow, palette::kRed, t * 2 - 1);
}

// ---------------------------------------------------------------------------
// The pictures, their sizes and image counts.

struct PictureFormat {
    int id;
    const char* file;  // .bmp: a 32-bit Windows bitmap; .png
    int width;
    int imageHeight;
    int images;
    bool opaque;
};

constexpr PictureFormat kPictures[] = {
    {LUMAVOX_RES_BACKGROUND, "background.bmp", 688, 604, 1, true},
    {LUMAVOX_RES_KNOB, "knob.png", 32, 32, 101, false},
    {LUMAVOX_RES_PAN_KNOB, "pan_knob.png", 32, 32, 65, false},
    {LUMAVOX_RES_BEND_KNOB, "bend_knob.png", 32, 32, 65, false},
    {LUMAVOX_RES_LAMP, "lamp.png", 16, 16, 2, false},
    {LUMAVOX_RES_VIEW_SWITCH, "view_switch.png", 36, 72, 3, false},
    {LUMAVOX_RES_HELP_BUTTON, "help_button.png", 16, 16, 2, false},
    {LUMAVOX_RES_KICK_BUTTON, "kick_button.bmp", 24, 16, 2, false},
    {LUMAVOX_RES_TOOL_SWITCH, "tool_switch.bmp", 96, 32, 3, false},
    {LUMAVOX_RES_COLOUR_SWITCH, "colour_switch.bmp", 96, 16, 31, false},
    {LUMAVOX_RES_PEN_SIZE_KNOB, "pen_size_knob.bmp", 32, 32, 15, false},
    {LUMAVOX_RES_DENSITY_KNOB, "density_knob.bmp", 32, 32, 15, false},
    {LUMAVOX_RES_CANVAS_LABELS, "canvas_labels.png", 504, 32, 1, true},
    {LUMAVOX_RES_HELP_OVERLAY, "help_overlay.png", 512, 512, 1, true},
};

const PictureFormat& pictureFormat(int id) {
    for (const PictureFormat& format : kPictures)
        if (format.id == id) return format;
    fail("no picture has id " + std::to_string(id));
}

// ---------------------------------------------------------------------------
// Knobs: a dark socket, a groove of 270 degrees from half past seven to half
// past four with the value's arc in it, and a cap showing the value.

constexpr Point kKnobCentre{16, 16};
constexpr float kArcRadius = 12.75f;
constexpr float kArcWidth = 3.f;
constexpr float kKnobStart = -135, kKnobEnd = 135;

void knobSocket(Image& image) {
    fill(image, circle(kKnobCentre, 15.5f), palette::kWell);
    // A lighter lower rim makes the socket read as sunk into the panel.
    fill(image, inside(circle(kKnobCentre, 15.5f), 1.f),
         vertical(2, rgb(255, 255, 255, 0.f), 30, rgb(255, 255, 255, 0.10f)));
}

// The value's arc, coloured along its length, over a faint glow of itself.
void valueArc(Image& image, float from, float to, const std::function<float(float)>& heat) {
    if (to - from < 0.01f) return;
    const Shade shade = [&](Point p) {
        const float angle = std::atan2(p.x - kKnobCentre.x, kKnobCentre.y - p.y) * 180 / kPi;
        return arcColour(heat(std::clamp(angle, from, to)));
    };
    fill(
        image, arc(kKnobCentre, kArcRadius, kArcWidth + 2, from, to),
        [&](Point p) { return withAlpha(shade(p), 0.22f); }, 2.5f);
    fill(image, arc(kKnobCentre, kArcRadius, kArcWidth, from, to), shade);
}

void knobCap(Image& image, const Fonts& fonts, const std::string& label) {
    fill(image, moved(circle(kKnobCentre, 9.5f), 0, 1), palette::kShadow, 2.f);
    fill(image, circle(kKnobCentre, 9.5f),
         vertical(6.5f, palette::kCapTop, 25.5f, palette::kCapBottom));
    fill(image, inside(circle(kKnobCentre, 9.5f), 1.f),
         vertical(6.5f, rgb(255, 255, 255, 0.22f), 16, rgb(255, 255, 255, 0.f)));
    const float tracking = label.size() > 2 ? -0.6f : 0.f;
    fonts.condensedBold.drawCentred(image, 16, 20, label, kCaptionEm, rgb(242, 244, 247), tracking);
}

Image knobImage(const Fonts& fonts, float from, float to, const std::function<float(float)>& heat,
                const std::string& label, bool centreTick) {
    Image image(32, 32);
    knobSocket(image);
    fill(image, arc(kKnobCentre, kArcRadius, kArcWidth, kKnobStart, kKnobEnd), palette::kTrack);
    if (centreTick) fill(image, line({16, 2.5f}, {16, 5}, 1.f), rgb(150, 157, 168));
    valueArc(image, from, to, heat);
    knobCap(image, fonts, label);
    return image;
}

// 101 images: image k shows k and an arc over k percent of the travel.
std::vector<Image> paintKnob(const Fonts& fonts) {
    std::vector<Image> images;
    const auto heat = [](float angle) { return (angle - kKnobStart) / (kKnobEnd - kKnobStart); };
    for (int k = 0; k <= 100; ++k)
        images.push_back(knobImage(fonts, kKnobStart, kKnobStart + 270.f * k / 100, heat,
                                   std::to_string(k), false));
    return images;
}

// 65 images: left 100 (image 0) through the centre (image 32) to right 100;
// the arc grows from twelve o'clock towards the side.
std::vector<Image> paintPanKnob(const Fonts& fonts) {
    std::vector<Image> images;
    const auto heat = [](float angle) { return std::fabs(angle) / 135 * 0.5f; };
    for (int k = 0; k <= 64; ++k) {
        const float side = (k - 32) / 32.f;
        const float end = 135 * side;
        const int amount = static_cast<int>(std::lround(std::fabs(side) * 100));
        images.push_back(knobImage(fonts, std::min(0.f, end), std::max(0.f, end), heat,
                                   std::to_string(amount), true));
    }
    return images;
}

// 65 images of the bend range in semitones. The parameter has 12 steps and
// s/12 shows image trunc(65 s / 12), so image k shows the s that lands on it:
// round(12 k / 64).
std::vector<Image> paintBendKnob(const Fonts& fonts) {
    for (int s = 0; s <= 12; ++s)
        if (std::lround(12.0 * std::min(64, 65 * s / 12) / 64) != s)
            fail("the bend knob's image for " + std::to_string(s) + " semitones shows another");
    std::vector<Image> images;
    const auto heat = [](float angle) { return (angle - kKnobStart) / (kKnobEnd - kKnobStart); };
    for (int k = 0; k <= 64; ++k) {
        const int semitones = static_cast<int>(std::lround(12.0 * k / 64));
        images.push_back(knobImage(fonts, kKnobStart, kKnobStart + 270.f * semitones / 12, heat,
                                   std::to_string(semitones), false));
    }
    return images;
}

// The pen size and density knobs: a dot in the socket instead of a number.
Image dotKnobImage(float radius, Colour dot) {
    Image image(32, 32);
    knobSocket(image);
    fill(image, ring(kKnobCentre, 14.f, 1.f), palette::kTrack);
    fill(image, circle(kKnobCentre, radius), dot);
    return image;
}

std::vector<Image> paintPenSizeKnob() {
    std::vector<Image> images;
    for (int k = 0; k < 15; ++k)
        images.push_back(dotKnobImage(1.5f + 10.5f * k / 14, rgb(245, 246, 248)));
    return images;
}

std::vector<Image> paintDensityKnob() {
    std::vector<Image> images;
    for (int k = 0; k < 15; ++k) {
        const int level = 64 + (255 - 64) * k / 14;
        images.push_back(dotKnobImage(8.5f, rgb(level, level, level)));
    }
    return images;
}

// ---------------------------------------------------------------------------
// Lamps and buttons.

std::vector<Image> paintLamp() {
    std::vector<Image> images;
    const Point c{8, 8};
    for (bool on : {false, true}) {
        Image image(16, 16);
        fill(image, circle(c, 7.5f), palette::kWell);
        fill(image, inside(circle(c, 7.5f), 1.f),
             vertical(1, rgb(255, 255, 255, 0.f), 15, rgb(255, 255, 255, 0.12f)));
        if (on) {
            fill(image, circle(c, 6.5f), rgb(240, 42, 40, 0.45f), 3.f);
            fill(image, circle(c, 5.f), radial({7, 6.5f}, 6, rgb(255, 150, 130), rgb(226, 40, 34)));
        } else {
            fill(image, circle(c, 5.f), radial({7, 6.5f}, 6, rgb(104, 36, 34), rgb(52, 18, 18)));
        }
        fill(image, circle({6.3f, 5.8f}, 1.6f), rgb(255, 255, 255, on ? 0.65f : 0.22f), 1.5f);
        images.push_back(std::move(image));
    }
    return images;
}

std::vector<Image> paintHelpButton(const Fonts& fonts) {
    std::vector<Image> images;
    const Point c{8, 8};
    for (bool on : {false, true}) {
        Image image(16, 16);
        fill(image, circle(c, 7.5f), rgb(10, 11, 13));
        const Shade face = on ? vertical(1, rgb(250, 84, 70), 15, rgb(196, 30, 26))
                              : vertical(1, rgb(156, 162, 172), 15, rgb(100, 106, 116));
        fill(image, circle(c, 6.5f), face);
        fill(image, inside(circle(c, 6.5f), 1.f),
             vertical(1, rgb(255, 255, 255, 0.35f), 8, rgb(255, 255, 255, 0.f)));
        fonts.bold.drawCentred(image, 8, 12, "?", kTextEm,
                               on ? rgb(255, 255, 255) : rgb(28, 30, 34));
        images.push_back(std::move(image));
    }
    return images;
}

std::vector<Image> paintKickButton() {
    std::vector<Image> images;
    const Box body{0.5f, 0.5f, 23.5f, 15.5f};
    for (bool pressed : {false, true}) {
        Image image(24, 16);
        fill(image, roundRect(body, 3.5f), rgb(10, 11, 13));
        const Box face{1.5f, 1.5f, 22.5f, 14.5f};
        if (pressed) {
            fill(image, roundRect(face, 2.5f),
                 vertical(1.5f, rgb(176, 28, 24), 14.5f, rgb(236, 60, 50)));
            fill(image, inside(roundRect(face, 2.5f), 1.f),
                 vertical(1.5f, rgb(0, 0, 0, 0.35f), 8, rgb(0, 0, 0, 0.f)));
        } else {
            fill(image, roundRect(face, 2.5f),
                 vertical(1.5f, rgb(246, 247, 249), 14.5f, rgb(190, 195, 202)));
            fill(image, inside(roundRect(face, 2.5f), 1.f),
                 vertical(1.5f, rgb(255, 255, 255, 0.9f), 14.5f, rgb(120, 126, 136, 0.6f)));
        }
        images.push_back(std::move(image));
    }
    return images;
}

// ---------------------------------------------------------------------------
// Switches: a dark plate of cells; the chosen cell is lit, its icon white and
// its red indicator on.

void switchPlate(Image& image) {
    const Box plate{0, 0, static_cast<float>(image.width()), static_cast<float>(image.height())};
    fill(image, roundRect(plate, 4), rgb(12, 13, 16));
    fill(image, roundRect({1, 1, plate.x1 - 1, plate.y1 - 1}, 3), palette::kCellOff);
}

void litCell(Image& image, Box cell) {
    fill(image, roundRect(cell, 2.5f),
         vertical(cell.y0, palette::kCellOnTop, cell.y1, palette::kCellOnBottom));
    fill(image, inside(roundRect(cell, 2.5f), 1.f),
         vertical(cell.y0, rgb(255, 255, 255, 0.18f), cell.y0 + 6, rgb(255, 255, 255, 0.f)));
}

void led(Image& image, Shape shape, bool on) {
    if (on) fill(image, shape, rgb(240, 42, 40, 0.5f), 3.f);
    fill(image, shape, on ? palette::kRed : palette::kLedOff);
}

void pencilIcon(Image& image, Point c, Colour colour) {
    // Along the pencil (towards its top right end) and across it.
    const Point u{0.7071f, -0.7071f}, n{0.7071f, 0.7071f};
    auto at = [&](float along, float across) {
        return Point{c.x + u.x * along + n.x * across, c.y + u.y * along + n.y * across};
    };
    fill(image, polygon({at(-3.f, -2.7f), at(9.5f, -2.7f), at(9.5f, 2.7f), at(-3.f, 2.7f)}),
         colour);
    fill(image, polygon({at(-4.4f, -2.7f), at(-4.4f, 2.7f), at(-10.f, 0)}), colour);
    fill(image, line(at(6.f, -3.2f), at(6.f, 3.2f), 1.f), palette::kCellOff);
}

void sprayIcon(Image& image, Point c, Colour colour) {
    // A can with its nozzle, and a fan of drops leaving it.
    fill(image, roundRect({c.x - 9.5f, c.y - 2.f, c.x - 2.5f, c.y + 9.5f}, 1.5f), colour);
    fill(image, roundRect({c.x - 8.f, c.y - 5.f, c.x - 4.f, c.y - 2.5f}, 0.5f), colour);
    fill(image, line({c.x - 4.f, c.y - 4.f}, {c.x - 1.5f, c.y - 4.f}, 1.2f), colour);
    const Point drops[] = {{2.f, -4.f}, {5.f, -7.f},   {5.f, -1.5f},  {8.f, -10.f}, {8.5f, -4.5f},
                           {8.f, 1.f},  {11.f, -7.5f}, {11.5f, -2.f}, {11.f, 3.5f}};
    for (const Point& d : drops)
        fill(image, circle({c.x + d.x, c.y + d.y}, 1.1f), colour);
}

void lineIcon(Image& image, Point c, Colour colour) {
    const Point a{c.x - 8, c.y + 8}, b{c.x + 8, c.y - 8};
    fill(image, line(a, b, 1.8f), colour);
    for (Point end : {a, b})
        fill(image, circle(end, 2.6f), colour);
}

// Three images of 96 x 32: pen, spray and line, image k with tool k chosen.
std::vector<Image> paintToolSwitch() {
    std::vector<Image> images;
    using Icon = void (*)(Image&, Point, Colour);
    const Icon icons[] = {pencilIcon, sprayIcon, lineIcon};
    for (int chosen = 0; chosen < 3; ++chosen) {
        Image image(96, 32);
        switchPlate(image);
        for (int k = 0; k < 3; ++k) {
            const float x = 32.f * k;
            if (k > 0) fillRect(image, static_cast<int>(x), 3, 1, 26, rgb(12, 13, 16));
            if (k == chosen) litCell(image, {x + 2, 2, x + 31 - (k == 2 ? 1 : 0), 30});
            icons[k](image, {x + 16, 14.5f}, k == chosen ? palette::kIconOn : palette::kIconOff);
            led(image, roundRect({x + 10, 26, x + 22, 28}, 1), k == chosen);
        }
        images.push_back(std::move(image));
    }
    return images;
}

void offIcon(Image& image, Point c, Colour colour, const Fonts& fonts) {
    fonts.condensedBold.drawCentred(image, c.x, static_cast<int>(c.y + 3.5f), "OFF", 8.2f, colour,
                                    0.4f);
}

void waveIcon(Image& image, Point c, Colour colour) {
    std::vector<Point> points;
    for (int i = 0; i <= 36; ++i) {
        const float t = i / 36.f;
        points.push_back({c.x - 9 + 18 * t, c.y - 5 * std::sin(2 * kPi * t)});
    }
    fill(image, polyline(points, 1.6f), colour);
}

void spectrumIcon(Image& image, Point c, Colour colour) {
    const int heights[] = {4, 9, 12, 7, 10, 5};
    for (int i = 0; i < 6; ++i) {
        const float x = c.x - 9 + 3 * i;
        fill(image, roundRect({x + 0.25f, c.y + 6 - heights[i], x + 2.25f, c.y + 6}, 0.5f), colour);
    }
}

// Three images of 36 x 72, a column of three 24-pixel cells: off, waveform,
// spectrum; image k with cell k chosen.
std::vector<Image> paintViewSwitch(const Fonts& fonts) {
    std::vector<Image> images;
    for (int chosen = 0; chosen < 3; ++chosen) {
        Image image(36, 72);
        switchPlate(image);
        for (int k = 0; k < 3; ++k) {
            const float y = 24.f * k;
            if (k > 0) fillRect(image, 3, static_cast<int>(y), 30, 1, rgb(12, 13, 16));
            if (k == chosen) litCell(image, {2, y + 2, 34, y + 23 - (k == 2 ? 1 : 0)});
            const Colour icon = k == chosen ? palette::kIconOn : palette::kIconOff;
            const Point c{21, y + 12};
            if (k == 0) offIcon(image, c, icon, fonts);
            if (k == 1) waveIcon(image, c, icon);
            if (k == 2) spectrumIcon(image, c, icon);
            led(image, circle({7, y + 12}, 2), k == chosen);
        }
        images.push_back(std::move(image));
    }
    return images;
}

// The painting colour of switch position k of 31, as the canvas mixes it.
Colour paintColour(int k) {
    const float u = k / 30.f;
    if (u >= 0.5f) {
        const int a = 255 - static_cast<int>((u - 0.5f) * 510);
        return rgb(a, 255, a);
    }
    const int v = static_cast<int>(u * 510);
    return rgb(255, v, v);
}

// 31 images of 96 x 16: the colour bar, with a marker under position k. The
// switch picks position trunc(31 x / 96) for a click at x, so position k's
// cell is 96/31 pixels wide; the bar shades smoothly between cell centres and
// the marker sits at the centre of cell k.
std::vector<Image> paintColourSwitch() {
    const float cell = 96.f / 31;
    const Shade bar = [cell](Point p) {
        const float position = std::clamp(p.x / cell - 0.5f, 0.f, 30.f);
        const int k = std::min(29, static_cast<int>(position));
        return mix(paintColour(k), paintColour(k + 1), position - k);
    };
    std::vector<Image> images;
    for (int chosen = 0; chosen < 31; ++chosen) {
        Image image(96, 16);
        fill(image, roundRect({0, 0, 96, 11}, 3), rgb(10, 11, 13));
        fill(image, roundRect({1, 1, 95, 10}, 2), bar);
        fill(image, inside(roundRect({1, 1, 95, 10}, 2), 1.f),
             vertical(1, rgb(255, 255, 255, 0.35f), 10, rgb(0, 0, 0, 0.25f)));
        const float x = (chosen + 0.5f) * cell;
        fill(image, polygon({{x, 9.2f}, {x + 4.6f, 15.8f}, {x - 4.6f, 15.8f}}), rgb(10, 11, 13));
        fill(image, polygon({{x, 11.2f}, {x + 3.f, 15.f}, {x - 3.f, 15.f}}), rgb(248, 249, 250));
        images.push_back(std::move(image));
    }
    return images;
}

// ---------------------------------------------------------------------------
// The canvas's label strip: dark tags in the colour of the line each names.
// The canvas copies them whole (opaque) beside its markers and under its
// grid lines.

// Where the grid line labels start in the strip's second row: label i runs
// from entry i to entry i + 1.
constexpr int kGridLabelStarts[] = {0, 56, 88, 120, 152, 184, 224, 264, 304};

constexpr Colour kLabelBox = rgb(16, 17, 21);

void labelTag(Image& image, const Fonts& fonts, int x, int y, int width, std::string_view text,
              Colour colour) {
    fillRect(image, x, y, width, 16, kLabelBox);
    const Colour edge = mix(kLabelBox, colour, 0.45f);
    fillRect(image, x, y + 15, width, 1, edge);
    fillRect(image, x + width - 1, y, 1, 16, edge);
    // The text a little lighter than its line: pure marker red is dim on
    // the dark tag.
    fonts.condensedBold.drawCentred(image, x + (width - 1) / 2.f, y + 11, text, kCaptionEm,
                                    mix(colour, rgb(255, 255, 255), 0.25f));
}

std::vector<Image> paintCanvasLabels(const Fonts& fonts) {
    Image image(504, 32, kLabelBox);
    labelTag(image, fonts, 0, 0, 40, "0 Sec", palette::kRed);
    for (int k = 0; k < 10; ++k)
        labelTag(image, fonts, 40 + 16 * k, 0, 16, std::to_string((k + 1) % 10), palette::kGreen);
    const int* starts = kGridLabelStarts;
    const char* texts[] = {"A4=440", "880", "1760", "3520", "7040", "14080", "28160", "56320"};
    for (int i = 0; i < 8; ++i)
        labelTag(image, fonts, starts[i], 16, starts[i + 1] - starts[i], texts[i],
                 i == 0 ? palette::kRed : palette::kGreen);
    return {image};
}

// ---------------------------------------------------------------------------
// The layout: controls by their rows in the parameter table.

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    float centreX() const { return x + w / 2.f; }
    bool intersects(const Rect& o) const {
        return x < o.right() && o.x < right() && y < o.bottom() && o.y < bottom();
    }
    bool contains(const Rect& o) const {
        return o.x >= x && o.y >= y && o.right() <= right() && o.bottom() <= bottom();
    }
};

const synth::ParameterDefinition& row(std::string_view name) {
    for (int i = 0; i < lumavox::kParameterTableSize; ++i)
        if (name == lumavox::kParameterTable[i].name) return lumavox::kParameterTable[i];
    fail("the parameter table has no row " + std::string(name));
}

// Where the editor puts a row's control: buttons take their size from their
// picture, everything else from the row.
Rect controlRect(const synth::ParameterDefinition& r) {
    if (r.controlType == synth::kOnOffButton || r.controlType == synth::kKickButton) {
        const PictureFormat& format = pictureFormat(r.bitmapId);
        return {r.x, r.y, format.width, format.imageHeight};
    }
    return {std::min(r.x, r.x + r.width), std::min(r.y, r.y + r.height), std::abs(r.width),
            std::abs(r.height)};
}

Rect controlRect(std::string_view name) {
    return controlRect(row(name));
}

constexpr int kWindowWidth = 688, kWindowHeight = 604;
// The frame around the canvas, never on it.
constexpr int kFrameWidth = 4;
Rect canvasFrame() {
    const Rect c = controlRect("Spectr");
    return {c.x - kFrameWidth, c.y - kFrameWidth, c.w + 2 * kFrameWidth, c.h + 2 * kFrameWidth};
}

// ---------------------------------------------------------------------------
// The panel.

struct Caption {
    const char* text;
    const char* under;      // the control it names
    const char* alsoUnder;  // a second control it spans, or null
};

constexpr Caption kCaptions[] = {
    {"Vol", "Volume", nullptr},
    {"Pan", "Pan", nullptr},
    {"BndRng", "BndRng", nullptr},
    {"Start", "Start", nullptr},
    {"Tempo", "Tempo", nullptr},
    {"Tune", "Tune", nullptr},
    {"Drive", "Drive", nullptr},
    {"Log", "Log", nullptr},
    {"Range", "Range", nullptr},
    {"Spike", "Spike", nullptr},
    {"Fat", "Fat", nullptr},
    {"A - Env - R", "Attack", "Release"},
    {"Mono", "Mono", nullptr},
    {"Glide", "Glide", nullptr},
    {"Time", "DlyTime", nullptr},
    {"FBack", "DlyFbk", nullptr},
    {"Level", "DlyLv", nullptr},
    {"Rate", "ChrsRat", nullptr},
    {"Level", "ChrsLv", nullptr},
    {"Time", "RevTime", nullptr},
    {"Stereo", "RevStereo", nullptr},
    {"Level", "RevLevel", nullptr},
    {"In-Loop-Out", "LoopIn", "LoopOut"},
    {"Size", "PenSiz", nullptr},
    {"Density", "Densit", nullptr},
    {"Clear", "Clear", nullptr},
    {"Inv", "Invers", nullptr},
    {"Monoc", "Monoch", nullptr},
    {"Load", "Load", nullptr},
    {"Save", "Save", nullptr},
    {"Filter", "Filter", nullptr},
};

// The controls that show what they are in their own pictures.
constexpr const char* kUncaptioned[] = {"Spectr", "Tool", "Color", "WavDsp", "Help"};

struct Group {
    const char* title;
    std::vector<const char*> members;
};

// The right-hand column: boxes that end at kColumnRight, each around its
// controls and their captions, the title in its top band.
constexpr int kColumnRight = 680;
constexpr int kGroupPad = 8;
constexpr int kTitleBand = 16;    // from the box's top to its first control
constexpr int kCaptionBand = 16;  // from a control's bottom to the box's bottom

class Panel {
  public:
    explicit Panel(const Fonts& fonts) : fonts_(fonts), image_(kWindowWidth, kWindowHeight) {
        for (int i = 0; i < lumavox::kParameterTableSize; ++i) {
            const synth::ParameterDefinition& r = lumavox::kParameterTable[i];
            if (r.controlType != synth::kSpectralCanvas)
                controls_.push_back({controlRect(r), r.name});
        }
    }

    Image paint() {
        fill(image_, roundRect({0, 0, kWindowWidth, kWindowHeight}, 0),
             vertical(0, palette::kPanelTop, kWindowHeight, palette::kPanelBottom));
        canvasFrame();
        groups();
        bottomRow();
        logo();
        for (const Caption& c : kCaptions)
            caption(c);
        check();
        return image_;
    }

  private:
    struct Control {
        Rect rect;
        std::string name;
    };

    void canvasFrame() {
        const Rect f = ::canvasFrame();
        const Box outer{float(f.x), float(f.y), float(f.right()), float(f.bottom())};
        fill(image_, moved(roundRect(outer, 4), 0, 1), palette::kShadow, 3.f);
        fill(image_, roundRect(outer, 4), palette::kWell);
        fill(image_, inside(roundRect(outer, 4), 1.f),
             vertical(outer.y0, rgb(0, 0, 0, 0.5f), outer.y1, rgb(255, 255, 255, 0.10f)));
        // A black line right around the canvas keeps its edge crisp.
        const Rect c = controlRect("Spectr");
        fillRect(image_, c.x - 1, c.y - 1, c.w + 2, c.h + 2, rgb(0, 0, 0));
        boxes_.push_back({f, "canvas frame"});
    }

    // A raised box; its title, when it has one, engraved in the top band.
    void box(const Rect& r, const char* title) {
        const Box b{float(r.x), float(r.y), float(r.right()), float(r.bottom())};
        fill(image_, moved(roundRect(b, 5), 0, 1.5f), palette::kShadow, 3.f);
        fill(image_, roundRect(b, 5),
             vertical(b.y0, palette::kGroupTop, b.y1, palette::kGroupBottom));
        fill(image_, inside(roundRect(b, 5), 1.f), palette::kGroupEdge);
        fill(image_, inside(roundRect({b.x0 + 1, b.y0 + 1, b.x1 - 1, b.y1 - 1}, 4), 1.f),
             vertical(b.y0, rgb(255, 255, 255, 0.06f), b.y0 + 12, rgb(255, 255, 255, 0.f)));
        boxes_.push_back({r, title ? title : "box"});
        if (!title) return;
        const int baseline = r.y + 12;
        fill(image_,
             roundRect({b.x0 + 8, float(baseline - 6), b.x0 + 11, float(baseline - 1)}, 0.5f),
             palette::kTitleMark);
        const Ink ink =
            fonts_.bold.draw(image_, r.x + 15, baseline, title, 8.4f, palette::kTitle, 1.2f);
        inks_.push_back({{ink.x0, ink.y0, ink.x1 - ink.x0, ink.y1 - ink.y0}, title});
        fillRect(image_, ink.x1 + 6, baseline - 4, r.right() - 8 - (ink.x1 + 6), 1,
                 palette::kEngraved);
        fillRect(image_, ink.x1 + 6, baseline - 3, r.right() - 8 - (ink.x1 + 6), 1,
                 rgb(0, 0, 0, 0.25f));
    }

    Rect around(const std::vector<const char*>& members) const {
        Rect u = controlRect(members.front());
        for (const char* m : members) {
            const Rect r = controlRect(m);
            const int x0 = std::min(u.x, r.x), y0 = std::min(u.y, r.y);
            u = {x0, y0, std::max(u.right(), r.right()) - x0,
                 std::max(u.bottom(), r.bottom()) - y0};
        }
        return u;
    }

    void groups() {
        const Group edit{
            "BITMAP EDIT",
            {"Tool", "Color", "PenSiz", "Densit", "Clear", "Invers", "Monoch", "Load", "Save"}};
        // The editing box lines up with the canvas frame's top and with the
        // effect boxes' left edge.
        const Rect e = around(edit.members);
        const int left = controlRect("DlyTime").x - kGroupPad;
        const int top = ::canvasFrame().y;
        box({left, top, kColumnRight - left, e.bottom() + kCaptionBand - top}, edit.title);
        editBottom_ = e.bottom() + kCaptionBand;
        const Group effects[] = {{"DELAY", {"DlyTime", "DlyFbk", "DlyLv"}},
                                 {"REVERB", {"RevTime", "RevStereo", "RevLevel"}},
                                 {"CHORUS", {"ChrsRat", "ChrsLv"}},
                                 {"OUTPUT", {"Pan", "Volume"}}};
        for (const Group& g : effects) {
            const Rect r = around(g.members);
            box({r.x - kGroupPad, r.y - kTitleBand, kColumnRight - (r.x - kGroupPad),
                 r.h + kTitleBand + kCaptionBand},
                g.title);
        }
        effectsTop_ = controlRect("DlyTime").y - kTitleBand;
    }

    // One long box under the canvas; engraved lines part its sections.
    void bottomRow() {
        const Rect r =
            around({"Mono", "BndRng", "Glide", "Attack", "Release", "Start", "Tempo", "LoopIn",
                    "LoopOut", "Tune", "Log", "Range", "Spike", "Fat", "Drive", "Filter"});
        const Rect frame = ::canvasFrame();
        const int top = frame.bottom() + 4;
        box({frame.x, top, kColumnRight - frame.x, r.bottom() + kCaptionBand - top}, nullptr);
        const char* after[][2] = {{"Glide", "Attack"},
                                  {"Release", "Start"},
                                  {"Tempo", "LoopIn"},
                                  {"LoopOut", "Tune"},
                                  {"Range", "Spike"}};
        for (const auto& pair : after) {
            const int x = (controlRect(pair[0]).right() + controlRect(pair[1]).x) / 2;
            fillRect(image_, x - 1, top + 8, 1, r.bottom() + kCaptionBand - top - 16,
                     rgb(0, 0, 0, 0.35f));
            fillRect(image_, x, top + 8, 1, r.bottom() + kCaptionBand - top - 16,
                     palette::kEngraved);
        }
    }

    void logo() {
        const int left = controlRect("DlyTime").x - kGroupPad;
        const float centre = (left + kColumnRight) / 2.f;
        const int top = editBottom_, bottom = effectsTop_;
        const int baseline = top + (bottom - top) / 2 + 5;
        const Ink name = fonts_.bold.drawCentred(image_, centre, baseline, "Lumavox", 22.f,
                                                 rgb(240, 242, 246), -0.3f);
        inks_.push_back({{name.x0, name.y0, name.x1 - name.x0, name.y1 - name.y0}, "Lumavox"});
        // A short rule in the arcs' colours, under the name.
        const Shade rule = [&](Point p) {
            return arcColour((p.x - name.x0) / float(name.x1 - name.x0));
        };
        fill(image_,
             roundRect({float(name.x0), float(baseline + 4), float(name.x1), float(baseline + 6)},
                       1),
             rule);
        const Ink maker = fonts_.bold.drawCentred(image_, centre, baseline + 15, "ORVANE", 7.3f,
                                                  rgb(150, 157, 168), 2.2f);
        inks_.push_back({{maker.x0, maker.y0, maker.x1 - maker.x0, maker.y1 - maker.y0}, "ORVANE"});
    }

    void caption(const Caption& c) {
        const Rect r = controlRect(c.under);
        float centre = r.centreX();
        if (c.alsoUnder) centre = (r.x + controlRect(c.alsoUnder).right()) / 2.f;
        // A lamp sits lower than the knobs beside it, so its name goes above
        // it; everything else is named underneath.
        const bool lamp = row(c.under).controlType == synth::kOnOffButton;
        const int baseline = lamp ? r.y - 4 : r.bottom() + 9;
        Ink ink;
        if (std::string_view(c.under) == "Pan") {
            // The pan knob's sides under it, dimmer than its name.
            ink = fonts_.condensedBold.drawCentred(image_, centre, baseline, c.text, kCaptionEm,
                                                   palette::kCaption);
            const Colour side = rgb(130, 137, 148);
            const Ink l =
                fonts_.condensedBold.draw(image_, ink.x0 - 12.f, baseline, "L", kCaptionEm, side);
            const Ink rr =
                fonts_.condensedBold.draw(image_, ink.x1 + 6.f, baseline, "R", kCaptionEm, side);
            ink = {l.x0, std::min(l.y0, ink.y0), rr.x1, std::max(rr.y1, ink.y1)};
        } else {
            ink = fonts_.condensedBold.drawCentred(image_, centre, baseline, c.text, kCaptionEm,
                                                   palette::kCaption);
        }
        inks_.push_back({{ink.x0, ink.y0, ink.x1 - ink.x0, ink.y1 - ink.y0}, c.text});
    }

    // Nothing painted may lie under a control or reach the window's edge, and
    // a box either holds a control well inside its edge or keeps clear of it.
    void check() const {
        const Rect window{0, 0, kWindowWidth, kWindowHeight};
        const Rect inner{2, 2, kWindowWidth - 4, kWindowHeight - 4};
        for (const Control& ink : inks_) {
            if (!inner.contains(ink.rect)) fail("\"" + ink.name + "\" reaches the window's edge");
            for (const Control& c : controls_)
                if (ink.rect.intersects(c.rect))
                    fail("\"" + ink.name + "\" lies under the control " + c.name);
            for (const Control& other : inks_)
                if (&other != &ink && ink.rect.intersects(other.rect))
                    fail("\"" + ink.name + "\" overlaps \"" + other.name + "\"");
            if (ink.rect.intersects(::canvasFrame()))
                fail("\"" + ink.name + "\" lies on the canvas");
        }
        for (const Control& b : boxes_) {
            if (!window.contains(b.rect)) fail(b.name + " leaves the window");
            for (const Control& c : controls_) {
                const Rect well{b.rect.x + 3, b.rect.y + 3, b.rect.w - 6, b.rect.h - 6};
                if (c.rect.intersects(b.rect) && !well.contains(c.rect))
                    fail("the edge of " + b.name + " crosses the control " + c.name);
            }
            for (const Control& other : boxes_)
                if (&other != &b && b.rect.intersects(other.rect))
                    fail(b.name + " overlaps " + other.name);
        }
        for (const Control& c : controls_) {
            bool named = std::find(std::begin(kUncaptioned), std::end(kUncaptioned), c.name) !=
                         std::end(kUncaptioned);
            for (const Caption& caption : kCaptions)
                named = named || c.name == caption.under ||
                        (caption.alsoUnder && c.name == caption.alsoUnder);
            if (!named) fail("the control " + c.name + " has no caption");
            if (!window.contains(c.rect)) fail("the control " + c.name + " leaves the window");
            if (c.rect.intersects(::canvasFrame()))
                fail("the control " + c.name + " lies on the canvas frame");
        }
    }

    const Fonts& fonts_;
    Image image_;
    std::vector<Control> controls_;
    std::vector<Control> inks_;   // captions and titles
    std::vector<Control> boxes_;  // the frame and the group boxes
    int editBottom_ = 0;
    int effectsTop_ = 0;
};

// ---------------------------------------------------------------------------
// The help overlay: a white sheet over the canvas, with boxes that name the
// controls around it and point at them. The editor draws it over the canvas,
// so a control lies at its editor position less the canvas's; the bottom row
// and the right-hand column lie outside the sheet, and the arrows end at its
// edge.

constexpr int kSheet = 512;
constexpr Colour kInk = rgb(0, 0, 0);
constexpr Colour kNoteFill = rgb(242, 243, 245);

class HelpSheet {
  public:
    explicit HelpSheet(const Fonts& fonts)
        : fonts_(fonts), image_(kSheet, kSheet, rgb(255, 255, 255)) {
        const Rect canvas = controlRect("Spectr");
        if (canvas.w != kSheet || canvas.h != kSheet) fail("the help sheet must cover the canvas");
    }

    Image paint() {
        description();
        colourNote();
        toolsNote();
        sideNotes();
        bottomNotes();
        return image_;
    }

  private:
    static constexpr int kLine = 14;  // line pitch at kTextEm
    static constexpr int kPad = 5;

    // A line of a note may begin with a bold name ended by "|":
    // "Left button:| paint in the chosen colour".
    int lineWidth(const std::string& l) const {
        const std::size_t bar = l.find('|');
        if (bar == std::string::npos)
            return static_cast<int>(std::ceil(fonts_.regular.width(l, kTextEm)));
        return static_cast<int>(std::ceil(std::round(fonts_.bold.width(l.substr(0, bar), kTextEm)) +
                                          fonts_.regular.width(l.substr(bar + 1), kTextEm)));
    }

    void drawLine(int x, int baseline, const std::string& l) {
        const std::size_t bar = l.find('|');
        if (bar == std::string::npos) {
            fonts_.regular.draw(image_, x, baseline, l, kTextEm, kInk);
            return;
        }
        const std::string name = l.substr(0, bar);
        fonts_.bold.draw(image_, x, baseline, name, kTextEm, kInk);
        fonts_.regular.draw(image_, x + std::round(fonts_.bold.width(name, kTextEm)), baseline,
                            l.substr(bar + 1), kTextEm, kInk);
    }

    Rect noteRect(int x, int y, const std::vector<std::string>& lines, int indent = 0) const {
        int width = 0;
        for (const std::string& l : lines)
            width = std::max(width, lineWidth(l));
        return {x, y, width + indent + 2 * kPad,
                static_cast<int>(lines.size()) * kLine + 2 * kPad - 2};
    }

    // A box of lines with its top-left corner at (x, y); `indent` pixels are
    // left free before the text.
    Rect note(int x, int y, const std::vector<std::string>& lines, int indent = 0) {
        const Rect r = noteRect(x, y, lines, indent);
        const Shape box =
            roundRect({float(r.x), float(r.y), float(r.right()), float(r.bottom())}, 3);
        fill(image_, box, kNoteFill);
        fill(image_, inside(box, 1.f), kInk);
        for (std::size_t i = 0; i < lines.size(); ++i)
            drawLine(x + kPad + indent, y + kPad + 9 + static_cast<int>(i) * kLine, lines[i]);
        return r;
    }

    // The same box, placed by its bottom-right corner.
    Rect noteFromBottomRight(int right, int bottom, const std::vector<std::string>& lines) {
        const Rect size = noteRect(0, 0, lines);
        return note(right - size.w, bottom - size.h, lines);
    }

    void arrowHead(Point tip, float dx, float dy) {
        const float len = length(dx, dy);
        dx /= len;
        dy /= len;
        const float back = 7, half = 3.5f;
        fill(image_,
             polygon({tip,
                      {tip.x - dx * back - dy * half, tip.y - dy * back + dx * half},
                      {tip.x - dx * back + dy * half, tip.y - dy * back - dx * half}}),
             kInk);
    }

    // A leader from a note's edge (a dot) along the path to the sheet's edge
    // (an arrow). Points on pixel centres keep the one-pixel lines sharp.
    void leader(std::vector<Point> path) {
        fill(image_, polyline(path, 1.f), kInk);
        const Point end = path.back(), before = path[path.size() - 2];
        arrowHead(end, end.x - before.x, end.y - before.y);
        fill(image_, circle(path.front(), 2.f), kInk);
    }

    static float pixelCentre(float v) { return std::floor(v) + 0.5f; }

    // The sheet coordinate of an editor coordinate.
    static float onSheetX(float editorX) { return editorX - controlRect("Spectr").x; }
    static float onSheetY(float editorY) { return editorY - controlRect("Spectr").y; }

    void description() {
        note(8, 8,
             {"Lumavox|  plays this picture as sound.", "Columns are time, from left to right;",
              "rows are partials, low at the bottom,", "high at the top. A note starts at the red",
              "marker and loops between the cyan", "triangles. Paint while it plays: the sound",
              "follows when you let go of the button."});
    }

    void colourNote() {
        const int indent = 16;
        const Rect r =
            note(8, 122, {"Red:| left channel", "Green:| right channel", "Blue:| seen, not heard"},
                 indent);
        const Colour swatches[] = {rgb(240, 42, 40), rgb(80, 220, 60), rgb(40, 90, 240)};
        for (int i = 0; i < 3; ++i) {
            const float y = r.y + kPad + 1.f + i * kLine;
            const Shape swatch = roundRect({r.x + kPad + 0.f, y, r.x + kPad + 11.f, y + 10}, 2);
            fill(image_, swatch, swatches[i]);
            fill(image_, inside(swatch, 1.f), rgb(0, 0, 0, 0.6f));
        }
    }

    // Notes on the right point across the sheet's right edge at the height
    // of what they name.
    void toolsNote() {
        const Rect r = noteFromBottomRight(
            kSheet - 28, 8 + 9 * kLine + 2 * kPad - 2,
            {"Drawing tools:| pen, spray, line", "Colour, Size, Density:| the paint",
             "Left button:| paint in the chosen colour", "Right button:| erase",
             "Monoc:| convert to monochrome", "Inv:| invert", "Clear:| clear",
             "Load:| import bmp/png/jpg/gif", "Save:| save as bmp 512x512"});
        const Rect tool = controlRect("Tool");
        const float y = pixelCentre(onSheetY(tool.y + tool.h / 2.f));
        leader({{float(r.right()) + 0.5f, y}, {float(kSheet), y}});
    }

    void sideNotes() {
        // Effects: level with the delay's knobs.
        const Rect e = noteFromBottomRight(
            kSheet - 28, 298, {"Effects:| delay, reverb, chorus;", "output pan and volume"});
        const float y = pixelCentre(onSheetY(controlRect("DlyTime").y + 16.f));
        leader({{float(e.right()) + 0.5f, y}, {float(kSheet), y}});
        // View mode: down the free strip by the right edge, then across at
        // the switch's middle.
        const Rect v = noteFromBottomRight(kSheet - 8, 342,
                                           {"View Mode:| Normal /", "Waveform / Spectrogram"});
        const Rect s = controlRect("WavDsp");
        const float x = kViewLane, ys = pixelCentre(onSheetY(s.y + s.h / 2.f));
        leader({{x, float(v.bottom()) + 0.5f}, {x, ys}, {float(kSheet), ys}});
    }

    // The bottom row lies under the sheet. Each note sits on one of four
    // tiers above the bottom edge and holds its leader, which runs straight
    // down to the control; a note never covers the leader of a note on its
    // tier or above, so no line crosses a box.
    void bottomNotes() {
        struct Item {
            std::vector<std::string> lines;
            const char* control;
            const char* alsoControl;  // a second control the note spans, or null
            int x, tier;
        };
        const Item items[] = {
            {{"Poly/Mono"}, "Mono", nullptr, 2, 3},
            {{"Pitch Bend Range"}, "BndRng", nullptr, 18, 2},
            {{"Portament Speed"}, "Glide", nullptr, 54, 1},
            {{"Envelope"}, "Attack", "Release", 104, 0},
            {{"Sound Start", "Position"}, "Start", nullptr, 172, 0},
            {{"Tempo"}, "Tempo", nullptr, 241, 1},
            {{"Loop Point"}, "LoopIn", "LoopOut", 299, 0},
            {{"Tuning"}, "Tune", nullptr, 377, 0},
            {{"Frequency", "Linear/Log switch"}, "Log", nullptr, 356, 1},
            {{"Freq Range"}, "Range", nullptr, 402, 2},
        };
        const int tierBottom[] = {504, 460, 416, 388};
        for (const Item& it : items) {
            const Rect size = noteRect(0, 0, it.lines);
            const Rect r = note(it.x, tierBottom[it.tier] - size.h, it.lines);
            const Rect c = controlRect(it.control);
            const float centre =
                it.alsoControl ? (c.x + controlRect(it.alsoControl).right()) / 2.f : c.centreX();
            const float x = pixelCentre(onSheetX(centre));
            if (x < r.x + 3 || x > r.right() - 3) fail("a help note misses its leader");
            leader({{x, float(r.bottom()) + 0.5f}, {x, float(kSheet)}});
        }
        // The four knobs at the right end of the bottom row lie beyond the
        // sheet's corner: down the strip by the right edge, then into it.
        const Rect r = noteFromBottomRight(
            kSheet - 24, 388,
            {"Spiky Sound, Fatness, Drive, Filter:", "compensation for too strong harmonics"});
        const float x = kCornerLane;
        leader(
            {{x, float(r.bottom()) + 0.5f}, {x, 490.5f}, {float(kSheet) - 1, float(kSheet) - 1}});
    }

    // Two vertical lanes right of every bottom note (the rightmost ends at
    // 474) carry the leaders that turn towards the right edge and the corner.
    static constexpr float kCornerLane = 484.5f;
    static constexpr float kViewLane = 496.5f;

    const Fonts& fonts_;
    Image image_;
};

// ---------------------------------------------------------------------------
// Files.

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// A 32-bit BI_RGB bitmap with the 40-byte header, rows from the bottom, the
// fourth byte of each pixel its alpha (stb and the editor read it).
std::vector<std::uint8_t> encodeBmp(const Image& image) {
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(image.width()) * image.height() * 4;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, 14 + 40 + pixelBytes);
    put32(out, 0);
    put32(out, 14 + 40);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(image.width()));
    put32(out, static_cast<std::uint32_t>(image.height()));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);  // BI_RGB
    put32(out, pixelBytes);
    put32(out, 2835);  // 72 dots per inch
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t p = image.argb(x, y);
            out.push_back(static_cast<std::uint8_t>(p));
            out.push_back(static_cast<std::uint8_t>(p >> 8));
            out.push_back(static_cast<std::uint8_t>(p >> 16));
            out.push_back(static_cast<std::uint8_t>(p >> 24));
        }
    return out;
}

// RGBA, or RGB for a picture without transparency.
std::vector<std::uint8_t> encodePng(const Image& image, bool opaque) {
    const int channels = opaque ? 3 : 4;
    std::vector<std::uint8_t> pixels;
    for (std::uint32_t p : image.argbPixels()) {
        pixels.push_back(static_cast<std::uint8_t>(p >> 16));
        pixels.push_back(static_cast<std::uint8_t>(p >> 8));
        pixels.push_back(static_cast<std::uint8_t>(p));
        if (!opaque) pixels.push_back(static_cast<std::uint8_t>(p >> 24));
    }
    stbi_write_png_compression_level = 9;
    stbi_write_force_png_filter = -1;
    std::vector<std::uint8_t> out;
    const int ok = stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            const auto* bytes = static_cast<const std::uint8_t*>(data);
            static_cast<std::vector<std::uint8_t>*>(context)->insert(
                static_cast<std::vector<std::uint8_t>*>(context)->end(), bytes, bytes + size);
        },
        &out, image.width(), image.height(), channels, pixels.data(), image.width() * channels);
    if (!ok) fail("cannot encode a PNG");
    return out;
}

bool isBmp(const PictureFormat& format) {
    return std::string_view(format.file).ends_with(".bmp");
}

// The file bytes of a picture, checked against its format and read back
// through the plug-in's own decoder.
std::vector<std::uint8_t> encodePicture(const PictureFormat& format, const Image& image) {
    const std::string name = format.file;
    if (image.width() != format.width || image.height() != format.imageHeight * format.images)
        fail(name + " came out " + std::to_string(image.width()) + " x " +
             std::to_string(image.height()));
    const std::vector<std::uint32_t> pixels = image.argbPixels();
    for (std::uint32_t p : pixels) {
        if ((p & 0xFFFFFF) == 0xFF00FF && p >> 24) fail(name + " holds pure magenta");
        if (format.opaque && p >> 24 != 0xFF) fail(name + " must be opaque");
    }
    std::vector<std::uint8_t> bytes =
        isBmp(format) ? encodeBmp(image) : encodePng(image, format.opaque);
    platform::Image decoded;
    const bool ok = isBmp(format) ? platform::decodeBitmapResource(bytes.data() + 14,
                                                                   bytes.size() - 14, decoded)
                                  : platform::decodeImage(bytes.data(), bytes.size(), decoded);
    if (!ok || decoded.pixels != pixels) fail(name + " does not read back as written");
    return bytes;
}

// Every row of the parameter table that shows a picture agrees with it on
// the size of one image.
void checkTableAgainstPictures() {
    for (int i = 0; i < lumavox::kParameterTableSize; ++i) {
        const synth::ParameterDefinition& r = lumavox::kParameterTable[i];
        if (r.bitmapId == 0 || r.controlType == synth::kSpectralCanvas) continue;
        const PictureFormat& format = pictureFormat(r.bitmapId);
        const bool button =
            r.controlType == synth::kOnOffButton || r.controlType == synth::kKickButton;
        const int images = button ? 2 : format.imageHeight * format.images / r.imageHeight;
        if (images != format.images ||
            (!button && (r.imageHeight != format.imageHeight || std::abs(r.width) != format.width)))
            fail(std::string("the row ") + r.name + " does not fit the picture " + format.file);
    }
}

std::map<int, Image> paintAll(const Fonts& fonts) {
    std::map<int, Image> pictures;
    pictures[LUMAVOX_RES_BACKGROUND] = Panel(fonts).paint();
    pictures[LUMAVOX_RES_KNOB] = stack(paintKnob(fonts));
    pictures[LUMAVOX_RES_PAN_KNOB] = stack(paintPanKnob(fonts));
    pictures[LUMAVOX_RES_BEND_KNOB] = stack(paintBendKnob(fonts));
    pictures[LUMAVOX_RES_LAMP] = stack(paintLamp());
    pictures[LUMAVOX_RES_VIEW_SWITCH] = stack(paintViewSwitch(fonts));
    pictures[LUMAVOX_RES_HELP_BUTTON] = stack(paintHelpButton(fonts));
    pictures[LUMAVOX_RES_KICK_BUTTON] = stack(paintKickButton());
    pictures[LUMAVOX_RES_TOOL_SWITCH] = stack(paintToolSwitch());
    pictures[LUMAVOX_RES_COLOUR_SWITCH] = stack(paintColourSwitch());
    pictures[LUMAVOX_RES_PEN_SIZE_KNOB] = stack(paintPenSizeKnob());
    pictures[LUMAVOX_RES_DENSITY_KNOB] = stack(paintDensityKnob());
    pictures[LUMAVOX_RES_CANVAS_LABELS] = stack(paintCanvasLabels(fonts));
    pictures[LUMAVOX_RES_HELP_OVERLAY] = HelpSheet(fonts).paint();
    return pictures;
}

// ---------------------------------------------------------------------------
// The preview: the editor as it first opens, composed the way the editor
// draws it.

// The image a control shows for a value: knobs divide 0..1 into as many
// equal parts as they have images; switches round to the nearest position;
// buttons show their second image when the value is not 0.
int imageFor(const synth::ParameterDefinition& r, int images) {
    const float value = r.defaultValue;
    if (r.controlType == synth::kKnob)
        return std::min(images - 1, static_cast<int>(images * value));
    if (r.controlType == synth::kHorizontalSwitch || r.controlType == synth::kVerticalSwitch)
        return static_cast<int>(value * (images - 1) + 0.5f);
    return value != 0 ? 1 : 0;
}

float defaultOf(std::string_view name) {
    return row(name).defaultValue;
}

// The canvas with its grid, start, time and loop markers, as the editor
// draws it over the picture.
Image canvasView(const std::filesystem::path& picturePath, const Image& labels) {
    std::vector<std::uint8_t> bytes;
    platform::Image picture;
    if (!platform::readFileBytes(picturePath, bytes, 64 << 20) ||
        !platform::decodeImage(bytes.data(), bytes.size(), picture) || picture.width != 512 ||
        picture.height != 512)
        fail("cannot read a 512 x 512 picture from " + picturePath.string());
    Image canvas(512, 512);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            const std::uint32_t p = picture.pixels[static_cast<std::size_t>(y) * 512 + x];
            canvas.blend(x, y, rgb(p >> 16 & 255, p >> 8 & 255, p & 255));
        }
    const Colour red = rgb(240, 42, 40), green = rgb(80, 220, 60);
    const int tuneOffset = static_cast<int>((defaultOf("Tune") - 0.5f) * 512);
    const float rowScale = defaultOf("Range") * 0.9f + 0.05f;
    const bool logMode = static_cast<int>(defaultOf("Log")) != 0;
    const int* labelStarts = kGridLabelStarts;
    for (int i = 0;; ++i) {
        const float f = 16 * std::pow(2.f, static_cast<float>(i));
        const float v = logMode ? 64.f * i : f - 16;
        const int y = 512 - static_cast<int>(v / rowScale + 16 - tuneOffset);
        if (y < 0) break;
        fillRect(canvas, 0, y, 512, 1, i == 0 ? red : green);
        if (i <= 7)
            canvas.compose(labels.crop(labelStarts[i], 16, labelStarts[i + 1] - labelStarts[i], 16),
                           0, y + 1);
    }
    const float start = defaultOf("Start") * 512;
    fillRect(canvas, static_cast<int>(start), 0, 1, 512, red);
    canvas.compose(labels.crop(0, 0, 40, 16), static_cast<int>(start) + 1, 0);
    const float tempo = defaultOf("Tempo");
    if (tempo != 0)
        for (int n = 1;; ++n) {
            const int x = static_cast<int>(tempo * 512 * n + start);
            if (x > 512) break;
            fillRect(canvas, x, 0, 1, 512, green);
            canvas.compose(labels.crop(40 + 16 * ((n - 1) % 10), 0, 16, 16), x + 1, 0);
        }
    auto loopMarker = [&](int a, int s) {
        for (int k = 0; k <= 15; ++k)
            fillRect(canvas, a + k * s, 496 + k, 1, 16 - k, rgb(0, 0, 0));
        for (int k = 0; k <= 13; ++k)
            if (498 + k <= 509)
                fillRect(canvas, a + s + k * s, 498 + k, 1, 12 - k, rgb(0, 255, 255));
    };
    loopMarker(static_cast<int>(defaultOf("LoopIn") * 512), 1);
    loopMarker(static_cast<int>(defaultOf("LoopOut") * 512), -1);
    return canvas;
}

void writePreview(const std::map<int, Image>& pictures, const std::filesystem::path& out,
                  const std::filesystem::path& picture, bool withHelp) {
    Image editor = pictures.at(LUMAVOX_RES_BACKGROUND);
    for (int i = 0; i < lumavox::kParameterTableSize; ++i) {
        const synth::ParameterDefinition& r = lumavox::kParameterTable[i];
        const Rect rect = controlRect(r);
        if (r.controlType == synth::kSpectralCanvas) {
            editor.compose(canvasView(picture, pictures.at(LUMAVOX_RES_CANVAS_LABELS)), rect.x,
                           rect.y);
            if (withHelp)
                editor.compose(pictures.at(LUMAVOX_RES_HELP_OVERLAY), rect.x, rect.y, 197 / 255.f);
            continue;
        }
        const PictureFormat& format = pictureFormat(r.bitmapId);
        const int k = imageFor(r, format.images);
        editor.compose(pictures.at(r.bitmapId)
                           .crop(0, k * format.imageHeight, format.width, format.imageHeight),
                       rect.x, rect.y);
    }
    const std::vector<std::uint8_t> bytes = encodePng(editor, true);
    if (!platform::writeFileBytes(out, bytes.data(), bytes.size()))
        fail("cannot write " + out.string());
}

[[noreturn]] void usage() {
    fail(
        "usage: paint_editor_pictures [--fonts DIR] OUTPUT_DIR\n"
        "       paint_editor_pictures [--fonts DIR] --preview OUT_PNG CANVAS_PNG [--with-help]");
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path fontDir = "/usr/share/fonts/truetype/dejavu";
    std::vector<std::string> positional;
    bool preview = false, withHelp = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--fonts" && i + 1 < argc)
            fontDir = argv[++i];
        else if (arg == "--preview")
            preview = true;
        else if (arg == "--with-help")
            withHelp = true;
        else if (arg.starts_with("--"))
            usage();
        else
            positional.emplace_back(arg);
    }
    if (positional.size() != (preview ? 2u : 1u)) usage();

    checkTableAgainstPictures();
    const Fonts fonts(fontDir);
    const std::map<int, Image> pictures = paintAll(fonts);
    if (preview) {
        writePreview(pictures, positional[0], positional[1], withHelp);
        return 0;
    }
    const std::filesystem::path dir = positional[0];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    for (const PictureFormat& format : kPictures) {
        const std::vector<std::uint8_t> bytes = encodePicture(format, pictures.at(format.id));
        if (!platform::writeFileBytes(dir / format.file, bytes.data(), bytes.size()))
            fail("cannot write " + (dir / format.file).string());
    }
    return 0;
}
