#include "instrument/ImageGeometry.h"

#include <algorithm>
#include <vector>

namespace lumavox {
namespace {

// Where destination pixel i of n samples a source of m pixels, centres
// aligned, and the two source pixels it blends.
struct Tap {
    int first;
    int second;
    float weight;  // of second
};

std::vector<Tap> tapsFor(int destination, int source) {
    std::vector<Tap> taps(static_cast<std::size_t>(destination));
    const double scale = static_cast<double>(source) / destination;
    for (int i = 0; i < destination; ++i) {
        const double at = std::clamp((i + 0.5) * scale - 0.5, 0.0, source - 1.0);
        const int first = static_cast<int>(at);
        taps[static_cast<std::size_t>(i)] = {first, std::min(first + 1, source - 1),
                                             static_cast<float>(at - first)};
    }
    return taps;
}

// A three-channel float image, rows from the top.
struct Plane {
    int width;
    int height;
    std::vector<float> rgb;
    float* at(int x, int y) { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

// pixel(x, y, rgb) fetches one source pixel; the source may be large, so it
// is read in place rather than converted first.
template <class Fetch>
Plane scaleBilinear(int sourceWidth, int sourceHeight, Fetch pixel, int width, int height) {
    Plane out{width, height, std::vector<float>(static_cast<std::size_t>(width) * height * 3)};
    const std::vector<Tap> columns = tapsFor(width, sourceWidth);
    const std::vector<Tap> rows = tapsFor(height, sourceHeight);
    for (int y = 0; y < height; ++y) {
        const Tap& r = rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            const Tap& c = columns[static_cast<std::size_t>(x)];
            float a[3], b[3], d[3], e[3];
            pixel(c.first, r.first, a);
            pixel(c.second, r.first, b);
            pixel(c.first, r.second, d);
            pixel(c.second, r.second, e);
            float* o = out.at(x, y);
            for (int k = 0; k < 3; ++k) {
                const float top = a[k] + (b[k] - a[k]) * c.weight;
                const float bottom = d[k] + (e[k] - d[k]) * c.weight;
                o[k] = top + (bottom - top) * r.weight;
            }
        }
    }
    return out;
}

// The in-between image is a bitmap of 8-bit channels in the instrument, so
// both stages round to whole levels.
void roundToLevels(Plane& plane) {
    for (float& v : plane.rgb)
        v = std::clamp(static_cast<float>(static_cast<int>(v + 0.5f)), 0.f, 255.f);
}

}  // namespace

void scaleImageToPicture(const std::uint8_t* rgba, int width, int height, std::uint32_t* picture) {
    constexpr int kW = PictureGeometry::kWidth, kH = PictureGeometry::kHeight;
    if (!rgba || width < 1 || height < 1) {
        std::fill(picture, picture + kW * kH, 0u);
        return;
    }
    const auto imagePixel = [&](int x, int y, float* rgb) {
        const std::uint8_t* p = rgba + (static_cast<std::size_t>(y) * width + x) * 4;
        const float alpha = p[3] / 255.f;
        for (int k = 0; k < 3; ++k)
            rgb[k] = p[k] * alpha;  // over black
    };
    Plane rows = scaleBilinear(width, height, imagePixel, kW, PictureGeometry::kImportRows);
    roundToLevels(rows);
    const auto rowPixel = [&](int x, int y, float* rgb) {
        const float* p = rows.at(x, y);
        rgb[0] = p[0];
        rgb[1] = p[1];
        rgb[2] = p[2];
    };
    Plane full = scaleBilinear(kW, PictureGeometry::kImportRows, rowPixel, kW, kH);
    roundToLevels(full);
    for (int i = 0; i < kW * kH; ++i) {
        const float* p = &full.rgb[static_cast<std::size_t>(i) * 3];
        picture[i] = (static_cast<std::uint32_t>(p[0]) << 16) |
                     (static_cast<std::uint32_t>(p[1]) << 8) | static_cast<std::uint32_t>(p[2]);
    }
}

}  // namespace lumavox
