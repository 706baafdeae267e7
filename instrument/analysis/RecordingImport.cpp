#include "instrument/analysis/RecordingImport.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "instrument/analysis/WavReader.h"

namespace analysis {

bool importRecording(const void* data, std::size_t size, int key, const ProgramValues& values,
                     std::uint32_t* picture, std::string& error, AnalysisResult* result) {
    // Beyond what the picture holds only the last window's reach is read.
    const double window = 2.0 * audio::kTableLength / tableRate(std::clamp(key, 0, 127));
    const double seconds = std::min(secondsHeld(values) + window, kMaxRecordingSeconds);
    WavRecording wav;
    if (!readWav(data, size, wav, error, seconds)) return false;
    std::vector<std::uint32_t> analysed(audio::kPicturePixels);
    const AnalysisResult outcome =
        analyse(wav.samples.data(), wav.samples.size() / static_cast<std::size_t>(wav.channels),
                wav.channels, wav.sampleRate, key, values, analysed.data());
    if (!outcome.analysed) {
        error = "it cannot be analysed";
        return false;
    }
    std::copy(analysed.begin(), analysed.end(), picture);
    if (result) *result = outcome;
    return true;
}

}  // namespace analysis
