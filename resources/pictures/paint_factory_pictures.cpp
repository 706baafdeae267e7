// Paints the four factory pictures of Lumavox.
//
// The instrument plays each picture as a map of partials over time: columns are time, rows from
// the bottom up are partials, red is the left channel and green the right one. The pictures are
// generated rather than drawn by hand so that they can be rebuilt byte for byte and tuned in code.
//
// Usage: paint_factory_pictures ASTRONAUT_PNG OUTPUT_DIR
//
// Build: g++ -std=c++20 -Wall -Wextra -Wshadow -Werror -O2 paint_factory_pictures.cpp -lstb

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

constexpr int kSize = 512;
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

constexpr Rgb kWhite{255.0, 255.0, 255.0};
constexpr Rgb kRed{255.0, 0.0, 0.0};
constexpr Rgb kGreen{0.0, 255.0, 0.0};
constexpr Rgb kPink{255.0, 110.0, 180.0};

class Canvas {
  public:
    Canvas() : pixels_(static_cast<size_t>(kSize) * kSize * 3, 0) {}

    // Later shapes cover earlier ones: adding or taking the brighter channel would turn a red
    // stroke crossing a green one into yellow, a colour the palette never asked for.
    void paint(int x, int y, const Rgb& colour, double coverage) {
        if (x < 0 || y < 0 || x >= kSize || y >= kSize || coverage <= 0.0) return;
        coverage = std::min(coverage, 1.0);
        uint8_t* p = &pixels_[(static_cast<size_t>(y) * kSize + x) * 3];
        const std::array<double, 3> channels{colour.r, colour.g, colour.b};
        for (int c = 0; c < 3; ++c) {
            p[c] = to_byte(p[c] * (1.0 - coverage) + channels[c] * coverage);
        }
    }

    void set(int x, int y, const Rgb& colour) {
        uint8_t* p = &pixels_[(static_cast<size_t>(y) * kSize + x) * 3];
        p[0] = to_byte(colour.r);
        p[1] = to_byte(colour.g);
        p[2] = to_byte(colour.b);
    }

    const uint8_t* data() const { return pixels_.data(); }

  private:
    static uint8_t to_byte(double v) {
        return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
    }

    std::vector<uint8_t> pixels_;
};

// std::uniform_*_distribution may differ between standard libraries; a private generator keeps
// the pictures identical wherever they are rebuilt.
class XorShift {
  public:
    explicit XorShift(uint64_t seed) : state_(seed) {}

    uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }

    double uniform(double lo, double hi) {
        const double unit = static_cast<double>(next() >> 11) / 9007199254740992.0;  // 2^53
        return lo + (hi - lo) * unit;
    }

    int pick(int count) { return static_cast<int>(next() % static_cast<uint64_t>(count)); }

  private:
    uint64_t state_;
};

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

double smoothstep(double edge0, double edge1, double v) {
    const double t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

// Coverage of a pixel by a shape whose edge is `distance` away (negative inside): a one-pixel
// ramp keeps edges from aliasing into a comb of harmonics when the picture is played.
double edge_coverage(double distance) {
    return clamp01(0.5 - distance);
}

double distance_to_segment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax;
    const double dy = by - ay;
    const double t = clamp01(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy));
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

void draw_disc(Canvas& canvas, double cx, double cy, double radius, const Rgb& colour) {
    const int reach = static_cast<int>(std::ceil(radius + 1.0));
    const int x0 = static_cast<int>(std::floor(cx));
    const int y0 = static_cast<int>(std::floor(cy));
    for (int y = y0 - reach; y <= y0 + reach; ++y) {
        for (int x = x0 - reach; x <= x0 + reach; ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) - radius;
            canvas.paint(x, y, colour, edge_coverage(d));
        }
    }
}

