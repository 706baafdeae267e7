// lumavox-render end to end, --analyse: a recording made into the current
// program's picture, heard back through the plug-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/ImageCodec.h"
#include "tests/render/ToolRun.h"
#include "tests/support/WavBytes.h"

namespace rendertest {
namespace {

// Row 16 of the sound (stored row 495) is the note's own frequency with these
// values, and nothing of the effects is left in the render.
const std::vector<std::string> kPlain = {
    "--param",   "Tune=0.5", "--param", "Fat=0",   "--param",  "Filter=1", "--param",
    "Release=0", "--param",  "DlyLv=0", "--param", "ChrsLv=0", "--param",  "RevLevel=0"};
constexpr int kFundamentalRow = 495;

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// A 16-bit WAV file of seconds at 44.1 kHz; sample(channel, t) in -1..1.
std::vector<std::uint8_t> wavFile(int channels, double seconds,
                                  const std::function<double(int, double)>& sample) {
    testsupport::WavSpec spec;
    spec.channels = channels;
    const auto frames = static_cast<long>(seconds * spec.rate);
    std::vector<float> samples;
    for (long i = 0; i < frames; ++i)
        for (int ch = 0; ch < channels; ++ch)
            samples.push_back(static_cast<float>(sample(ch, double(i) / spec.rate)));
    return testsupport::wavBytes(spec, samples);
}

double sine(double frequency, double t) {
    return 0.5 * std::sin(2.0 * std::acos(-1.0) * frequency * t);
}

struct Picture {
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB, rows from the top
    int channel(int x, int y, int shift) const {
        return static_cast<int>((pixels[static_cast<std::size_t>(y * 512 + x)] >> shift) & 0xFF);
    }
};

class Analyse : public ToolTest {
  protected:
    Picture picture(const std::string& name) const {
        const std::vector<std::uint8_t> bytes = read(name);
        platform::Image image;
        EXPECT_TRUE(platform::decodeImage(bytes.data(), bytes.size(), image))
            << platform::lastImageError();
        EXPECT_EQ(image.width, 512);
        EXPECT_EQ(image.height, 512);
        return {image.pixels};
    }
};

TEST_F(Analyse, ASineBecomesItsFundamentalsRowAndPlaysBackAtItsPitch) {
    // Mono goes to both channels, a left-only recording to red alone.
    write("mono.wav", wavFile(1, 2.0, [](int, double t) { return sine(440.0, t); }));
    write("left.wav", wavFile(2, 2.0, [](int ch, double t) { return ch ? 0.0 : sine(440.0, t); }));
    for (const char* recording : {"mono.wav", "left.wav"}) {
        SCOPED_TRACE(recording);
        const ToolResult r = run(with({"--analyse", recording, "--save-picture", "p.png", "--notes",
                                       "A4:w", "-o", "back.wav"},
                                      kPlain));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.rfind(std::string("analysed 2.00 s of ") + recording + ", level ", 0), 0u)
            << r.out;
        const Picture p = picture("p.png");
        long rowSum[512] = {}, red = 0, green = 0;
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x) {
                rowSum[y] += p.channel(x, y, 16);
                red += p.channel(x, y, 16);
                green += p.channel(x, y, 8);
            }
        // The rows that share the fundamental's bin are painted alike.
        const long brightest = *std::max_element(rowSum, rowSum + 512);
        EXPECT_EQ(rowSum[kFundamentalRow], brightest);
        EXPECT_LT(rowSum[kFundamentalRow - 8], brightest / 10) << "another partial as bright";
        EXPECT_LT(rowSum[kFundamentalRow + 8], brightest / 10) << "another partial as bright";
        EXPECT_GT(red, 0);
        if (std::string(recording) == "mono.wav")
            EXPECT_EQ(green, red) << "mono is the same on both channels";
        else
            EXPECT_EQ(green, 0) << "nothing on the right, no green";

        const Audio back = audio("back.wav");
        ASSERT_GT(back.peak(), 0.01f);
        EXPECT_NEAR(dominantFrequency(back, 0.3, 1.0), 440.0, 1.0);
    }
}

TEST_F(Analyse, FitMakesTheRecordingEndJustBeforeLoopOut) {
    // 3 s is 1500 control ticks; from Start 0 to LoopOut 0.75 (column 384)
    // the fit is Tempo 0.25, and the recording's end lands on column 375.
    write("long.wav", wavFile(1, 3.0, [](int, double t) { return sine(440.0, t); }));
    const ToolResult r =
        run(with({"--analyse", "long.wav", "--fit", "--param", "Start=0", "--param", "LoopOut=0.75",
                  "--save-picture", "p.png", "--save-preset", "fit.fxp"},
                 kPlain));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("analysed 3.00 s of long.wav, level "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(", Tempo 0.25"), std::string::npos) << r.out;
    const Picture p = picture("p.png");
    int lastLit = -1;
    for (int x = 0; x < 512; ++x)
        if (p.channel(x, kFundamentalRow, 16) > 0) lastLit = x;
    EXPECT_GE(lastLit, 370);
    EXPECT_LT(lastLit, 384) << "nothing after LoopOut";

    // The preset holds the Tempo the fit chose.
    const ToolResult listed = run({"--preset", "fit.fxp", "--list"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("Tempo"), std::string::npos);
    EXPECT_NE(listed.out.find("0.25"), std::string::npos) << listed.out;
}

TEST_F(Analyse, ARecordingTheToolWroteAsFlacIsReadBack) {
    ToolResult r = run({"--notes", "A4:h", "-o", "phrase.flac"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = run({"--analyse", "phrase.flac", "--key", "A3", "--save-picture", "p.png"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("analysed ", 0), 0u) << r.out;
}

TEST_F(Analyse, ABadRecordingChangesNothingAndSaysSoInOneLine) {
    std::vector<std::uint8_t> cut = wavFile(1, 0.5, [](int, double t) { return sine(440.0, t); });
    cut.resize(30);  // inside the format chunk
    write("cut.wav", cut);
    write("text.wav", std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o', '\n'});
    write("sine.wav", wavFile(1, 0.5, [](int, double t) { return sine(440.0, t); }));
    const std::vector<std::string> inputs = files();
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--analyse", "cut.wav"}, "lumavox-render: cut.wav: the recording cannot be read ("},
        {{"--analyse", "text.wav"}, "lumavox-render: text.wav: the recording cannot be read ("},
        {{"--analyse", "missing.wav"}, "lumavox-render: missing.wav: "},
        {{"--analyse", "sine.wav", "--picture", "sine.wav"},
         "lumavox-render: --analyse and --picture: give one or the other"},
        {{"--key", "A3"}, "lumavox-render: --key: goes with --analyse FILE"},
        {{"--analyse", "sine.wav", "--key", "H9"}, "lumavox-render: --key: 'H9': not a note"},
        {{"--analyse", "sine.wav", "--fit", "--param", "Start=0.5", "--param", "LoopOut=0.25"},
         "lumavox-render: --fit: LoopOut (0.25) is not after Start (0.5)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ToolResult r =
            run(with(c.args, {"--save-picture", "p.png", "--save-preset", "p.fxp", "-o", "o.wav"}));
        EXPECT_NE(r.status, 0);
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;
        EXPECT_EQ(files(), inputs) << "a file was written";
    }
}

}  // namespace
}  // namespace rendertest
