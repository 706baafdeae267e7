// Reading input files whole, and writing output files so that a failed or
// interrupted run never leaves a half-written one: everything goes to a
// temporary file beside the target, renamed over it only at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// Throws RenderError naming path and the reason.
std::vector<std::uint8_t> readWholeFile(const std::string& path);

class PendingFile {
  public:
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
    std::string path_;
    std::string temporary_;
    bool committed_ = false;
};

}  // namespace render
