// Paints the four factory pictures of Lumavox.
//
// The instrument plays each picture as a map of partials over time: columns are time (one column
// per Tempo step of 2 ms from the program's Start), rows from the bottom up are partials, red is
// the left channel and green the right one; blue is seen but not heard. A row sounds at the
// spectrum bin its program's Range and Log give it, bin 16 being the note itself, so a partial is
// a harmonic of the note only on the rows that reach a bin of 16 k. These pictures put their sound
// on exactly those rows, for each program's own mapping, and draw the rest of what they show in
// blue: what is heard is a clean harmonic tone whose harmonics follow the drawing, and what is
// seen is the drawing. Every picture sounds from its first column on (a note starts at the Start
// column, and a voice's first grain reads column 0), so that a note is heard at once.
//
// The pictures are generated rather than drawn by hand so that they can be rebuilt byte for byte
// and tuned in code.
//
// Usage: paint_factory_pictures ASTRONAUT_PNG OUTPUT_DIR
//
// Build: g++ -std=c++20 -Wall -Wextra -Wshadow -Werror -O2 paint_factory_pictures.cpp -lstb

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <array>
#include <bit>
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

// ---------------------------------------------------------------------------------------------
// Where the harmonics are

// The values of Range and Log in factory-programs.txt (as their float bits), which decide the
// bin of every row. Tune is 0.5 in all four programs, so no row is moved.
struct Mapping {
    std::uint32_t rangeBits;
    bool logarithmic;
};

constexpr Mapping kHelloWorldMapping{0x3f11eb85, false};  // Range 0.57
constexpr Mapping kParticlesMapping{0x3ec28f5c, false};   // Range 0.38
constexpr Mapping kPhotoMapping{0x3f000000, false};       // Range 0.5
constexpr Mapping kRaiseUpMapping{0x3f70a3d7, true};      // Range 0.94, Log 1

// The bin a sound row (0 at the bottom) reaches, in the single-precision steps of the
// instrument's rebuild, which raises 2 to the power with a table accurate to a few parts in 10^8.
float row_scale_of(const Mapping& m) {
    return std::bit_cast<float>(m.rangeBits) * 0.9f + 0.05f;
}

int bin_of_row(int row, const Mapping& m) {
    const float row_scale = row_scale_of(m);
    const float e = static_cast<float>(row - 16) * row_scale;
    if (!m.logarithmic) return static_cast<int>(e + 16.f);
    return static_cast<int>(16.f * std::exp2(e / 64.f));
}

// The stored row (0 at the top, fractional) at which harmonic k lies, for glides, which need not
// land on whole bins.
double row_of_harmonic(double k, const Mapping& m) {
    const double e = m.logarithmic ? 64.0 * std::log2(k) : 16.0 * (k - 1.0);
    return kSize - 1 - (16.0 + e / row_scale_of(m)) + 0.5;
}

// What each stored picture row (0 at the top) does in a program's rebuild. The rebuild walks the
// rows from the bottom up and writes a row only when it reaches a bin above the last one written:
// where several rows share a bin, the lowest one alone is heard, and the rows above it (and rows
// past bin 511) are silent whatever their colour. So a picture can show anything on its silent
// rows, and on the rows that are heard it puts sound only where it means to: on the harmonics.
class RowRoles {
  public:
    explicit RowRoles(const Mapping& m) : roles_(kSize, kSilent) {
        int cursor = 0;
        for (int row = 0; row < kSize; ++row) {
            const int bin = bin_of_row(row, m);
            if (bin <= cursor) continue;
            cursor = bin;
            if (bin < 2 || bin > 511) continue;
            const int y = kSize - 1 - row;
            roles_[static_cast<size_t>(y)] = bin % 16 == 0 ? bin / 16 : kOther;
            if (bin % 16 == 0) {
                if (harmonic_rows_.size() <= static_cast<size_t>(bin / 16))
                    harmonic_rows_.resize(static_cast<size_t>(bin / 16) + 1, -1);
                harmonic_rows_[static_cast<size_t>(bin / 16)] = y;
            }
        }
    }