void draw_stroke(Canvas& canvas, double ax, double ay, double bx, double by, double width,
                 const Rgb& colour) {
    const double half = width / 2.0;
    const int x_lo = static_cast<int>(std::floor(std::min(ax, bx) - half - 1.0));
    const int x_hi = static_cast<int>(std::ceil(std::max(ax, bx) + half + 1.0));
    const int y_lo = static_cast<int>(std::floor(std::min(ay, by) - half - 1.0));
    const int y_hi = static_cast<int>(std::ceil(std::max(ay, by) + half + 1.0));
    for (int y = y_lo; y <= y_hi; ++y) {
        for (int x = x_lo; x <= x_hi; ++x) {
            const double d = distance_to_segment(x + 0.5, y + 0.5, ax, ay, bx, by) - half;
            canvas.paint(x, y, colour, edge_coverage(d));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Hello World!

struct Glyph {
    char ch;
    int width;
    std::array<std::string_view, 7> rows;
};

// Proportional widths keep the line short enough to be drawn large across a 512-pixel picture.
constexpr std::array<Glyph, 9> kFont{{
    {'H', 5, {"X...X", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"}},
    {'e', 5, {".....", ".....", ".XXX.", "X...X", "XXXXX", "X....", ".XXXX"}},
    {'l', 1, {"X", "X", "X", "X", "X", "X", "X"}},
    {'o', 5, {".....", ".....", ".XXX.", "X...X", "X...X", "X...X", ".XXX."}},
    {'W', 5, {"X...X", "X...X", "X.X.X", "X.X.X", "X.X.X", "X.X.X", ".X.X."}},
    {'r', 5, {".....", ".....", "X.XX.", "XX..X", "X....", "X....", "X...."}},
    {'d', 5, {"....X", "....X", ".XXXX", "X...X", "X...X", "X...X", ".XXXX"}},
    {'!', 1, {"X", "X", "X", "X", "X", ".", "X"}},
    {' ', 3, {"...", "...", "...", "...", "...", "...", "..."}},
}};

constexpr int kGlyphRows = 7;

const Glyph* find_glyph(char ch) {
    for (const Glyph& glyph : kFont) {
        if (glyph.ch == ch) return &glyph;
    }
    return nullptr;
}

// The text is laid out once on a grid of font cells; the picture then samples that grid through a
// rotation, which tilts the baseline without any per-glyph geometry.
class TextGrid {
  public:
    explicit TextGrid(std::string_view text) {
        for (char ch : text) {
            const Glyph* glyph = find_glyph(ch);
            if (glyph == nullptr) continue;
            if (!columns_.empty()) columns_.emplace_back();
            for (int col = 0; col < glyph->width; ++col) {
                std::array<bool, kGlyphRows> lit{};
                for (int row = 0; row < kGlyphRows; ++row) {
                    lit[row] = glyph->rows[row][col] == 'X';
                }
                columns_.push_back(lit);
            }
        }
    }

    int width() const { return static_cast<int>(columns_.size()); }

    bool lit(double u, double v) const {
        if (u < 0.0 || v < 0.0) return false;
        const auto col = static_cast<size_t>(u);
        const auto row = static_cast<size_t>(v);
        if (col >= columns_.size() || row >= kGlyphRows) return false;
        return columns_[col][row];
    }

  private:
    std::vector<std::array<bool, kGlyphRows>> columns_;
};

// A font cell is lit at (u, v) if a lit cell lies within `grow` cells: thickens every stroke
// while the one-cell counters of e, o and d stay open.
bool lit_bold(const TextGrid& grid, double u, double v, double grow) {
    for (double du : {-grow, 0.0, grow}) {
        for (double dv : {-grow, 0.0, grow}) {
            if (grid.lit(u + du, v + dv)) return true;
        }
    }
    return false;
}

Canvas paint_hello_world() {
    const TextGrid grid("Hello World!");
    constexpr double kTilt = 24.0 * kPi / 180.0;
    constexpr double kCellW = 8.6;   // pixels per font cell, across
    constexpr double kCellH = 11.0;  // and up: taller letters read better once tilted
    constexpr double kGrow = 0.14;
    constexpr int kSupersample = 4;
    const double cos_t = std::cos(kTilt);
    const double sin_t = std::sin(kTilt);
    const double text_w = grid.width() * kCellW;
    const double text_h = kGlyphRows * kCellH;

    Canvas canvas;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSupersample; ++sy) {
                for (int sx = 0; sx < kSupersample; ++sx) {
                    // Undo the rotation about the picture centre to find the text-space point.
                    const double px = x + (sx + 0.5) / kSupersample - kSize / 2.0;
                    const double py = y + (sy + 0.5) / kSupersample - kSize / 2.0;
                    const double tx = px * cos_t + py * sin_t + text_w / 2.0;
                    const double ty = -px * sin_t + py * cos_t + text_h / 2.0;
                    if (lit_bold(grid, tx / kCellW, ty / kCellH, kGrow)) ++hits;
                }
            }
            canvas.paint(x, y, kWhite, hits / double(kSupersample * kSupersample));
        }
    }
    return canvas;
}

// ---------------------------------------------------------------------------------------------
// Particles

// Row of a low curve at column x; base, cycles and phase keep the two curves apart.
double low_curve(double x, double base, double amplitude, double cycles, double phase) {
    return base + amplitude * std::sin(2.0 * kPi * cycles * x / kSize + phase);
}

void draw_low_curve(Canvas& canvas, double base, double amplitude, double cycles, double phase,
                    double width) {
    // A dense polyline is simpler than an analytic distance and exact enough for gentle waves.
    constexpr int kSteps = 1024;
    double prev_x = -4.0;
    double prev_y = low_curve(prev_x, base, amplitude, cycles, phase);
    for (int i = 1; i <= kSteps; ++i) {
        const double x = -4.0 + (kSize + 8.0) * i / kSteps;
        const double y = low_curve(x, base, amplitude, cycles, phase);
        draw_stroke(canvas, prev_x, prev_y, x, y, width, kWhite);
        prev_x = x;
        prev_y = y;
    }
}

Canvas paint_particles() {
    Canvas canvas;
    XorShift rng(0x5EED'0002'CAFE'F00DULL);
    const std::array<Rgb, 3> palette{kRed, kGreen, kWhite};
    constexpr int kDots = 320;
    for (int i = 0; i < kDots; ++i) {
        // Dots stay above the curves so the low partials remain two clean tones.
        const double x = rng.uniform(4.0, kSize - 4.0);
        const double y = rng.uniform(kSize / 2.0 + 4.0, kSize - 76.0);
        const double radius = rng.uniform(1.2, 3.2);
        draw_disc(canvas, x, y, radius, palette[rng.pick(3)]);
    }
    draw_low_curve(canvas, kSize - 52.0, 7.0, 1.5, 0.0, 5.0);
    draw_low_curve(canvas, kSize - 20.0, 5.0, 1.0, 2.0, 5.0);
    return canvas;
}

// ---------------------------------------------------------------------------------------------
// Photo

struct Photo {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    Rgb at(int x, int y) const {
        x = std::clamp(x, 0, width - 1);
        y = std::clamp(y, 0, height - 1);
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return {double(p[0]), double(p[1]), double(p[2])};
    }

    Rgb bilinear(double x, double y) const {
        const double fx = std::floor(x - 0.5);
        const double fy = std::floor(y - 0.5);
        const double ax = x - 0.5 - fx;
        const double ay = y - 0.5 - fy;
        const int ix = static_cast<int>(fx);
        const int iy = static_cast<int>(fy);
        const Rgb p00 = at(ix, iy), p10 = at(ix + 1, iy);
        const Rgb p01 = at(ix, iy + 1), p11 = at(ix + 1, iy + 1);
        auto mix = [&](double c00, double c10, double c01, double c11) {
            return (c00 * (1 - ax) + c10 * ax) * (1 - ay) + (c01 * (1 - ax) + c11 * ax) * ay;
        };
        return {mix(p00.r, p10.r, p01.r, p11.r), mix(p00.g, p10.g, p01.g, p11.g),
                mix(p00.b, p10.b, p01.b, p11.b)};
    }
};

bool load_photo(const std::string& path, Photo& photo, std::string& error) {
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &photo.width, &photo.height, &channels, 3);
    if (data == nullptr) {
        error = "cannot read " + path + ": " + stbi_failure_reason();
        return false;
    }
    photo.rgb.assign(data, data + static_cast<size_t>(photo.width) * photo.height * 3);
    stbi_image_free(data);
    return true;
}

struct Framing {
    double source_cx;  // source point, in fractions of its size, put at the picture centre
    double source_cy;
    double source_per_pixel;  // source pixels per picture pixel, for a 512-pixel-wide source
};

// Framed on the astronaut photograph: her face sits on the vertical centre line, and the whole
// picture is moved down so the top of her hair clears the fade of the oval.
constexpr Framing kAstronautFraming{0.44, 0.35, 0.80};

Canvas paint_photo(const Photo& photo) {
    // A soft edge instead of a hard rim, which would ring when played.
    constexpr double kOvalCx = kSize / 2.0;
    constexpr double kOvalCy = kSize / 2.0 + 12.0;
    constexpr double kOvalRx = 185.0;
    constexpr double kOvalRy = 250.0;
    constexpr double kFade = 0.16;

    const Framing& f = kAstronautFraming;
    const double step = f.source_per_pixel * photo.width / double(kSize);
    Canvas canvas;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double nx = (x + 0.5 - kOvalCx) / kOvalRx;
            const double ny = (y + 0.5 - kOvalCy) / kOvalRy;
            const double keep = 1.0 - smoothstep(1.0 - kFade, 1.0, std::hypot(nx, ny));
            if (keep <= 0.0) continue;
            const double sx = f.source_cx * photo.width + (x + 0.5 - kSize / 2.0) * step;
            const double sy = f.source_cy * photo.height + (y + 0.5 - kSize / 2.0) * step;
            // Beyond the photograph's edge there is only the black background.
            if (sx < 0.0 || sy < 0.0 || sx > photo.width || sy > photo.height) continue;
            const Rgb c = photo.bilinear(sx, sy);
            canvas.set(x, y, {c.r * keep, c.g * keep, c.b * keep});
        }
    }
    return canvas;
}

