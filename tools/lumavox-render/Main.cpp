// lumavox-render: loads the plug-in binary as a host does and renders a MIDI
// file, a --notes phrase or the demo phrase to an audio file, optionally
// with a picture of its own or one analysed from a recording.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "tools/lumavox-render/CommandLine.h"
#include "tools/lumavox-render/DemoPhrase.h"
#include "tools/lumavox-render/EffectTail.h"
#include "tools/lumavox-render/FileIo.h"
#include "tools/lumavox-render/MidiFileReader.h"
#include "tools/lumavox-render/NoteNotation.h"
#include "tools/lumavox-render/PictureFile.h"
#include "tools/lumavox-render/PluginSession.h"
#include "tools/lumavox-render/PresetFile.h"
#include "tools/lumavox-render/RecordingFile.h"
#include "tools/lumavox-render/RecordingPicture.h"
#include "tools/lumavox-render/RenderError.h"
#include "tools/lumavox-render/RenderSpool.h"
#include "tools/lumavox-render/Renderer.h"
#include "tools/lumavox-render/Spectrogram.h"

namespace render {
namespace {

// Longer songs would pass the 4 GB a WAV file can hold, in 32-bit stereo.
constexpr double kMaxSongSeconds = 3 * 3600.0;

Song loadSong(const Options& o) {
    Song song;
    std::string name = "the demo phrase";
    if (!o.midi.empty()) {
        const std::vector<std::uint8_t> bytes = readWholeFile(o.midi);
        song = readMidiFile(bytes.data(), bytes.size(), o.midi, o.tempo);
        name = o.midi;
    } else if (o.notes) {
        song = parseNotes(*o.notes, o.tempo, "--notes");
        name = "--notes";
    } else {
        song = parseNotes(kDemoPhrase, o.tempo, "the demo phrase");
    }
    if (songSeconds(song) > kMaxSongSeconds)
        throw RenderError(name + ": lasts " + std::to_string(std::lround(songSeconds(song) / 60)) +
                          " minutes, longer than the 3 hours this tool renders");
    return song;
}

PresetFile loadPresetFile(const std::string& path, bool bank, const PluginSession& session) {
    const std::vector<std::uint8_t> bytes = readWholeFile(path);
    PresetFile preset = readPresetFile(bytes.data(), bytes.size(), path, session.effect().uniqueID);
    if (isBank(preset.kind) != bank)
        throw RenderError(path + (bank ? ": holds one program; give it with --preset"
                                       : ": holds a bank; give it with --bank"));
    return preset;
}

// The file a picture option names, and the picture read from it.
struct PictureOption {
    std::string file;
    std::vector<std::uint32_t> picture;
};

// The analysis, when --analyse asks for one, comes last: it reads the
// values that the options before it have set.
std::optional<AnalysedRecording> applyState(const Options& o, PluginSession& session,
                                            const PictureOption* picture,
                                            RecordingFile* recording) {
    if (!o.bank.empty()) session.loadPreset(loadPresetFile(o.bank, true, session), o.bank);
    if (o.program) {
        if (*o.program < 0 || *o.program >= session.programCount())
            throw RenderError("--program: " + std::to_string(*o.program) + " is outside 0 to " +
                              std::to_string(session.programCount() - 1));
        session.selectProgram(*o.program);
    }
    if (!o.preset.empty()) session.loadPreset(loadPresetFile(o.preset, false, session), o.preset);
    if (picture) {
        try {
            session.replacePicture(picture->picture);
        } catch (const RenderError& e) {
            throw RenderError(picture->file + ": " + e.what());
        }
    }
    for (const ParameterSetting& p : o.parameters)
        session.setParameter(session.findParameter(p.name, p.option), p.value);
    if (!recording) return std::nullopt;
    const AnalysedRecording analysed =
        analyseRecording(session, *recording, {o.analyse, o.key, o.fit});
    if (!analysed.warning.empty())
        std::fprintf(stderr, "lumavox-render: warning: %s\n", analysed.warning.c_str());
    return analysed;
}

std::string decibels(float peak) {
    if (peak <= 0.f) return "silent";
    char text[32];
    std::snprintf(text, sizeof text, "peak %.1f dBFS", 20.0 * std::log10(peak));
    return text;
}

// What --normalize aims the peak at.
constexpr double kNormalizedPeakDb = -1.0;

void warnOfClipping(const RenderResult& result, bool normalized) {
    if (result.clipped == 0) return;
    char text[256];
    std::snprintf(text, sizeof text,
                  "lumavox-render: warning: %llu samples (%.1f%%) at or over full scale, %s%s\n",
                  static_cast<unsigned long long>(result.clipped),
                  100.0 * static_cast<double>(result.clipped) /
                      static_cast<double>(std::max<std::uint64_t>(result.samples, 1)),
                  decibels(result.peak).c_str(),
                  normalized ? " (lowered by --normalize, still clipped in the render)"
                             : "; --normalize brings the peak to -1 dBFS");
    std::fputs(text, stderr);
}

int run(const Options& o) {
    const Song song = loadSong(o);
    std::unique_ptr<PictureOption> picture;
    if (!o.picture.empty())
        picture.reset(
            new PictureOption{o.picture, readPictureFile(o.picture, PictureImport::PixelForPixel)});
    if (!o.image.empty())
        picture.reset(new PictureOption{o.image, readPictureFile(o.image, PictureImport::Scaled)});
    // Its header read before the plug-in is loaded, so that a bad file is
    // told first; its samples only once the values say how much is needed.
    std::unique_ptr<RecordingFile> recording;
    if (!o.analyse.empty()) recording = openRecording(o.analyse);

    PluginSession session(o.plugin.empty() ? defaultPluginPath() : o.plugin, o.sampleRate,
                          o.blockSize);
    const std::optional<AnalysedRecording> analysed =
        applyState(o, session, picture.get(), recording.get());
    if (o.list) {
        session.list(stdout, o.program ? *o.program : -1);
        return 0;
    }

    std::vector<std::unique_ptr<PendingFile>> written;
    std::string summary = analysed ? describe(*analysed, o.analyse) : "";
    std::optional<RenderResult> clipping;
    if (o.renders()) {
        std::unique_ptr<AudioFileWriter> audio;
        if (!o.output.empty()) {
            written.push_back(std::make_unique<PendingFile>(o.output));
            AudioFileSpec spec;
            spec.path = written.back()->temporaryPath();
            spec.displayName = o.output;
            spec.container = audioContainerFor(o.output);
            spec.format = o.format;
            spec.channels = session.effect().numOutputs;
            spec.sampleRate = o.sampleRate;
            audio = openAudioFile(spec);
        }
        std::unique_ptr<Spectrogram> spectrogram;
        if (!o.spectrogram.empty())
            spectrogram = std::make_unique<Spectrogram>(
                o.sampleRate, o.spectrogramLinear ? FrequencyScale::Linear : FrequencyScale::Log);
        const AudioSink toFiles = [&](const float* samples, long frames, int channels) {
            if (audio) audio->write(samples, frames);
            if (spectrogram) spectrogram->add(samples, frames, channels);
        };
        std::unique_ptr<RenderSpool> spool;
        if (o.normalize)
            spool = std::make_unique<RenderSpool>(o.output.empty() ? o.spectrogram : o.output);

        RenderSettings settings;
        settings.sampleRate = o.sampleRate;
        settings.blockSize = o.blockSize;
        settings.maxTailSeconds = o.maxTail;
        settings.quietWindowSeconds =
            quietWindowSeconds(session, song.tempo.positionAt(songSeconds(song)).bpm, o.sampleRate);
        settings.showProgress = !o.quiet;
        session.switchOn();
        const RenderResult result = renderSong(
            session, song, settings, [&](const float* samples, long frames, int channels) {
                if (spool)
                    spool->add(samples, frames, channels);
                else
                    toFiles(samples, frames, channels);
            });
        session.switchOff();
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.2f s", result.frames / double(o.sampleRate));
        summary += std::string(summary.empty() ? "" : ", ") + "rendered " + seconds + ", " +
                   decibels(result.peak);
        if (spool) {
            const double gain =
                result.peak > 0.f ? std::pow(10.0, kNormalizedPeakDb / 20.0) / result.peak : 1.0;
            spool->replay(static_cast<float>(gain), toFiles);
            char change[64];
            std::snprintf(change, sizeof change, ", normalized by %+.1f dB",
                          20.0 * std::log10(gain));
            if (result.peak > 0.f) summary += change;
        }
        if (audio) audio->close();
        if (spectrogram) {
            written.push_back(std::make_unique<PendingFile>(o.spectrogram));
            written.back()->write(spectrogram->png());
        }
        clipping = result;
    }
    if (!o.savePicture.empty()) {
        written.push_back(std::make_unique<PendingFile>(o.savePicture));
        try {
            written.back()->write(encodePictureFile(o.savePicture, session.picture()));
        } catch (const RenderError& e) {
            const std::string message = e.what();
            throw message.rfind(o.savePicture, 0) == 0
                ? e
                : RenderError(o.savePicture + ": " + message);
        }
    }
    const auto save = [&](const std::string& path, PresetFile (PluginSession::*what)()) {
        if (path.empty()) return;
        written.push_back(std::make_unique<PendingFile>(path));
        try {
            written.back()->write(writePresetFile((session.*what)()));
        } catch (const RenderError& e) {
            const std::string message = e.what();
            throw message.rfind(path, 0) == 0 ? e : RenderError(path + ": " + message);
        }
    };
    save(o.savePreset, &PluginSession::saveProgram);
    save(o.saveBank, &PluginSession::saveBank);

    std::string names;
    for (auto& file : written) {
        file->commit();
        names += (names.empty() ? "" : ", ") + file->path();
    }
    if (clipping) warnOfClipping(*clipping, o.normalize);
    if (!o.quiet)
        std::printf("%s%swrote %s\n", summary.c_str(), summary.empty() ? "" : ", ", names.c_str());
    return 0;
}

}  // namespace
}  // namespace render

int main(int argc, char** argv) {
    try {
        const render::Options options = render::parseCommandLine(argc, argv);
        if (options.help) {
            std::fputs(render::usageText().c_str(), stdout);
            return 0;
        }
        return render::run(options);
    } catch (const render::RenderError& e) {
        std::fprintf(stderr, "lumavox-render: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumavox-render: %s\n", e.what());
        return 1;
    }
}
