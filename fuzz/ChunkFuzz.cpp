// setChunk on whatever a host might hand over. The first byte picks the form
// (even: bank, odd: program); the rest is the chunk, with its true size.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "instrument/Lumavox.h"
#include "platform/MessageBox.h"

namespace {

class SilentBoxes : public platform::MessageBoxHook {
  public:
    platform::MessageAnswer show(const char*, const char*, platform::MessageButtons) override {
        return platform::MessageAnswer::Ok;
    }
};

lumavox::Lumavox& instrument() {
    static SilentBoxes boxes;
    static std::unique_ptr<lumavox::Lumavox> synth = [] {
        platform::setMessageBoxHook(&boxes);
        return std::make_unique<lumavox::Lumavox>(nullptr);
    }();
    return *synth;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const bool isPreset = data[0] & 1;
    // A copy of exactly the chunk's bytes, so that any read past them is caught.
    std::vector<std::uint8_t> chunk(data + 1, data + size);
    instrument().setChunk(chunk.empty() ? nullptr : chunk.data(),
                          static_cast<VstInt32>(chunk.size()), isPreset);
    return 0;
}
