// --analyse: a recording made into the current program's picture, so that
// playing the key with the program's values sounds like the recording. The
// analysis (instrument/analysis) is pure computation on the samples and on
// the program's values, which the tool reads, and with --fit writes, through
// the plug-in's binary interface like any other parameter; the picture goes
// in through the program chunk. Nothing of the plug-in's inside is used: the
// tool still reaches the plug-in only through the ABI.
#pragma once

#include <string>

#include "tools/lumavox-render/PluginSession.h"
#include "tools/lumavox-render/RecordingFile.h"

namespace render {

struct RecordingRequest {
    std::string file;  // for messages
    int key;
    bool fit;  // set Tempo first so the whole recording runs from Start to LoopOut
};

struct AnalysedRecording {
    double seconds = 0.0;      // the whole recording
    double secondsUsed = 0.0;  // how much of it the picture holds
    double levelDb = 0.0;      // the level change from the recording to the playback
    float tempo = -1.f;        // the Tempo --fit chose, else -1
    std::string warning;       // when --fit cannot make the recording span the picture
};

// Throws RenderError naming the file or the option (a plug-in without
// pictures, a recording that cannot be analysed, --fit without room).
AnalysedRecording analyseRecording(PluginSession& session, RecordingFile& recording,
                                   const RecordingRequest& request);

// "analysed 2.00 s of voice.wav, level -3.1 dB" (and the Tempo of --fit).
std::string describe(const AnalysedRecording& analysed, const std::string& file);

}  // namespace render
