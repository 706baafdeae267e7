#include "tools/lumavox-render/RecordingPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "instrument/analysis/RecordingAnalysis.h"
#include "instrument/analysis/RecordingImport.h"

namespace render {
namespace {

constexpr double kTempoStep = 0.01;

std::string number(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Sets Tempo to the fit and tells, in warning, when even the fit cannot make
// the recording's end land at LoopOut (longer than the slowest Tempo takes,
// or shorter than the fastest).
void fitTempoToRecording(PluginSession& session, double seconds, analysis::ProgramValues& values,
                         AnalysedRecording& out) {
    const analysis::ProgramValues v = values.clamped();
    if (v.loopOut <= v.start)
        throw RenderError("--fit: LoopOut (" + number("%.3g", v.loopOut) +
                          ") is not after Start (" + number("%.3g", v.start) +
                          "), so there is no stretch of picture to fit the recording into");
    const int tempo = session.findParameter("Tempo", "--fit");
    session.setParameter(tempo, analysis::fitTempo(seconds, values));
    values.tempo = out.tempo = session.parameterValue(tempo);

    // In columns from Start: where the recording ends, where LoopOut is.
    const double ticks = seconds / analysis::kControlTickSeconds;
    const double span = (v.loopOut - v.start) * 512.0;
    const double end = ticks * out.tempo;
    const std::string lasts = "--fit: the recording lasts " + number("%.2f", seconds) + " s, ";
    if (end > span + 1e-6)
        out.warning = lasts + "longer than the slowest Tempo (0.01) takes from Start to LoopOut (" +
                      number("%.2f", span / kTempoStep * analysis::kControlTickSeconds) +
                      " s); the picture holds its beginning";
    else if (end + ticks * kTempoStep <= span)
        out.warning = lasts + "shorter than the fastest Tempo (1) takes from Start to LoopOut (" +
                      number("%.2f", span * analysis::kControlTickSeconds) +
                      " s); it ends before LoopOut";
}

}  // namespace

AnalysedRecording analyseRecording(PluginSession& session, RecordingFile& recording,
                                   const RecordingRequest& request) {
    session.requirePictures();
    AnalysedRecording out;
    out.seconds = recording.seconds();
    analysis::ProgramValues values = analysis::ProgramValues::read([&](const char* name) {
        return session.parameterValue(session.findParameter(name, "--analyse"));
    });
    if (request.fit) fitTempoToRecording(session, out.seconds, values, out);

    // What the picture can hold, and the reach of the last column's window.
    const double window = 2.0 * audio::kTableLength / analysis::tableRate(request.key);
    const std::vector<float> samples = recording.decode(
        std::min(analysis::secondsHeld(values) + window, analysis::kMaxRecordingSeconds));
    std::vector<std::uint32_t> picture(audio::kPicturePixels);
    const analysis::AnalysisResult result = analysis::analyse(
        samples.data(), samples.size() / static_cast<std::size_t>(recording.channels()),
        recording.channels(), recording.sampleRate(), request.key, values, picture.data());
    if (!result.analysed)
        throw RenderError(request.file + ": the recording cannot be analysed (" +
                          std::to_string(recording.channels()) + " channels at " +
                          std::to_string(recording.sampleRate()) + " Hz)");
    try {
        session.replacePicture(picture);
    } catch (const RenderError& e) {
        throw RenderError(request.file + ": " + e.what());
    }
    out.secondsUsed = result.secondsUsed;
    out.levelDb = 20.0 * std::log10(static_cast<double>(result.levelGain));
    return out;
}

std::string describe(const AnalysedRecording& analysed, const std::string& file) {
    std::string text = "analysed " + number("%.2f s", analysed.secondsUsed);
    if (analysed.secondsUsed < analysed.seconds - 0.005)
        text += " of " + number("%.2f s", analysed.seconds);
    text += " of " + file + ", level " + number("%+.1f dB", analysed.levelDb);
    if (analysed.tempo >= 0.f) text += ", Tempo " + number("%.2f", analysed.tempo);
    return text;
}

}  // namespace render
