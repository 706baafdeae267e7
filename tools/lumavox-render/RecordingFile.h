// A recording for --analyse, read from a file. The file's content decides
// how: a WAV file goes through the plug-in's own WAV reader
// (instrument/analysis/WavReader), so that the tool takes and refuses what
// the editor's Load does, for the same reasons; on Linux anything else goes
// to libsndfile, which the tool takes FLAC and Ogg Vorbis from (Debian has
// no libsndfile for the cross compilers: the Windows build reads WAV only).
// Only as much as the caller asks for is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/lumavox-render/RenderError.h"

namespace render {

class RecordingFile {
  public:
    virtual ~RecordingFile() = default;

    int channels() const { return channels_; }  // 1 or 2
    int sampleRate() const { return sampleRate_; }
    double seconds() const { return static_cast<double>(frames_) / sampleRate_; }
    // The first maxSeconds of it at most (and at least one frame), frames x
    // channels floats, interleaved. Throws RenderError naming the file when
    // it turns out damaged past its header.
    virtual std::vector<float> decode(double maxSeconds) = 0;

  protected:
    int channels_ = 0;
    int sampleRate_ = 0;
    std::size_t frames_ = 0;  // in the whole file
};

// Reads the file and checks its header. Throws RenderError naming path and
// the reason (a missing file, one that is not a recording, a damaged one).
std::unique_ptr<RecordingFile> openRecording(const std::string& path);

// The error for a recording that cannot be read, in one form for every reader.
RenderError unreadableRecording(const std::string& path, const std::string& reason);

// This build's reader of the recordings that are not WAV files; bytes is
// the whole file. Throws RenderError naming path.
std::unique_ptr<RecordingFile> openOtherRecording(std::vector<std::uint8_t> bytes,
                                                  const std::string& path);

}  // namespace render
