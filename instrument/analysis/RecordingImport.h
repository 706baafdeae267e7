// A recording file's content into a picture: the WAV reader and the
// analysis in one step, bounded to the part of the recording that the
// picture can hold. For the editor's Load and anything else that holds a
// file's bytes.
//
// Threads: any. No platform calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "instrument/analysis/RecordingAnalysis.h"

namespace analysis {

// At most this much of a recording is decoded: the slowest Tempo (0.01)
// holds 102.4 s; Tempo 0 holds the Start column and averages this much.
constexpr double kMaxRecordingSeconds = 120.0;

// False, with the reason in error and picture untouched, when the bytes are
// not a WAV file the reader takes. result (when given) receives what the
// analysis reports.
bool importRecording(const void* data, std::size_t size, int key, const ProgramValues& values,
                     std::uint32_t* picture, std::string& error, AnalysisResult* result = nullptr);

}  // namespace analysis
