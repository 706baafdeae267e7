// How well a recording survives the trip into a picture and back out of the
// instrument, and how long the analysis takes. A program, not a Google
// Benchmark: it prints one table.
//
//   build/bench/bench/lumavox_analysis_bench [--out DIR] [--speech FILE.wav]
//
// For each case: analyse it for A4 with the case's program values, play A4
// through a fresh instrument (processReplacing, in process), and compare the
// two 1/3-octave spectrograms (BandSpectrogram): the mean absolute band
// difference in dB and the correlation of the band envelopes. Band values
// below 60 dB under the original's loudest band count as that floor in both
// (silence against silence is no difference); the mean is given over every
// frame and band, and over those where either is above the floor. The
// correlation is the mean over the bands whose envelope moves in both (their
// count in brackets). The render is compared from
// the control tick on which the note starts, after taking back the level
// factor that the analysis reports. The picture and both spectrograms of
// every case go into DIR as PNGs. The program values: the defaults with the
// effects (delay, chorus, reverb) off, Range 1 (so that partials reach
// 13 kHz at A4; the default 0.5 stops at 7.2 kHz, the last row of each case)
// and Tempo set so the recording spans the picture; each case runs with
// Fat and Spike at 0 and 1.
//
// The real recording: Front_Center.wav of Debian's alsa-utils (1.2.8-1),
// a voice saying "front center", 48 kHz mono 16-bit, 1.4 s, installed by
// scripts/install-deps.sh.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench/BandSpectrogram.h"
#include "instrument/Lumavox.h"
#include "instrument/analysis/RecordingAnalysis.h"
#include "instrument/analysis/WavReader.h"
#include "platform/FileBytes.h"
#include "platform/ImageCodec.h"
#include "tests/support/EditorHarness.h"
#include "tests/support/FileDialogAnswer.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSynth.h"
#include "tests/support/WavBytes.h"

namespace {

using analysis::ProgramValues;

constexpr double kFloorDb = 60.0;

struct Recording {
    std::string name;
    std::vector<float> samples;  // interleaved
    int channels = 1;
    double rate = 44100;
    std::size_t frames() const { return samples.size() / static_cast<std::size_t>(channels); }
};

double smoothEdge(double t, double from, double to, double ramp = 0.02) {
    if (t < from || t > to) return 0.0;
    return std::min({1.0, (t - from) / ramp, (to - t) / ramp});
}

Recording tones(const std::string& name, double seconds, const std::vector<double>& hz,
                const std::vector<double>& onsets, double end, double amplitude) {
    Recording r{name, {}, 1, 44100};
    r.samples.resize(static_cast<std::size_t>(seconds * r.rate));
    for (std::size_t i = 0; i < r.samples.size(); ++i) {
        const double t = static_cast<double>(i) / r.rate;
        double v = 0;
        for (std::size_t n = 0; n < hz.size(); ++n)
            v += smoothEdge(t, onsets[n], end) * std::sin(2 * M_PI * hz[n] * t);
        r.samples[i] = static_cast<float>(amplitude * v);
    }
    return r;
}

Recording sweep(double seconds, double from, double to, double end, double amplitude) {
    Recording r{"sweep", {}, 1, 44100};
    r.samples.resize(static_cast<std::size_t>(seconds * r.rate));
    const double k = std::log(to / from) / end;
    for (std::size_t i = 0; i < r.samples.size(); ++i) {
        const double t = static_cast<double>(i) / r.rate;
        const double phase = 2 * M_PI * from * (std::exp(k * std::min(t, end)) - 1) / k;
        r.samples[i] = static_cast<float>(amplitude * smoothEdge(t, 0, end) * std::sin(phase));
    }
    return r;
}

Recording noiseBurst(unsigned seed) {
    Recording r{"noise burst", {}, 1, 44100};
    r.samples.resize(static_cast<std::size_t>(2.0 * r.rate));
    std::mt19937 rng(seed);
    std::normal_distribution<float> gauss(0.f, 0.1f);
    for (std::size_t i = 0; i < r.samples.size(); ++i) {
        const double t = static_cast<double>(i) / r.rate;
        r.samples[i] = static_cast<float>(smoothEdge(t, 0.3, 0.8, 0.005)) * gauss(rng);
    }
    return r;
}

bool loadWav(const std::string& path, Recording& r) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    analysis::WavRecording wav;
    if (!platform::readFileBytes(path, bytes, 1u << 28) ||
        !analysis::readWav(bytes.data(), bytes.size(), wav, error)) {
        std::printf("cannot read %s %s\n", path.c_str(), error.c_str());
        return false;
    }
    r.name = "speech";
    r.samples = std::move(wav.samples);
    r.channels = wav.channels;
    r.rate = wav.sampleRate;
    return true;
}