    // The highest harmonic that has a row.
    int count() const { return static_cast<int>(harmonic_rows_.size()) - 1; }
    bool has(int k) const { return k >= 1 && k <= count() && row(k) >= 0; }
    // The stored row that plays harmonic k.
    int row(int k) const { return harmonic_rows_[static_cast<size_t>(k)]; }
    bool silent(int y) const { return roles_[static_cast<size_t>(y)] == kSilent; }
    // The harmonic row y plays, or 0.
    int harmonic_at(int y) const { return std::max(roles_[static_cast<size_t>(y)], 0); }

  private:
    static constexpr int kSilent = -1;
    static constexpr int kOther = 0;  // heard, but not on a harmonic
    std::vector<int> roles_;          // kSilent, kOther or the harmonic k
    std::vector<int> harmonic_rows_;
};

// ---------------------------------------------------------------------------------------------
// Pixels

struct Rgb {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

class Canvas {
  public:
    explicit Canvas(const RowRoles& roles)
        : roles_(roles), pixels_(static_cast<size_t>(kSize) * kSize) {}

    Rgb& at(int x, int y) { return pixels_[static_cast<size_t>(y) * kSize + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < kSize && y < kSize; }

    const RowRoles& roles() const { return roles_; }

    // The sound of a pixel: left (red) and right (green) levels, 0 to 255. A partial on both
    // channels gets as much blue, so that it looks white rather than yellow.
    void sound(int x, int y, double left, double right) {
        if (!inside(x, y)) return;
        Rgb& p = at(x, y);
        p.r = std::max(p.r, left);
        p.g = std::max(p.g, right);
        p.b = std::max(p.b, std::min(left, right));
    }
    // What is only seen, mixed over what is there by coverage: the colour itself on a silent row;
    // on a row that is heard only its brightness, in blue.
    void show(int x, int y, const Rgb& colour, double coverage = 1.0) {
        if (!inside(x, y) || coverage <= 0.0) return;
        coverage = std::min(coverage, 1.0);
        Rgb& p = at(x, y);
        if (roles_.silent(y)) {
            p.r += (colour.r - p.r) * coverage;
            p.g += (colour.g - p.g) * coverage;
            p.b += (colour.b - p.b) * coverage;
        } else {
            const double light = 0.3 * colour.r + 0.55 * colour.g + 0.15 * colour.b;
            p.b = std::max(p.b, light * coverage);
        }
    }

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out;
        out.reserve(pixels_.size() * 3);
        for (const Rgb& p : pixels_)
            for (double c : {p.r, p.g, p.b})
                out.push_back(static_cast<uint8_t>(std::lround(std::clamp(c, 0.0, 255.0))));
        return out;
    }

