// lumavox-render end to end, the sound's ends and levels: tails that wait for
// late echoes and fade at their limit, full-scale samples counted and
// normalised away, one dither for every integer file, a spectrogram with
// scales.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>

#include "platform/ImageCodec.h"
#include "tests/render/ToolRun.h"
#include "tools/lumavox-render/Spectrogram.h"

namespace rendertest {
namespace {

using render::Spectrogram;

float peakBetween(const Audio& a, double from, double to) {
    float peak = 0.f;
    const long first = std::max(0L, static_cast<long>(from * a.rate));
    const long last = std::min(a.frames(), static_cast<long>(to * a.rate));
    for (long i = first * a.channels; i < last * a.channels; ++i)
        peak = std::max(peak, std::fabs(a.samples[static_cast<std::size_t>(i)]));
    return peak;
}

// The factory programs' picture, one red row: every note sounds from its start.
std::vector<std::uint8_t> redRow() {
    return bmpFile(512, 512, [](int, int y) { return y == 495 ? 0xFF0000u : 0u; });
}

class TailsAndLevels : public ToolTest {};

TEST_F(TailsAndLevels, TheTailWaitsForAnEchoThatComesAfterASilence) {
    // At 60 BPM a delay of [1/1] is four seconds: the note dies away long
    // before its echo comes, and the tail must wait for it.
    write("row.bmp", redRow());
    const ToolResult r =
        run({"--tempo",   "60",         "--picture",        "row.bmp",  "--param",
             "DlyLv=1",   "--param",    "DlyTime=1",        "--param",  "DlyFbk=0",
             "--param",   "RevLevel=0", "--param",          "ChrsLv=0", "--param",
             "Release=0", "--notes",    "A4:0.1@127 r:0.5", "-o",       "echo.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Audio echo = audio("echo.wav");
    const std::vector<double> times = onsets(echo);
    ASSERT_EQ(times.size(), 2u) << ::testing::PrintToString(times);
    EXPECT_NEAR(times[1], 4.0, 0.01) << "the echo";
    EXPECT_GT(peakBetween(echo, 4.0, 4.2), 0.5f * peakBetween(echo, 0.0, 0.2));
    EXPECT_LT(echo.frames(), 44100 * 7) << "and then it ends, well before --max-tail";
    EXPECT_LT(peakBetween(echo, echo.frames() / 44100.0 - 0.5, 99.0), 3.2e-5f)
        << "the last half second is silent";
}

TEST_F(TailsAndLevels, ATailCutAtItsLimitFadesOut) {
    write("row.bmp", redRow());
    const ToolResult r = run({"--picture", "row.bmp", "--param", "Release=1", "--notes", "A4:h",
                              "--max-tail", "0.5", "-o", "cut.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Audio cut = audio("cut.wav");
    ASSERT_EQ(cut.frames(), 44100 * 3 / 2) << "one second of song, half a second of tail";
    const double end = 1.5;
    const float before = peakBetween(cut, end - 0.1, end - 0.06);
    ASSERT_GT(before, 0.01f) << "the note still sounds at the limit";
    EXPECT_LT(peakBetween(cut, end - 0.005, end), 0.15f * before) << "faded, not cut";
    EXPECT_EQ(cut.samples[cut.samples.size() - 1], 0.f);
    EXPECT_EQ(cut.samples[cut.samples.size() - 2], 0.f);
}

TEST_F(TailsAndLevels, FullScaleIsWarnedOfAndNormalizeBringsThePeakToMinusOneDb) {
    // A dense phrase with every effect up: the instrument's output clips.
    const std::vector<std::string> dense = {
        "--program",  "3",
        "--param",    "Volume=1",
        "--param",    "Drive=1",
        "--param",    "DlyLv=1",
        "--param",    "DlyFbk=1",
        "--param",    "ChrsLv=1",
        "--param",    "RevLevel=1",
        "--param",    "RevTime=1",
        "--max-tail", "1",
        "--notes",    "C4+E4+G4+C5+E5:e D4+F4+A4+D5 E4+G4+B4+E5 F4+A4+C5+F5:h"};
    std::vector<std::string> args = dense;
    args.insert(args.end(), {"-o", "loud.wav"});
    ToolResult r = run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.rfind("lumavox-render: warning: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(" samples ("), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("at or over full scale, peak 0.0 dBFS"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line";
    EXPECT_EQ(audio("loud.wav").peak(), 1.f);

    args = dense;
    args.insert(args.end(), {"--normalize", "-o", "normal.wav"});
    r = run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("normalized by -1.0 dB"), std::string::npos) << r.out;
    EXPECT_NEAR(20 * std::log10(audio("normal.wav").peak()), -1.0, 0.001);
    EXPECT_EQ(files(), (std::vector<std::string>{"loud.wav", "normal.wav"}))
        << "the render kept aside for --normalize is gone";

    r = run({"-o", "demo.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "") << "the demo stays below full scale";
}

TEST_F(TailsAndLevels, SixteenBitWavAndFlacCarryTheSameDitheredSamples) {
    for (const char* name : {"a.wav", "a.flac", "b.wav"}) {
        const ToolResult r = run({"--notes", "A4:e C5 E5", "--bits", "16", "--quiet", "-o", name});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    const Audio wav = audio("a.wav"), flac = audio("a.flac"), again = audio("b.wav");
    ASSERT_GT(wav.peak(), 0.01f);
    EXPECT_TRUE(wav.samples == flac.samples) << "one dither for every file type";
    EXPECT_TRUE(wav.samples == again.samples) << "and the same noise every time";
    // Dithered: the quiet end of the tail is noise of about one step, not zeros.
    long nonZero = 0;
    for (long i = wav.frames() - 4410; i < wav.frames(); ++i)
        nonZero += wav.samples[static_cast<std::size_t>(2 * i)] != 0.f;
    EXPECT_GT(nonZero, 1000);
}

struct Picture {
    platform::Image image;
    // The sound's area: rows from the bottom (0) up, columns from the left.
    std::uint32_t sound(int column, int row) const {
        return image
            .pixels[static_cast<std::size_t>(Spectrogram::kTop + Spectrogram::kRows - 1 - row) *
                        image.width +
                    Spectrogram::kLeft + column];
    }
    int brightestRow(int column) const {
        int best = 0, bestSum = -1;
        for (int row = 0; row < Spectrogram::kRows; ++row) {
            const std::uint32_t p = sound(column, row);
            const int sum = ((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255);
            if (sum > bestSum) best = row, bestSum = sum;
        }
        return best;
    }
    // Pixels of light ink (the scales' text) in a rectangle.
    int inkIn(int x0, int y0, int x1, int y1) const {
        int ink = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                ink += image.pixels[static_cast<std::size_t>(y) * image.width + x] == 0xFFD8D8D8u;
        return ink;
    }
};

TEST_F(TailsAndLevels, TheSpectrogramShowsATonesFrequencyOnItsScales) {
    // One red pixel at the fundamental's row, held by Tempo 0: a pure A4.
    write("tone.bmp",
          bmpFile(512, 512, [](int x, int y) { return x == 0 && y == 495 ? 0xFF0000u : 0u; }));
    for (const bool linear : {false, true}) {
        std::vector<std::string> args = {"--picture",     "tone.bmp", "--param",    "Tempo=0",
                                         "--param",       "Start=0",  "--param",    "Fat=0",
                                         "--notes",       "A4:w",     "--max-tail", "0",
                                         "--spectrogram", "tone.png"};
        if (linear) args.push_back("--spectrogram-linear");
        const ToolResult r = run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        Picture p;
        const std::vector<std::uint8_t> png = read("tone.png");
        ASSERT_TRUE(platform::decodeImage(png.data(), png.size(), p.image));
        const int columns = p.image.width - Spectrogram::kLeft - Spectrogram::kRight;
        EXPECT_EQ(p.image.height, Spectrogram::kTop + Spectrogram::kRows + Spectrogram::kBottom);
        EXPECT_NEAR(columns, 2.0 * 44100 / Spectrogram::kHop, 40) << "two seconds of columns";

        const Spectrogram scale(
            44100, linear ? render::FrequencyScale::Linear : render::FrequencyScale::Log);
        // Within a row's height: 43 Hz in the linear scale, 1.5% in the log one.
        const double at = scale.frequencyOfRow(p.brightestRow(columns / 2) + 0.5);
        EXPECT_NEAR(at, 440.0, linear ? 44.0 : 440.0 * 0.015)
            << (linear ? "linear: " : "log: ") << at << " Hz";
        const int bottom = Spectrogram::kTop + Spectrogram::kRows;
        EXPECT_GT(p.inkIn(0, Spectrogram::kTop, Spectrogram::kLeft, bottom), 100) << "Hz labels";
        EXPECT_GT(p.inkIn(Spectrogram::kLeft, bottom, Spectrogram::kLeft + columns, p.image.height),
                  30)
            << "seconds";
        EXPECT_GT(p.inkIn(Spectrogram::kLeft + columns, Spectrogram::kTop, p.image.width, bottom),
                  100)
            << "dB";
    }
}

}  // namespace
}  // namespace rendertest
