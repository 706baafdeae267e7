// Recordings into pictures, checked by ear as far as a test can: the
// picture a sine makes, and what the instrument plays from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "instrument/Lumavox.h"
#include "instrument/analysis/RecordingAnalysis.h"
#include "tests/support/AudioDump.h"
#include "tests/support/TestSynth.h"

namespace {

using analysis::ProgramValues;

constexpr int kRate = 44100;

std::vector<float> sine(double hz, double seconds, double amplitude) {
    std::vector<float> s(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<float>(amplitude *
                                  std::sin(2 * M_PI * hz * static_cast<double>(i) / kRate));
    return s;
}

int red(std::uint32_t p) {
    return static_cast<int>(p >> 16 & 0xFF);
}
int green(std::uint32_t p) {
    return static_cast<int>(p >> 8 & 0xFF);
}
std::uint32_t at(const std::vector<std::uint32_t>& picture, int column, int soundRow) {
    return picture[static_cast<std::size_t>(511 - soundRow) * 512 + column];
}

// Amplitude of the component at hz, over a stretch of v.
double amplitudeAt(const std::vector<float>& v, double hz, std::size_t from, std::size_t to) {
    double c = 0, s = 0;
    for (std::size_t i = from; i < to; ++i) {
        c += v[i] * std::cos(2 * M_PI * hz * double(i) / kRate);
        s += v[i] * std::sin(2 * M_PI * hz * double(i) / kRate);
    }
    return 2 * std::sqrt(c * c + s * s) / double(to - from);
}

// A4 through a fresh instrument with the values and the picture, effects
// off, the left channel.
std::vector<float> playA4(const std::vector<std::uint32_t>& picture, const ProgramValues& values,
                          double seconds) {
    lumavox::Lumavox synth(nullptr);
    auto set = [&](const char* name, float v) {
        synth.setParameter(synth.parameterIndex(name), v);
    };
    for (const analysis::ProgramValueName& entry : analysis::kProgramValueNames)
        set(entry.name, values.*entry.value);
    for (const char* name : {"DlyLv", "ChrsLv", "RevLevel", "Attack"})
        set(name, 0.f);
    {
        auto access = synth.spectrogram().pictures();
        std::copy(picture.begin(), picture.end(), access.current());
        access.rebuild();
    }
    testsupport::EventList notes;
    notes.add(testsupport::midiEvent(0, 0x90, analysis::kKeyA4, 127));
    synth.processEvents(notes.get());
    std::vector<float> left(static_cast<std::size_t>(seconds * kRate)), right(left.size());
    for (std::size_t done = 0; done < left.size(); done += 512) {
        float* out[2] = {left.data() + done, right.data() + done};
        synth.processReplacing(nullptr, out,
                               static_cast<int>(std::min<std::size_t>(512, left.size() - done)));
    }
    return left;
}

// Why 440 Hz at A4: the analysis pitch is the one case where a recording's
// partial lands on the fundamental's row exactly, so both the row and the
// level have a single right answer.
TEST(RecordingAnalysis, ASineAtItsOwnPitchLightsTheFundamentalRowAndPlaysBackAtThatPitch) {
    const ProgramValues values;     // the defaults: Range 0.5, Tempo 0.5, Fat 0
    const double amplitude = 0.02;  // quiet enough for the recording's own level
    const std::vector<float> recording = sine(440.0, 2.5, amplitude);
    std::vector<std::uint32_t> picture(512 * 512, 0xDEADBEEFu);
    const analysis::AnalysisResult result = analysis::analyse(
        recording.data(), recording.size(), 1, kRate, analysis::kKeyA4, values, picture.data());
    ASSERT_TRUE(result.analysed);
    EXPECT_EQ(result.levelGain, 1.f);
    EXPECT_EQ(result.firstColumn, 0);
    EXPECT_EQ(result.lastColumn, 511);  // Tempo 0.5: the picture is 2.048 s
    for (int column : {100, 256, 400}) {
        int brightest = 0;
        for (int r = 0; r < 512; ++r)
            if (red(at(picture, column, r)) > red(at(picture, column, brightest))) brightest = r;
        EXPECT_EQ(brightest, 16) << "column " << column;
        // Mono: both channels alike; blue carries nothing.
        EXPECT_EQ(green(at(picture, column, 16)), red(at(picture, column, 16)));
        EXPECT_EQ(at(picture, column, 16) & 0xFF, 0u);
        // Row 17 shares bin 16 at Range 0.5: silent, and a copy.
        EXPECT_EQ(at(picture, column, 17), at(picture, column, 16));
    }

    const std::vector<float> played = playA4(picture, values, 1.5);
    const std::size_t from = 22050, to = played.size();
    const double fundamental = amplitudeAt(played, 440.0, from, to);
    // At the recording's own level, within 0.5 dB (8-bit pixels, the soft clips).
    EXPECT_NEAR(20 * std::log10(fundamental / amplitude), 0.0, 0.5)
        << testsupport::dumpAudio("sine-round-trip", played, played);
    for (double other : {330.0, 415.3, 466.2, 550.0, 880.0})
        EXPECT_LT(amplitudeAt(played, other, from, to), fundamental * 0.03) << other << " Hz";
}

TEST(RecordingAnalysis, ChannelsGoToRedAndGreenAndALoudRecordingIsScaledAsAWhole) {
    const unsigned seed = 7;
    std::mt19937 rng(seed);
    std::normal_distribution<float> noise(0.f, 0.3f);
    std::vector<float> stereo(2 * 44100);
    for (std::size_t i = 0; i < stereo.size(); i += 2)
        stereo[i] = noise(rng);  // the right channel stays silent
    const ProgramValues values;
    std::vector<std::uint32_t> picture(512 * 512);
    const analysis::AnalysisResult fit = analysis::analyse(
        stereo.data(), stereo.size() / 2, 2, kRate, analysis::kKeyA4, values, picture.data());
    int lit = 0;
    for (std::uint32_t p : picture) {
        ASSERT_EQ(green(p), 0) << "seed " << seed;
        lit += red(p) > 0;
    }
    EXPECT_GT(lit, 10000) << "seed " << seed;
    // Noise at 0.3 RMS is louder than pixels and a clean oscillator allow.
    EXPECT_LT(fit.levelGain, 1.f);
    EXPECT_EQ(fit.clippedPixels, 0);

    std::vector<std::uint32_t> exact(512 * 512);
    analysis::AnalysisOptions options;
    options.level = analysis::AnalysisOptions::Level::Exact;
    const analysis::AnalysisResult clipped =
        analysis::analyse(stereo.data(), stereo.size() / 2, 2, kRate, analysis::kKeyA4, values,
                          exact.data(), options);
    EXPECT_EQ(clipped.levelGain, 1.f);
    EXPECT_GT(clipped.clippedPixels, 0);

    // Mono is both channels.
    std::vector<float> mono(stereo.size() / 2);
    for (std::size_t i = 0; i < mono.size(); ++i)
        mono[i] = stereo[2 * i];
    analysis::analyse(mono.data(), mono.size(), 1, kRate, analysis::kKeyA4, values, picture.data());
    for (std::uint32_t p : picture)
        ASSERT_EQ(green(p), red(p));
}

TEST(RecordingAnalysis, ColumnsFollowThePlayPositionAndArgumentsOutOfRangeChangeNothing) {
    // Start 0.25 and Tempo 0.5: column 128 at once, one column per 4 ms,
    // back to LoopIn 0.125 (column 64) after passing LoopOut 0.5 (column 256).
    ProgramValues values;
    values.start = 0.25f;
    values.loopIn = 0.125f;
    values.loopOut = 0.5f;
    const analysis::ColumnSchedule schedule(values, 10.0);
    EXPECT_DOUBLE_EQ(schedule.span(128).begin, 0.0);
    EXPECT_DOUBLE_EQ(schedule.span(128).end, 0.004);
    EXPECT_NEAR(schedule.span(200).begin, 72 * 0.004, 1e-9);
    EXPECT_NEAR(schedule.span(64).begin, 257 * 0.002, 1e-9);  // after the loop
    EXPECT_FALSE(schedule.span(300).reached());
    EXPECT_EQ(schedule.columnAt(0.0041), 129);
    EXPECT_NEAR(analysis::secondsHeld(values), schedule.span(127).end, 1e-9);

    // Fitting Tempo: a 2 s recording from column 128 to 256 needs 0.128; the
    // step at or below is 0.12, which the parameter's stepping keeps.
    EXPECT_FLOAT_EQ(analysis::fitTempo(2.0, values), 0.12f);
    values.start = 0.f;
    values.loopOut = 1.f;
    EXPECT_FLOAT_EQ(analysis::fitTempo(0.5, values), 1.f);  // the fastest Tempo

    std::vector<std::uint32_t> picture(512 * 512, 0x123456u);
    const std::vector<float> one(100, 0.5f);
    EXPECT_FALSE(analysis::analyse(one.data(), 100, 3, kRate, 69, values, picture.data()).analysed);
    EXPECT_FALSE(analysis::analyse(one.data(), 100, 1, 10.0, 69, values, picture.data()).analysed);
    EXPECT_FALSE(analysis::analyse(one.data(), 0, 1, kRate, 69, values, picture.data()).analysed);
    EXPECT_EQ(picture, std::vector<std::uint32_t>(512 * 512, 0x123456u));
    // Values the parameters could never hold are taken as the nearest they can.
    ProgramValues odd;
    odd.tempo = std::nanf("");
    odd.start = 7.f;
    odd.volume = -1.f;
    EXPECT_TRUE(analysis::analyse(one.data(), 100, 1, kRate, 69, odd, picture.data()).analysed);
    EXPECT_EQ(analysis::ColumnSchedule(odd, 1.0).columnAt(0.5), -1);  // Tempo 0 on column 512
}

}  // namespace
