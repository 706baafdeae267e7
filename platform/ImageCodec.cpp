#include "platform/ImageCodec.h"

// stb is compiled here, static to this file (Debian ships it as headers),
// so that its symbols stay inside whatever links the codec. Third-party code:
// without our warnings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STB_IMAGE_WRITE_STATIC
#define STBI_NO_STDIO
#define STBI_WRITE_NO_STDIO
#include <stb_image.h>
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <climits>
#include <cstring>

namespace platform {
namespace {

thread_local std::string tLastError;

bool fail(const char* reason) {
    tLastError = reason ? reason : "unknown reason";
    return false;
}

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    put16(out, at, v & 0xFFFF);
    put16(out, at + 2, v >> 16);
}

std::uint32_t get32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Debian's stb_image trusts the symbol counts of a JPEG's Huffman tables:
// counts that add up to more than 256 make it write past its tables. Such
// a file is no valid JPEG, so it is refused before stb sees it. Tables may
// come between the scans of a progressive file too, so the walk goes on
// through the entropy-coded data to every marker.
// stb takes fill bytes before the start-of-image marker as well
// ("FF FF FF D8" is a JPEG to it), so the walk does too.
bool jpegTablesFit(const std::uint8_t* p, std::size_t size) {
    if (size < 2 || p[0] != 0xFF) return true;  // not a JPEG
    std::size_t at = 1;
    while (at < size && p[at] == 0xFF)
        ++at;
    if (at >= size || p[at] != 0xD8) return true;  // not a JPEG
    ++at;
    while (at + 4 <= size) {
        if (p[at] != 0xFF) {  // entropy-coded data: on to the next marker
            ++at;
            continue;
        }
        const std::uint8_t marker = p[at + 1];
        if (marker == 0x00 || marker == 0xFF || (marker >= 0xD0 && marker <= 0xD7)) {
            ++at;  // a stuffed byte, fill, or a restart marker
            continue;
        }
        if (marker == 0xD9) return true;  // end of image
        const std::size_t length = static_cast<std::size_t>(p[at + 2]) << 8 | p[at + 3];
        if (length < 2) return false;
        const std::size_t end = at + 2 + length;
        if (marker == 0xC4) {
            std::size_t t = at + 4;
            while (t < end && t < size) {
                if (t + 17 > size) return false;
                std::size_t symbols = 0;
                for (int i = 1; i <= 16; ++i)
                    symbols += p[t + i];
                if (symbols > 256) return false;
                t += 17 + symbols;
            }
        }
        at = end;
    }
    return true;
}

}  // namespace

std::string lastImageError() {
    return tLastError;
}

bool decodeImage(const void* data, std::size_t size, Image& image) {
    if (!data || size == 0) return fail("the file is empty");
    if (size > static_cast<std::size_t>(INT_MAX)) return fail("the file is too large");
    const auto* bytes = static_cast<const stbi_uc*>(data);
    const int length = static_cast<int>(size);
    if (!jpegTablesFit(bytes, size)) return fail("corrupt JPEG (bad Huffman table)");
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes, length, &width, &height, &channels))
        return fail(stbi_failure_reason());
    if (width < 1 || height < 1 || static_cast<long long>(width) * height > kMaxImagePixels)
        return fail("the image is too large");
    stbi_uc* rgba = stbi_load_from_memory(bytes, length, &width, &height, &channels, 4);
    if (!rgba) return fail(stbi_failure_reason());
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const stbi_uc* p = rgba + 4 * i;
        image.pixels[i] = static_cast<std::uint32_t>(p[3]) << 24 | p[0] << 16 | p[1] << 8 | p[2];
    }
    stbi_image_free(rgba);
    return true;
}

// A resource lacks only the 14-byte file header, whose one real field is
// where the pixels start: after the info header, the colour masks of a
// BI_BITFIELDS bitmap with the plain 40-byte header, and the palette.
bool decodeBitmapResource(const void* data, std::size_t size, Image& image) {
    const auto* dib = static_cast<const std::uint8_t*>(data);
    if (!dib || size < 40) return fail("not a bitmap resource");
    const std::uint32_t headerSize = get32(dib);
    if (headerSize < 40 || headerSize > size) return fail("not a bitmap resource");
    const unsigned bitCount = dib[14] | dib[15] << 8;
    const std::uint32_t compression = get32(dib + 16);
    std::uint32_t coloursUsed = get32(dib + 32);
    if (coloursUsed == 0 && bitCount <= 8) coloursUsed = 1u << bitCount;
    if (coloursUsed > 256) return fail("not a bitmap resource");
    std::uint32_t offset = 14 + headerSize + 4 * coloursUsed;
    if (headerSize == 40 && compression == 3) offset += 12;  // BI_BITFIELDS masks
    std::vector<std::uint8_t> file(14 + size);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, static_cast<std::uint32_t>(file.size()));
    put32(file, 10, offset);
    std::memcpy(file.data() + 14, dib, size);
    return decodeImage(file.data(), file.size(), image);
}

std::vector<std::uint8_t> encodeBmp(const std::uint32_t* pixels, int width, int height) {
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t headers = 14 + 40;
    std::vector<std::uint8_t> out(headers + rowBytes * height, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<std::uint32_t>(out.size()));
    put32(out, 10, static_cast<std::uint32_t>(headers));
    put32(out, 14, 40);
    put32(out, 18, static_cast<std::uint32_t>(width));
    put32(out, 22, static_cast<std::uint32_t>(height));  // positive: rows from the bottom
    put16(out, 26, 1);
    put16(out, 28, 24);
    put32(out, 34, static_cast<std::uint32_t>(rowBytes * height));
    put32(out, 38, 2835);  // 72 dots per inch
    put32(out, 42, 2835);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = out.data() + headers + rowBytes * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            row[3 * x] = static_cast<std::uint8_t>(p);
            row[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(p >> 16);
        }
    }
    return out;
}

std::vector<std::uint8_t> encodePng(const std::uint32_t* pixels, int width, int height,
                                    bool withAlpha) {
    const int channels = withAlpha ? 4 : 3;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * channels);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
        std::uint8_t* p = &rgb[channels * i];
        p[0] = static_cast<std::uint8_t>(pixels[i] >> 16);
        p[1] = static_cast<std::uint8_t>(pixels[i] >> 8);
        p[2] = static_cast<std::uint8_t>(pixels[i]);
        if (withAlpha) p[3] = static_cast<std::uint8_t>(pixels[i] >> 24);
    }
    std::vector<std::uint8_t> out;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
            const auto* p = static_cast<const std::uint8_t*>(data);
            bytes->insert(bytes->end(), p, p + size);
        },
        &out, width, height, channels, rgb.data(), width * channels);
    return out;
}

}  // namespace platform