std::vector<float> channel(const Recording& r, int c) {
    std::vector<float> out(r.frames());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = r.samples[i * r.channels + std::min(c, r.channels - 1)];
    return out;
}

// The key played through a fresh instrument with these values and this
// picture; from the sub-block in which the note's envelope starts.
std::vector<float> renderKey(const std::uint32_t* picture, const ProgramValues& values, double rate,
                             std::size_t frames) {
    lumavox::Lumavox synth(nullptr);
    synth.setSampleRate(static_cast<float>(rate));
    auto set = [&](const char* name, float v) {
        synth.setParameter(synth.parameterIndex(name), v);
    };
    for (const analysis::ProgramValueName& entry : analysis::kProgramValueNames)
        set(entry.name, values.*entry.value);
    set("DlyLv", 0.f);
    set("ChrsLv", 0.f);
    set("RevLevel", 0.f);
    set("Attack", 0.f);
    {
        auto access = synth.spectrogram().pictures();
        std::copy_n(picture, audio::kPicturePixels, access.current());
        access.rebuild();
    }
    testsupport::EventList notes;
    notes.add(testsupport::midiEvent(0, 0x90, analysis::kKeyA4, 127));
    synth.processEvents(notes.get());
    // One sub-block per call, so the start is known to the sub-block.
    const int block = static_cast<int>(rate) * 256 / 500 / 256;
    std::vector<float> left(frames + 4 * static_cast<std::size_t>(rate)), right(left.size());
    std::size_t start = 0;
    bool started = false;
    for (std::size_t done = 0; done + block <= left.size(); done += block) {
        float* out[2] = {left.data() + done, right.data() + done};
        synth.processReplacing(nullptr, out, block);
        if (!started) {
            for (int v = 0; v < audio::kVoices; ++v)
                started |= synth.envelope().levels()[v] > 0.f;
            if (started) start = done;
        }
        if (started && done >= start + frames) break;
    }
    std::vector<float> out(frames);
    for (std::size_t i = 0; i < frames; ++i)
        out[i] = 0.5f * (left[start + i] + right[start + i]);  // both channels alike here
    return out;
}

struct Setting {
    const char* label;
    float fat, spike, range;
};

struct Outcome {
    bench::Comparison comparison;
    float levelGain;
    float tempo;
};

Outcome roundTrip(const Recording& r, const Setting& s, const std::filesystem::path& out,
                  bool writeFigures) {
    ProgramValues values;
    values.range = s.range;
    values.fat = s.fat;
    values.spike = s.spike;
    values.tempo = analysis::fitTempo(static_cast<double>(r.frames()) / r.rate, values);
    std::vector<std::uint32_t> picture(audio::kPicturePixels);
    const analysis::AnalysisResult result = analysis::analyse(
        r.samples.data(), r.frames(), r.channels, r.rate, analysis::kKeyA4, values, picture.data());
    const std::vector<float> rendered = renderKey(picture.data(), values, r.rate, r.frames());
    std::vector<float> mono = channel(r, 0);
    bench::BandSpectrogram original(mono, r.rate), copy(rendered, r.rate);
    copy.shift(-20 * std::log10(result.levelGain));
    const double floor = original.loudest() - kFloorDb;
    original.limit(floor);
    copy.limit(floor);
    if (writeFigures) {
        std::string stem = r.name;
        std::replace(stem.begin(), stem.end(), ' ', '-');
        stem += std::string("-") + s.label;
        const auto png = platform::encodePng(picture.data(), 512, 512);
        platform::writeFileBytes(out / (stem + "-picture.png"), png.data(), png.size());
        const auto a = original.png(floor, original.loudest());
        const auto b = copy.png(floor, original.loudest());
        platform::writeFileBytes(out / (stem + "-original.png"), a.data(), a.size());
        platform::writeFileBytes(out / (stem + "-render.png"), b.data(), b.size());
    }
    return {bench::compare(original, copy, floor), result.levelGain, values.tempo};
}

// A 10 s stereo recording: a chord with vibrato on the left, a sweep and
// noise on the right.
Recording tenSecondsStereo() {
    Recording r{"10 s stereo", {}, 2, 44100};
    const std::size_t frames = static_cast<std::size_t>(10 * r.rate);
    r.samples.resize(2 * frames);
    std::mt19937 rng(11);
    std::normal_distribution<float> gauss(0.f, 0.05f);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / r.rate;
        const double vibrato = 1 + 0.01 * std::sin(2 * M_PI * 5 * t);
        r.samples[2 * i] = static_cast<float>(0.1 * (std::sin(2 * M_PI * 261.6 * vibrato * t) +
                                                     std::sin(2 * M_PI * 329.6 * t) +
                                                     std::sin(2 * M_PI * 392.0 * t)));
        r.samples[2 * i + 1] =
            static_cast<float>(0.2 * std::sin(2 * M_PI * 200 * (std::exp(0.3 * t) - 1) / 0.3)) +
            gauss(rng);
    }
    return r;
}

