#include "tests/support/AudioDump.h"

#include <filesystem>

#include "tests/support/WavFile.h"

namespace testsupport {

std::string dumpAudio(const std::string& name, const std::vector<float>& left,
                      const std::vector<float>& right, int sampleRate) {
    std::filesystem::create_directories("test-output");
    const std::string path = "test-output/" + name + ".wav";
    if (!writeFloatWav(path, {left, right, sampleRate})) return "(could not write " + path + ")";
    return std::filesystem::absolute(path).string();
}

}  // namespace testsupport
