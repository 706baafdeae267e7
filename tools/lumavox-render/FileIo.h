// Reading input files whole, and writing output files so that a failed or
// interrupted run never leaves a half-written one: everything goes to a
// temporary file beside the target, renamed over it only at the end. An
// output path that is a symbolic link is written through: the file it points
// at gets the new contents and the link stays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// Throws RenderError naming path and the reason.
std::vector<std::uint8_t> readWholeFile(const std::string& path);

// ".wav" of "Song.WAV"; empty when the file name has no dot.
std::string lowerCaseExtension(const std::string& path);

class PendingFile {
  public:
    // Throws RenderError when path is a symbolic link that leads nowhere
    // writable (a loop, or too many links).
    explicit PendingFile(std::string path);
    ~PendingFile();  // removes the temporary file unless committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::string& path() const { return path_; }
    const std::string& temporaryPath() const { return temporary_; }
    void write(const std::vector<std::uint8_t>& bytes) const;
    // Renames the temporary file to the target; throws RenderError on failure.
    void commit();

  private:
    std::string path_;    // as the user named it, for messages
    std::string target_;  // the file written: path_, or where its links lead
    std::string temporary_;
    bool committed_ = false;
};

}  // namespace render