struct Spread {
    double median, min, max;
    std::size_t runs;
};

template <typename Run>
Spread timed(int runs, Run&& run) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto begin = std::chrono::steady_clock::now();
        run();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front(), ms.back(), ms.size()};
}

// The analysis alone, and the editor's whole Load of the same recording as
// a 16-bit WAV file (reading, decoding, analysing, the rebuild), which is
// what the user waits for.
void timeAnalysis() {
    const Recording r = tenSecondsStereo();
    ProgramValues values;
    values.tempo = analysis::fitTempo(10.0, values);
    std::vector<std::uint32_t> picture(audio::kPicturePixels);
    const Spread alone = timed(11, [&] {
        analysis::analyse(r.samples.data(), r.frames(), 2, r.rate, analysis::kKeyA4, values,
                          picture.data());
    });
    std::printf(
        "analyse(), 10 s stereo 44.1 kHz at A4 (Tempo %.2f, other values the defaults): "
        "median %.1f ms, min %.1f, max %.1f over %zu runs\n",
        values.tempo, alone.median, alone.min, alone.max, alone.runs);

    testsupport::TempDir dir;
    const auto bytes = testsupport::wavBytes({1, 2, 44100, 16}, r.samples);
    platform::writeFileBytes(dir.path() / "ten.wav", bytes.data(), bytes.size());
    testsupport::EditorHarness editor;
    editor.synth().setParameter(editor.synth().parameterIndex("Tempo"), values.tempo);
    editor.open();
    testsupport::FileDialogAnswer dialog;
    testsupport::MessageRecorder boxes;
    dialog.answer = dir.path() / "ten.wav";
    const Spread load = timed(7, [&] { editor.click("Load"); });
    std::printf(
        "the editor's Load of it as a 16-bit WAV file (%zu bytes): median %.1f ms, "
        "min %.1f, max %.1f over %zu runs%s\n",
        bytes.size(), load.median, load.min, load.max, load.runs,
        boxes.boxes.empty() ? "" : " (it said something: failed)");
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path out = "analysis-figures";
    std::string speech = "/usr/share/sounds/alsa/Front_Center.wav";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--out") out = argv[i + 1];
        if (option == "--speech") speech = argv[i + 1];
    }
    std::filesystem::create_directories(out);

    std::vector<Recording> cases;
    cases.push_back(tones("sine", 2.0, {440.0}, {0.0}, 1.6, 0.25));
    // C major, C4 E4 G4 equal-tempered, entering one after another: none of
    // them is a whole number of bins of A4's table.
    cases.push_back(tones("chord", 2.0, {261.63, 329.63, 392.0}, {0.0, 0.3, 0.6}, 1.6, 0.1));
    cases.push_back(sweep(2.0, 440.0, 880.0, 1.7, 0.25));
    const unsigned seed = 20240611;
    cases.push_back(noiseBurst(seed));
    Recording voice;
    if (loadWav(speech, voice)) cases.push_back(voice);

    const Setting settings[] = {{"fat0-spike0", 0.f, 0.f, 1.f},
                                {"fat1-spike0", 1.f, 0.f, 1.f},
                                {"fat0-spike1", 0.f, 1.f, 1.f},
                                {"fat1-spike1", 1.f, 1.f, 1.f},
                                {"range0.5", 0.f, 0.f, 0.5f}};
    std::printf("round trip at A4, effects off (noise seed %u); figures in %s\n", seed,
                std::filesystem::absolute(out).string().c_str());
    std::printf("%-12s %-12s %6s %9s %10s %10s %14s\n", "case", "setting", "Tempo", "level dB",
                "mean |dB|", "(where lit)", "env. corr.");
    for (const Recording& r : cases)
        for (const Setting& s : settings) {
            const Outcome o = roundTrip(r, s, out, true);
            std::printf("%-12s %-12s %6.2f %9.1f %10.2f %10.2f %9.3f (%2d)\n", r.name.c_str(),
                        s.label, o.tempo, 20 * std::log10(o.levelGain), o.comparison.meanAbsDb,
                        o.comparison.meanAbsDbLit, o.comparison.envelopeCorrelation,
                        o.comparison.bandsCorrelated);
        }
    timeAnalysis();
    return 0;
}
