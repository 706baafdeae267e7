#include "tools/lumavox-render/RenderSpool.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "tools/lumavox-render/ProcessId.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {
constexpr long kReplayFrames = 4096;
}  // namespace

RenderSpool::RenderSpool(const std::string& beside)
    : path_(beside + ".tmp-raw-" + processIdText()), beside_(beside) {
    file_ = std::fopen(path_.c_str(), "w+b");
    if (!file_) fail();
}

RenderSpool::~RenderSpool() {
    if (file_) std::fclose(file_);
    std::remove(path_.c_str());
}

void RenderSpool::fail() const {
    throw RenderError(beside_ + ": cannot keep the render aside for --normalize (" +
                      std::strerror(errno) + ")");
}

void RenderSpool::add(const float* interleaved, long frames, int channels) {
    channels_ = channels;
    const auto count = static_cast<std::size_t>(frames) * static_cast<std::size_t>(channels);
    if (std::fwrite(interleaved, sizeof(float), count, file_) != count) fail();
}

void RenderSpool::replay(float gain, const AudioSink& sink) {
    if (channels_ == 0) return;
    if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) fail();
    std::vector<float> block(static_cast<std::size_t>(kReplayFrames) * channels_);
    for (;;) {
        const std::size_t read = std::fread(block.data(), sizeof(float), block.size(), file_);
        const long frames = static_cast<long>(read / static_cast<std::size_t>(channels_));
        if (frames == 0) break;
        for (std::size_t i = 0; i < static_cast<std::size_t>(frames) * channels_; ++i)
            block[i] *= gain;
        sink(block.data(), frames, channels_);
    }
    if (std::ferror(file_)) fail();
}

}  // namespace render
