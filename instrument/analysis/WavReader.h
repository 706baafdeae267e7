// WAV files from memory: RIFF/WAVE with a "fmt " and a "data" chunk, in any
// order among other chunks; integer PCM of 16, 24 or 32 bits, 32-bit float,
// and WAVE_FORMAT_EXTENSIBLE of those; mono or stereo. Bounded like the state
// chunk reader: every length in the file is checked against the bytes that
// are really there before anything is read, so a cut or damaged file is
// refused with the reason and never read past its end.
//
// Threads: any. No platform calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace analysis {

struct WavRecording {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    bool isFloat = false;
    std::size_t frames = 0;      // frames in the file
    std::vector<float> samples;  // the frames decoded, interleaved, -1..1
};

// Why a recording of this shape cannot be analysed (a channel count other
// than mono or stereo, a sample rate out of range), or "" when it can: one
// rule and one wording for every reader of recordings.
std::string unreadableShape(long long channels, long long sampleRate);

// True when the bytes start like a WAV file ("RIFF", size, "WAVE"): the
// content decides, not the file's name.
bool looksLikeWav(const void* data, std::size_t size);

// Decodes at most maxSeconds of it (the rest of a longer file is left
// unread, which is no error). False with the reason in error, and out
// untouched, for anything that is not a whole WAV file of the kinds above.
// Non-finite float samples read as 0.
bool readWav(const void* data, std::size_t size, WavRecording& out, std::string& error,
             double maxSeconds = std::numeric_limits<double>::infinity());

}  // namespace analysis
