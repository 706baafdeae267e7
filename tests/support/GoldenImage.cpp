#include "tests/support/GoldenImage.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/FileBytes.h"
#include "platform/ImageCodec.h"

namespace testsupport {
namespace {

bool updating() {
    const char* update = std::getenv("LUMAVOX_UPDATE_GOLDEN");
    return update && std::strcmp(update, "1") == 0;
}

bool writePng(const std::filesystem::path& path, const std::uint32_t* pixels, int width,
              int height) {
    std::filesystem::create_directories(path.parent_path());
    const std::vector<std::uint8_t> png = platform::encodePng(pixels, width, height);
    return platform::writeFileBytes(path, png.data(), png.size());
}

}  // namespace

std::string compareWithGoldenImage(const std::string& name, const std::uint32_t* pixels, int width,
                                   int height) {
    const std::filesystem::path golden =
        std::filesystem::path(LUMAVOX_GOLDEN_DIR) / (name + ".png");
    if (updating())
        return writePng(golden, pixels, width, height) ? "" : "cannot write " + golden.string();
    std::vector<std::uint8_t> bytes;
    platform::Image expected;
    if (!platform::readFileBytes(golden, bytes, 64 << 20) ||
        !platform::decodeImage(bytes.data(), bytes.size(), expected))
        return "no golden image " + golden.string() + " (LUMAVOX_UPDATE_GOLDEN=1 writes it)";
    std::ostringstream report;
    if (expected.width != width || expected.height != height) {
        report << "size " << width << " x " << height << ", golden " << expected.width << " x "
               << expected.height;
    } else {
        int differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint32_t a = pixels[y * width + x] & 0xFFFFFF;
                const std::uint32_t b = expected.pixels[y * width + x] & 0xFFFFFF;
                if (a == b) continue;
                if (differing++ < 5)
                    report << "(" << x << ", " << y << "): " << std::hex << a << " golden " << b
                           << std::dec << "; ";
            }
        if (differing) report << differing << " pixels differ";
    }
    if (report.str().empty()) return "";
    const std::filesystem::path actual = std::filesystem::path("test-output") / (name + ".png");
    writePng(actual, pixels, width, height);
    report << "; wrote " << std::filesystem::absolute(actual).string();
    return report.str();
}

}  // namespace testsupport