// ---------------------------------------------------------------------------------------------
// Raise up

// The top-right corner stays empty so the picture as a whole climbs: late in a note the strokes
// never reach the highest partials, and the edge of the empty triangle reads as a rising line.
bool in_empty_corner(double x, double y) {
    return x - y > kSize * 0.45;
}

bool stroke_fits(double ax, double ay, double bx, double by) {
    constexpr double kMargin = 6.0;
    auto inside = [](double v) { return v >= kMargin && v <= kSize - kMargin; };
    // The allowed region is a half-plane cut by the picture square, which is convex, so checking
    // both ends is enough to keep the whole stroke out of the corner.
    return inside(ax) && inside(ay) && inside(bx) && inside(by) && !in_empty_corner(ax, ay) &&
           !in_empty_corner(bx, by);
}

Canvas paint_raise_up() {
    Canvas canvas;
    XorShift rng(0x5EED'0004'0000'BEEFULL);
    const std::array<Rgb, 4> palette{kRed, kGreen, kPink, kWhite};
    constexpr int kStrokes = 160;
    int drawn = 0;
    while (drawn < kStrokes) {
        const double length = rng.uniform(20.0, 60.0);
        const double angle = rng.uniform(15.0, 60.0) * kPi / 180.0;
        const double ax = rng.uniform(0.0, kSize);
        const double ay = rng.uniform(0.0, kSize);
        // Image rows grow downwards, so rising to the right means y shrinks as x grows.
        const double bx = ax + length * std::cos(angle);
        const double by = ay - length * std::sin(angle);
        if (!stroke_fits(ax, ay, bx, by)) continue;
        const double width = rng.uniform(3.0, 5.0);
        draw_stroke(canvas, ax, ay, bx, by, width, palette[rng.pick(4)]);
        ++drawn;
    }
    return canvas;
}

// ---------------------------------------------------------------------------------------------

bool write_png(const std::filesystem::path& path, const Canvas& canvas) {
    const std::string name = path.string();
    if (stbi_write_png(name.c_str(), kSize, kSize, 3, canvas.data(), kSize * 3) == 0) {
        std::fprintf(stderr, "paint_factory_pictures: cannot write %s\n", name.c_str());
        return false;
    }
    std::printf("wrote %s\n", name.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ASTRONAUT_PNG OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string astronaut_path = argv[1];
    const std::filesystem::path out_dir = argv[2];

    Photo photo;
    std::string error;
    // Read the photograph first so a bad path fails before any output is touched.
    if (!load_photo(astronaut_path, photo, error)) {
        std::fprintf(stderr, "paint_factory_pictures: %s\n", error.c_str());
        return 1;
    }

    std::error_code ec;
    std::filesystem::create_directories(out_dir, ec);
    if (ec || !std::filesystem::is_directory(out_dir)) {
        std::fprintf(stderr, "paint_factory_pictures: cannot use output directory %s: %s\n",
                     out_dir.string().c_str(), ec ? ec.message().c_str() : "not a directory");
        return 1;
    }

    const bool ok = write_png(out_dir / "hello_world.png", paint_hello_world()) &&
                    write_png(out_dir / "particles.png", paint_particles()) &&
                    write_png(out_dir / "photo.png", paint_photo(photo)) &&
                    write_png(out_dir / "raise_up.png", paint_raise_up());
    return ok ? 0 : 1;
}
