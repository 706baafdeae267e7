// A recording turned into a picture that plays it back: playing the key with
// the program's values then sounds like the recording, as closely as the
// instrument's playback allows. The mapping run backwards, step by step
// (RecordingAnalysis.cpp says how and why):
//
//   time     column c holds the recording at the time a voice started at
//            Start reaches column c under the program's Tempo, Start, LoopIn
//            and LoopOut, shifted by the grain's own delay;
//   pitch    the recording is resampled to the key's table rate (64 samples
//            a period), so a 1024-sample block of it is one wave table and
//            FFT bin s is exactly the partial that bin s of a table plays;
//            each partial goes to the nearest multiple of four bins (F/4),
//            the only ones the grains play without beating;
//   rows     each row gets the level of the partial the rebuild makes of it
//            (Tune, Range, Log and the bin cursor: where rows share a bin
//            only the lowest sounds), with the energy of the bins between
//            two sounding rows given to the nearer of them;
//   level    a pixel value v makes a partial of v x tilt^(r+1) / 4096 in
//            the table, times the drive gain, the oscillator's 0.7 and the
//            volume and pan gains of the effects.
//
// Red is the left channel and green the right (a mono recording gives
// both); blue stays 0. Pixel values clip at 255: by default a recording too
// loud for that is scaled down as a whole (AnalysisResult says by how much).
//
// What it does not undo: the chorus, delay and reverb (they add their own
// sound), the envelope's Attack and Release, and the velocity (a note at
// velocity 127 plays at the recording's level). Fat and Spike change how
// faithful the round trip can be; see RecordingAnalysis.cpp.
//
// Threads: any; it touches nothing but its arguments. No platform calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "instrument/analysis/PlaybackModel.h"

namespace analysis {

struct AnalysisOptions {
    enum class Level {
        // The recording's level where it fits into pixel values; a louder
        // recording is scaled down as a whole so that its loudest partial
        // gets 255 and no column drives the oscillator's soft clip hard.
        Fit,
        // Always the recording's own level; what does not fit clips at 255.
        Exact,
    };
    Level level = Level::Fit;
};

struct AnalysisResult {
    bool analysed = false;  // false: the arguments were out of range; picture untouched
    // The amplitude factor applied (1: the playback has the recording's
    // level; 0.1: it is 20 dB quieter).
    float levelGain = 1.f;
    int clippedPixels = 0;  // channel values that went past 255 (Level::Exact only)
    int firstColumn = -1;   // the columns the recording reached, -1 when none
    int lastColumn = -1;
    double secondsUsed = 0.0;  // how much of the recording the picture holds
};

constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 768000;

// samples: frames x channels floats, interleaved; channels 1 or 2; key the
// MIDI key the picture is meant for (kKeyA4 = 69 plays at 440 Hz). picture:
// 512 x 512 words 0x00RRGGBB, rows from the top, all written.
AnalysisResult analyse(const float* samples, std::size_t frames, int channels, double sampleRate,
                       int key, const ProgramValues& values, std::uint32_t* picture,
                       const AnalysisOptions& options = {});

}  // namespace analysis
