// The image path of the editor's Load on whatever file a user picks: the
// decoder (every format it reads) and the scaling into a picture; and the
// bitmap-resource reader. The first byte picks which.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "instrument/PictureFiles.h"
#include "platform/ImageCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    if (data[0] & 1) {
        platform::Image image;
        platform::decodeBitmapResource(data + 1, size - 1, image);
    } else {
        std::vector<std::uint32_t> picture(512 * 512, 0x123456u);
        std::string error;
        lumavox::importPictureBytes(data + 1, size - 1, picture.data(), error);
    }
    return 0;
}
