#include "tools/lumavox-render/RecordingFile.h"

#include <algorithm>
#include <cmath>

#include "instrument/analysis/WavReader.h"
#include "tools/lumavox-render/FileIo.h"

namespace render {
namespace {

class WavRecordingFile : public RecordingFile {
  public:
    WavRecordingFile(std::vector<std::uint8_t> bytes, const std::string& path)
        : bytes_(std::move(bytes)), path_(path) {
        // The header and the length of the data, none of the samples yet.
        analysis::WavRecording header;
        std::string error;
        if (!analysis::readWav(bytes_.data(), bytes_.size(), header, error, 0.0))
            throw unreadableRecording(path_, error);
        channels_ = header.channels;
        sampleRate_ = header.sampleRate;
        frames_ = header.frames;
    }

    std::vector<float> decode(double maxSeconds) override {
        analysis::WavRecording wav;
        std::string error;
        const double seconds = std::max(maxSeconds, 1.0 / sampleRate_);
        if (!analysis::readWav(bytes_.data(), bytes_.size(), wav, error, seconds))
            throw unreadableRecording(path_, error);
        return std::move(wav.samples);
    }

  private:
    std::vector<std::uint8_t> bytes_;
    std::string path_;
};

}  // namespace

RenderError unreadableRecording(const std::string& path, const std::string& reason) {
    return RenderError(path + ": the recording cannot be read (" + reason + ")");
}

std::unique_ptr<RecordingFile> openRecording(const std::string& path) {
    std::vector<std::uint8_t> bytes = readWholeFile(path);
    if (analysis::looksLikeWav(bytes.data(), bytes.size()))
        return std::make_unique<WavRecordingFile>(std::move(bytes), path);
    return openOtherRecording(std::move(bytes), path);
}

}  // namespace render
