#pragma once

#include <string>
#include <vector>

namespace testsupport {

// Writes a stereo 32-bit float WAV file into the build folder's test output
// directory, for a person to listen to when a rendered comparison fails.
// Returns the path written.
std::string dumpAudio(const std::string& name, const std::vector<float>& left,
                      const std::vector<float>& right, int sampleRate = 44100);

}  // namespace testsupport
