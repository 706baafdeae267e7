// The options of lumavox-render, checked as far as they can be without the
// plug-in (names of parameters and the program count come from it later).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "instrument/analysis/PlaybackModel.h"
#include "tools/lumavox-render/AudioFileWriter.h"

namespace render {

struct ParameterSetting {
    std::string option;  // as given, for messages
    std::string name;
    float value;
};

struct Options {
    bool help = false;
    bool list = false;
    bool quiet = false;
    bool normalize = false;
    bool spectrogramLinear = false;
    std::string plugin;  // empty: the one beside the tool
    std::string midi;
    std::optional<std::string> notes;
    std::string output;
    std::string spectrogram;
    std::string preset, bank;
    std::string image;           // scaled as the editor's Load does
    std::string picture;         // 512 x 512, pixel for pixel
    std::string analyse;         // a recording made into the picture
    int key = analysis::kKeyA4;  // the key the analysed picture is meant for
    bool keyGiven = false;
    bool fit = false;  // Tempo set so that the recording spans Start to LoopOut
    std::string savePreset, saveBank, savePicture;
    std::optional<int> program;
    std::vector<ParameterSetting> parameters;
    double tempo = 120.0;
    int blockSize = 512;
    int sampleRate = 44100;
    SampleFormat format = SampleFormat::Float32;
    bool formatGiven = false;
    double maxTail = 10.0;

    bool renders() const { return !output.empty() || !spectrogram.empty(); }
    bool writesAnything() const {
        return renders() || !savePreset.empty() || !saveBank.empty() || !savePicture.empty();
    }
};

// Throws RenderError naming the option and the reason.
Options parseCommandLine(int argc, const char* const* argv);
std::string usageText();

}  // namespace render
