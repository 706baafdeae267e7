// What the editor's Load does with a file whose content starts like a WAV:
// the bounded reader, and then the analysis of whatever it accepted. The
// first byte picks the key the picture is for (and so the table rate, from
// far below to far above the file's rate) and whether only the reader runs;
// the rest is the file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "instrument/analysis/RecordingImport.h"
#include "instrument/analysis/WavReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int key = (data[0] >> 1) & 127;
    std::string error;
    if (data[0] & 1) {
        analysis::WavRecording wav;
        analysis::readWav(data + 1, size - 1, wav, error);
        return 0;
    }
    static std::vector<std::uint32_t> picture(512 * 512);
    analysis::ProgramValues values;
    values.tempo = 1.f;  // the whole picture in 1 s: few frames a column
    analysis::importRecording(data + 1, size - 1, key, values, picture.data(), error);
    return 0;
}
