// Running the built lumavox-render as a process in a folder of its own, and
// looking at what it wrote: the end-to-end tests' side of the tool.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace rendertest {

// From the command line: --tool PATH --plugin PATH.
const std::string& toolPath();
const std::string& pluginPath();

struct ToolResult {
    int status;
    std::string out;
    std::string err;
};

struct Audio {
    int rate = 0;
    int channels = 0;
    int format = 0;              // libsndfile's format code
    std::vector<float> samples;  // interleaved
    long frames() const { return channels ? static_cast<long>(samples.size()) / channels : 0; }
    float peak() const;
    std::vector<float> left() const;
};

// A fresh folder per test, removed afterwards unless the test failed.
class ToolTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the tool with --plugin (the plug-in under test) and then args, in
    // the folder. env: NAME=VALUE settings for this run.
    ToolResult run(const std::vector<std::string>& args,
                   const std::vector<std::string>& env = {}) const;
    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    std::vector<std::uint8_t> read(const std::string& name) const;
    // The names in the folder, sorted.
    std::vector<std::string> files() const;
    Audio audio(const std::string& name) const;

  private:
    std::filesystem::path folder_;
};

// A 24-bit BMP file; colour(x, y) gives 0xRRGGBB, rows from the top.
std::vector<std::uint8_t> bmpFile(int width, int height,
                                  const std::function<std::uint32_t(int, int)>& colour);

// Times (s) where the sound rises above a tenth of its peak after staying
// below it for at least 20 ms.
std::vector<double> onsets(const Audio& audio);
// The strongest frequency (Hz) of the left channel from start for length seconds.
double dominantFrequency(const Audio& audio, double start, double length);

}  // namespace rendertest