  private:
    const RowRoles& roles_;
    std::vector<Rgb> pixels_;
};

// A harmonic's level at column x for both channels.
void sound_harmonic(Canvas& canvas, int k, int x, double left, double right) {
    if (canvas.roles().has(k)) canvas.sound(x, canvas.roles().row(k), left, right);
}

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

// The level of harmonic k in a tone with a gentle natural roll-off: each octave up about 5 dB
// down, so that a note is round rather than buzzing.
double rolloff(int k) {
    return std::pow(static_cast<double>(k), -0.85);
}

// The tone every picture rests on, so that each column sounds: the first harmonics, steady but
// breathing slowly (the level swells twice across the picture), both channels.
void paint_bed(Canvas& canvas, int harmonics, double level, double breath) {
    for (int x = 0; x < kSize; ++x) {
        const double swell = 1.0 - breath * (0.5 - 0.5 * std::cos(4.0 * kPi * x / kSize));
        for (int k = 1; k <= harmonics; ++k) {
            const double v = level * rolloff(k) * swell;
            sound_harmonic(canvas, k, x, v, v);
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

// "Hello World!" in white block letters slanting down to the right, over a soft tone of four
// harmonics along the bottom. Wherever a letter crosses a harmonic's row that harmonic sounds on
// both channels, so the words are heard as a sequence of bright chords that step down with the
// slant of the line, the letters' strokes switching harmonics on and off like syllables.
Canvas paint_hello_world() {
    const RowRoles roles(kHelloWorldMapping);
    const TextGrid grid("Hello World!");
    constexpr double kTilt = 18.0 * kPi / 180.0;
    constexpr double kCellW = 8.4;   // pixels per font cell, across
    constexpr double kCellH = 13.0;  // and up: tall letters cross more harmonics
    constexpr double kGrow = 0.14;
    constexpr int kSupersample = 4;
    constexpr double kLetterLevel = 200.0;
    constexpr int kLowestLetterHarmonic = 5;
    const double cos_t = std::cos(kTilt);
    const double sin_t = std::sin(kTilt);
    const double text_w = grid.width() * kCellW;
    const double text_h = kGlyphRows * kCellH;

    Canvas canvas(roles);
    paint_bed(canvas, 4, 150.0, 0.25);
    for (int y = 0; y < kSize; ++y) {
        const int k = roles.harmonic_at(y);
        for (int x = 0; x < kSize; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSupersample; ++sy) {
                for (int sx = 0; sx < kSupersample; ++sx) {
                    // Undo the rotation about a point a little above the centre, so that the
                    // line's far end keeps clear of the tone at the bottom.
                    const double px = x + (sx + 0.5) / kSupersample - kSize / 2.0;
                    const double py = y + (sy + 0.5) / kSupersample - kSize / 2.0 + 40.0;
                    const double tx = px * cos_t + py * sin_t + text_w / 2.0;
                    const double ty = -px * sin_t + py * cos_t + text_h / 2.0;
                    if (lit_bold(grid, tx / kCellW, ty / kCellH, kGrow)) ++hits;
                }
            }
            const double coverage = hits / double(kSupersample * kSupersample);
            if (coverage <= 0.0) continue;
            canvas.show(x, y, {235.0, 235.0, 235.0}, coverage);
            if (k >= kLowestLetterHarmonic) {
                const double v = kLetterLevel * coverage *
                                 std::sqrt(rolloff(k) / rolloff(kLowestLetterHarmonic));
                canvas.sound(x, y, v, v);
            }
        }
    }
    return canvas;
}

// ---------------------------------------------------------------------------------------------
// Particles

void draw_disc(Canvas& canvas, double cx, double cy, double radius, const Rgb& colour) {
    const int reach = static_cast<int>(std::ceil(radius + 1.0));
    for (int y = static_cast<int>(cy) - reach; y <= static_cast<int>(cy) + reach; ++y)
        for (int x = static_cast<int>(cx) - reach; x <= static_cast<int>(cx) + reach; ++x)
            canvas.show(x, y, colour,
                        clamp01(radius + 0.5 - std::hypot(x + 0.5 - cx, y + 0.5 - cy)));
}

// Sparks: short pings on the harmonics, each bright at its start and dying away over a few
// columns like a plucked string, red ones on the left, green ones on the right and white ones on
// both, scattered over the middle harmonics and thickest inside the program's loop (LoopIn 0.08
// to LoopOut 0.64, columns 41 to 327). Each is drawn as a dot, whose one heard row is its
// harmonic. Below them two thick white curves wave along the bottom edge; what they play is the
// fundamental and its octave, held all through the picture, breathing slowly.
Canvas paint_particles() {
    const RowRoles roles(kParticlesMapping);
    Canvas canvas(roles);
    XorShift rng(0x5EED'0002'CAFE'F00DULL);
    paint_bed(canvas, 2, 160.0, 0.3);
    for (int k = 1; k <= 2; ++k) {
        for (int x = 0; x < kSize; ++x) {
            const double centre =
                roles.row(k) + 0.5 + 2.5 * std::sin(2.0 * kPi * (k + 0.5) * x / kSize + k);
            for (int y = roles.row(k) - 8; y <= roles.row(k) + 8; ++y)
                canvas.show(x, y, {235.0, 235.0, 235.0},
                            clamp01(3.0 - std::fabs(y + 0.5 - centre)));
        }
    }
    struct Colour {
        double left, right;
    };
    const std::array<Colour, 3> palette{{{1.0, 0.0}, {0.0, 1.0}, {0.85, 0.85}}};
    constexpr int kSparks = 300;
    for (int i = 0; i < kSparks; ++i) {
        const bool in_loop = i < kSparks * 3 / 4;
        const double start = in_loop ? rng.uniform(41.0, 320.0) : rng.uniform(0.0, 500.0);
        const int k = 3 + rng.pick(std::max(1, roles.count() - 2));
        if (!roles.has(k)) continue;
        const double length = rng.uniform(3.0, 9.0);  // columns: 45 to 140 ms at Tempo 0.13
        const double level = rng.uniform(150.0, 255.0) * std::sqrt(rolloff(k) / rolloff(3));
        const Colour c = palette[static_cast<size_t>(rng.pick(3))];
        draw_disc(
            canvas, start + 1.5, roles.row(k) + 0.5, rng.uniform(1.8, 3.2),
            {level * c.left + 40.0, level * c.right + 40.0, c.left * c.right > 0 ? level : 40.0});
        for (int x = static_cast<int>(start); x <= static_cast<int>(start + length); ++x) {
            const double v = level * std::exp(-3.0 * clamp01((x - start) / length));
            sound_harmonic(canvas, k, x, v * c.left, v * c.right);
        }
    }
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

// The portrait fills the whole picture, so that a note meets the photograph (the flag at its
// left edge) from its first moment. Framed on the astronaut photograph by eye: a little of the
// frame is cut at every side, her face a little left of the middle.
struct Framing {
    double left, top;         // source pixels, for a 512-pixel source
    double source_per_pixel;  // source pixels per picture pixel
};
constexpr Framing kAstronautFraming{16.0, 0.0, 0.94};

// The portrait in its own colours on the rows that are silent (every other row in this program's
// spacing) and in blue on the others, but for one row per harmonic: there the photograph's own
// red and green play the harmonic on the left and on the right. So the note's timbre follows the
// portrait as it is read from left to right: the flag's stripes, her face and hair, the orange
// suit, the dark helmet. The first two harmonics never fall below half their level, so that the
// note's pitch stays clear.
Canvas paint_photo(const Photo& photo) {
    const RowRoles roles(kPhotoMapping);
    constexpr double kToneLevel = 0.75;  // the harmonics' share of the photograph's light
    const Framing& f = kAstronautFraming;
    const double scale = photo.width / 512.0;
    Canvas canvas(roles);
    for (int y = 0; y < kSize; ++y) {
        const int k = roles.harmonic_at(y);
        for (int x = 0; x < kSize; ++x) {
            const double sx = (f.left + (x + 0.5) * f.source_per_pixel) * scale;
            const double sy = (f.top + (y + 0.5) * f.source_per_pixel) * scale;
            const Rgb c = photo.bilinear(sx, sy);
            canvas.show(x, y, c);
            if (k == 0) continue;
            const double weight = kToneLevel * std::pow(rolloff(k), 0.75);
            const double floor = k <= 2 ? 0.5 * 255.0 : 0.0;
            canvas.sound(x, y, weight * std::max(c.r, floor), weight * std::max(c.g, floor));
        }
    }
    return canvas;
}

// ---------------------------------------------------------------------------------------------
// Raise up

// Rising glides on a held tone, in the logarithmic spacing of this program, where a row is a
// step of pitch (about six rows a semitone): every stroke climbs from one harmonic of the note to
// a higher one (an octave, a fifth or a fourth up), so that it ends in the chord it began in.
// They come every 20 columns, a quarter of a second, the time of the program's [1/8] echo, so
// the echoes fall between them, and each begins a little higher than the one before, so that the
// picture as a whole rises. Red strokes play on the left, green on the right, pink and white on
// both. Above the highest harmonic the rebuild writes nothing: there the strokes rise on without
// a sound, up to an empty top-right corner.
void draw_rising_stroke(Canvas& canvas, double x0, double y0, double x1, double y1, double level,
                        const Rgb& colour, bool heard) {
    const double length = x1 - x0;
    for (int x = static_cast<int>(x0); x <= static_cast<int>(x1) && x < kSize; ++x) {
        const double t = (x - x0) / length;
        // Eased: the glide leaves its first harmonic gently and settles on the second.
        const double y = y0 + (y1 - y0) * smoothstep(0.0, 1.0, t);
        const double envelope = smoothstep(0.0, 0.08, t) * (1.0 - smoothstep(0.75, 1.0, t));
        const double v = level * envelope;
        const double slope = std::fabs(y1 - y0) / length * 1.5 * 6.0 * t * (1.0 - t);
        const double half = 1.6 + slope / 2.0;  // the line is as thick as it climbs in a column
        for (int row = static_cast<int>(std::floor(y - half - 2.0));
             row <= static_cast<int>(std::ceil(y + half + 2.0)); ++row) {
            const double d = std::fabs(row + 0.5 - y);
            // Where a row is heard, the stroke's colour there is its sound.
            if (heard && row >= 0 && row < kSize && !canvas.roles().silent(row)) {
                if (d <= half) canvas.sound(x, row, v * colour.r / 255.0, v * colour.g / 255.0);
                continue;
            }
            canvas.show(x, row, {colour.r * envelope, colour.g * envelope, colour.b * envelope},
                        clamp01(half + 1.5 - d));
        }
    }
}

Canvas paint_raise_up() {
    const RowRoles roles(kRaiseUpMapping);
    Canvas canvas(roles);
    XorShift rng(0x5EED'0004'0000'BEEFULL);
    paint_bed(canvas, 4, 150.0, 0.2);

    const std::array<Rgb, 4> palette{
        {{255.0, 0.0, 0.0}, {0.0, 255.0, 0.0}, {255.0, 120.0, 190.0}, {225.0, 225.0, 225.0}}};
    struct Step {
        int from, to;
    };
    const std::array<Step, 6> steps{{{2, 4}, {3, 6}, {4, 8}, {2, 3}, {3, 4}, {4, 6}}};
    constexpr int kSpacing = 20;
    constexpr int kStrokes = (kSize - 30) / kSpacing + 1;
    for (int n = 0; n < kStrokes; ++n) {
        const int start = 2 + n * kSpacing;
        Step s = steps[static_cast<size_t>(rng.pick(static_cast<int>(steps.size())))];
        // Later strokes start on higher harmonics, an octave for each third of the picture.
        for (int lift = n * 3 / kStrokes; lift > 0 && s.to * 2 <= 24; --lift) {
            s.from *= 2;
            s.to *= 2;
        }
        const double length = rng.uniform(28.0, 48.0);  // columns: 0.35 to 0.6 s at Tempo 0.16
        const double level = rng.uniform(200.0, 255.0) * std::pow(rolloff(s.from), 0.4);
        const Rgb& c = palette[static_cast<size_t>(rng.pick(static_cast<int>(palette.size())))];
        draw_rising_stroke(canvas, start, row_of_harmonic(s.from, kRaiseUpMapping), start + length,
                           row_of_harmonic(s.to, kRaiseUpMapping), level, c, true);
    }
    // The silent strokes above the harmonics, in the same colours and slants.
    const double top = row_of_harmonic(31.0, kRaiseUpMapping);
    for (int n = 0; n < 60; ++n) {
        const double x0 = rng.uniform(0.0, kSize - 20.0);
        const double y0 = rng.uniform(12.0, top - 4.0);
        const double length = rng.uniform(16.0, 40.0);
        const double rise = length * std::tan(rng.uniform(40.0, 65.0) * kPi / 180.0) / 2.0;
        // The empty corner: nothing reaches above the line from (200, 0) to (512, 160).
        if (y0 - rise < (x0 + length - 200.0) * 160.0 / 312.0) continue;
        const Rgb& c = palette[static_cast<size_t>(rng.pick(static_cast<int>(palette.size())))];
        draw_rising_stroke(canvas, x0, y0, x0 + length, y0 - rise, 255.0,
                           {0.7 * c.r, 0.7 * c.g, 0.7 * c.b}, false);
    }
    return canvas;
}

// ---------------------------------------------------------------------------------------------

bool write_png(const std::filesystem::path& path, const Canvas& canvas) {
    const std::string name = path.string();
    const std::vector<uint8_t> bytes = canvas.bytes();
    if (stbi_write_png(name.c_str(), kSize, kSize, 3, bytes.data(), kSize * 3) == 0) {
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
