// The Linux build's recordings that are not WAV files: FLAC and Ogg Vorbis
// through libsndfile, read from the file's bytes in memory (so that a
// missing or unreadable file is told as for every other input). libsndfile
// reads other formats too; the tool takes only these two, the ones it also
// writes, and leaves every WAV to the plug-in's reader.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "instrument/analysis/WavReader.h"
#include "tools/lumavox-render/RecordingFile.h"

namespace render {
namespace {

struct MemoryFile {
    const std::vector<std::uint8_t>& bytes;
    sf_count_t at = 0;
};

sf_count_t sizeOf(void* user) {
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size());
}

sf_count_t seekTo(sf_count_t offset, int whence, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t base = whence == SEEK_CUR ? file->at : whence == SEEK_END ? sizeOf(user) : 0;
    file->at = std::clamp<sf_count_t>(base + offset, 0, sizeOf(user));
    return file->at;
}

sf_count_t readInto(void* out, sf_count_t count, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t n = std::clamp<sf_count_t>(count, 0, sizeOf(user) - file->at);
    std::memcpy(out, file->bytes.data() + file->at, static_cast<std::size_t>(n));
    file->at += n;
    return n;
}

sf_count_t tellOf(void* user) {
    return static_cast<MemoryFile*>(user)->at;
}

bool startsWith(const std::vector<std::uint8_t>& bytes, const char* magic) {
    const std::size_t n = std::strlen(magic);
    return bytes.size() >= n && std::memcmp(bytes.data(), magic, n) == 0;
}

class SndfileRecordingFile : public RecordingFile {
  public:
    SndfileRecordingFile(std::vector<std::uint8_t> bytes, const std::string& path)
        : bytes_(std::move(bytes)), memory_{bytes_}, path_(path) {
        // Damaged when it starts like one of the two, else something else.
        const bool ours = startsWith(bytes_, "fLaC") || startsWith(bytes_, "OggS");
        const std::string notOurs = "it is not a WAV, FLAC or Ogg Vorbis file";
        SF_VIRTUAL_IO io{sizeOf, seekTo, readInto, nullptr, tellOf};
        SF_INFO info{};
        file_ = sf_open_virtual(&io, SFM_READ, &info, &memory_);
        if (!file_) throw unreadableRecording(path_, ours ? "it is damaged or cut short" : notOurs);
        const int major = info.format & SF_FORMAT_TYPEMASK;
        if (major != SF_FORMAT_FLAC && major != SF_FORMAT_OGG) {
            sf_close(file_);
            throw unreadableRecording(path_, notOurs);
        }
        std::string reason = analysis::unreadableShape(info.channels, info.samplerate);
        if (reason.empty() && info.frames <= 0) reason = "it holds no samples";
        if (!reason.empty()) {
            sf_close(file_);
            throw unreadableRecording(path_, reason);
        }
        channels_ = info.channels;
        sampleRate_ = info.samplerate;
        frames_ = static_cast<std::size_t>(info.frames);
    }
    ~SndfileRecordingFile() override { sf_close(file_); }
    SndfileRecordingFile(const SndfileRecordingFile&) = delete;
    SndfileRecordingFile& operator=(const SndfileRecordingFile&) = delete;

    std::vector<float> decode(double maxSeconds) override {
        const double wanted = std::max(1.0, std::ceil(maxSeconds * sampleRate_));
        const auto frames = static_cast<sf_count_t>(std::min(wanted, static_cast<double>(frames_)));
        // Grown block by block, so that memory follows what the file really
        // holds, not what its header claims.
        constexpr sf_count_t kBlock = 65536;
        std::vector<float> samples;
        sf_seek(file_, 0, SEEK_SET);
        for (sf_count_t done = 0; done < frames;) {
            const sf_count_t count = std::min(kBlock, frames - done);
            samples.resize(static_cast<std::size_t>((done + count) * channels_));
            const sf_count_t got = sf_readf_float(
                file_, samples.data() + static_cast<std::size_t>(done * channels_), count);
            if (got != count || sf_error(file_) != SF_ERR_NO_ERROR)
                throw unreadableRecording(path_, "it is damaged or cut short");
            done += got;
        }
        for (float& s : samples)
            if (!std::isfinite(s)) s = 0.f;
        return samples;
    }

  private:
    std::vector<std::uint8_t> bytes_;
    MemoryFile memory_;
    std::string path_;
    SNDFILE* file_ = nullptr;
};

}  // namespace

std::unique_ptr<RecordingFile> openOtherRecording(std::vector<std::uint8_t> bytes,
                                                  const std::string& path) {
    return std::make_unique<SndfileRecordingFile>(std::move(bytes), path);
}

}  // namespace render
