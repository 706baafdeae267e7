// lumavox-render end to end, the pictures: played pixel for pixel, saved and
// read back, and the factory programs' pictures heard from a note's start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/ImageCodec.h"
#include "tests/render/ToolRun.h"
#include "tools/lumavox-render/SpectrumFft.h"

namespace rendertest {
namespace {

const std::vector<std::string> kDry = {"--param", "Release=0", "--param", "DlyLv=0",
                                       "--param", "ChrsLv=0",  "--param", "RevLevel=0"};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

float peakBetween(const std::vector<float>& samples, int channels, long first, long last) {
    float peak = 0.f;
    for (long i = std::max(first, 0L) * channels;
         i < std::min(last * channels, static_cast<long>(samples.size())); ++i)
        peak = std::max(peak, std::fabs(samples[static_cast<std::size_t>(i)]));
    return peak;
}

// The share of the left channel's energy in 8192 frames from start that lies
// within width Hz of frequency.
double shareNear(const Audio& a, double start, double frequency, double width) {
    constexpr int kSize = 8192;
    const std::vector<float> left = a.left();
    render::SpectrumFft fft(kSize);
    float frame[kSize], magnitudes[kSize / 2 + 1];
    const auto first = static_cast<std::size_t>(start * a.rate);
    const double pi = std::acos(-1.0);
    for (int i = 0; i < kSize; ++i)
        frame[i] = (first + i < left.size() ? left[first + static_cast<std::size_t>(i)] : 0.f) *
                   static_cast<float>(0.5 - 0.5 * std::cos(2 * pi * i / kSize));
    fft.magnitudes(frame, magnitudes);
    double near = 0.0, all = 0.0;
    for (int k = 1; k < kSize / 2; ++k) {
        const double e = double(magnitudes[k]) * magnitudes[k];
        all += e;
        if (std::fabs(k * double(a.rate) / kSize - frequency) <= width) near += e;
    }
    return all > 0.0 ? near / all : 0.0;
}

class Pictures : public ToolTest {};

TEST_F(Pictures, APictureOfOnePixelPlaysExactlyThatPartialOnTheLeft) {
    // Sound row 16 (stored row 495) is the note's own frequency; red is the
    // left channel only. Tempo 0 holds the voice on column 0, the pixel's.
    std::vector<std::uint32_t> pixels(512 * 512, 0);
    pixels[495 * 512] = 0xFF0000;
    write("pixel.png", platform::encodePng(pixels.data(), 512, 512));
    const ToolResult r = run(with({"--picture", "pixel.png", "--param", "Tempo=0", "--param",
                                   "Start=0", "--param", "Tune=0.5", "--param", "Fat=0", "--param",
                                   "Filter=1", "--notes", "A4:w", "-o", "pixel.wav"},
                                  kDry));
    ASSERT_EQ(r.status, 0) << r.err;
    const Audio sound = audio("pixel.wav");
    ASSERT_GT(sound.peak(), 0.01f);
    EXPECT_NEAR(dominantFrequency(sound, 0.3, 1.5), 440.0, 0.5);
    EXPECT_GT(shareNear(sound, 0.5, 440.0, 20.0), 0.9999) << "one partial and nothing else";
    float right = 0.f;
    for (long i = 0; i < sound.frames(); ++i)
        right = std::max(right, std::fabs(sound.samples[static_cast<std::size_t>(2 * i + 1)]));
    EXPECT_EQ(right, 0.f) << "no green, nothing on the right";
}

TEST_F(Pictures, ASavedPictureComesBackBitForBitWithoutANote) {
    ToolResult r = run({"--program", "1", "--save-picture", "a.png"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "wrote a.png\n") << "nothing is rendered";
    r = run({"--picture", "a.png", "--save-picture", "b.bmp"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = run({"--picture", "b.bmp", "--save-picture", "c.png"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read("a.png"), read("c.png"));

    platform::Image picture;
    const std::vector<std::uint8_t> png = read("a.png");
    ASSERT_TRUE(platform::decodeImage(png.data(), png.size(), picture));
    EXPECT_EQ(picture.width, 512);
    EXPECT_EQ(picture.height, 512);
    const long lit = std::count_if(picture.pixels.begin(), picture.pixels.end(),
                                   [](std::uint32_t p) { return (p & 0xFFFF00) != 0; });
    EXPECT_GT(lit, 1000) << "the factory program's picture, not a black one";

    // The state files need no note either, and keep what the options set.
    r = run({"--program", "2", "--param", "Volume=0.3", "--save-preset", "p.fxp", "--save-bank",
             "b.fxb"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto volume = [](const std::string& listing) {
        const std::size_t at = listing.find(" Volume ");
        const std::size_t end = listing.find('\n', at);
        if (at == std::string::npos || end == std::string::npos) return std::string("(none)");
        const std::string line = listing.substr(at, end - at);
        return line.substr(line.find_last_of(' ') + 1);
    };
    r = run({"--program", "0", "--preset", "p.fxp", "--list", "--program", "0"});
    EXPECT_EQ(volume(r.out), "0.3") << r.out;
    r = run({"--bank", "b.fxb", "--list", "--program", "2"});
    EXPECT_EQ(volume(r.out), "0.3") << r.out;
}

TEST_F(Pictures, AnOutputThatIsASymbolicLinkIsWrittenThrough) {
    write("real.wav", {});
    write("real.png", {});
    std::filesystem::create_symlink("real.wav", path("link.wav"));
    std::filesystem::create_symlink("real.png", path("link.png"));
    const ToolResult r = run({"--notes", "C5", "-o", "link.wav", "--save-picture", "link.png"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::filesystem::is_symlink(path("link.wav")));
    EXPECT_TRUE(std::filesystem::is_symlink(path("link.png")));
    EXPECT_GT(audio("real.wav").frames(), 44100 / 2);
    EXPECT_GT(read("real.png").size(), 1000u);
    EXPECT_EQ(files(), (std::vector<std::string>{"link.png", "link.wav", "real.png", "real.wav"}));
}

TEST_F(Pictures, EveryFactoryProgramSoundsWithinTwentyMillisecondsOfANoteOn) {
    // Each program as it comes: a note on a fresh voice, a low one, and a
    // chord on voices that have played before, each after a long rest so that
    // the previous tail has died away.
    const double noteOns[] = {0.0, 5.0, 10.0};
    for (const char* program : {"0", "1", "2", "3"}) {
        SCOPED_TRACE(std::string("program ") + program);
        const ToolResult r =
            run({"--program", program, "--notes", "A4:h r:8 C3:h r:8 E4+A4+C5:h r:8", "--max-tail",
                 "0", "-o", "notes.wav"});
        ASSERT_EQ(r.status, 0) << r.err;
        const Audio sound = audio("notes.wav");
        for (double on : noteOns) {
            const long first = static_cast<long>(on * sound.rate);
            const float early = peakBetween(sound.samples, sound.channels, first,
                                            first + sound.rate / 50);  // 20 ms
            const float note =
                peakBetween(sound.samples, sound.channels, first, first + sound.rate / 2);
            EXPECT_GT(early, 0.003f) << "at " << on << " s the note is not heard in 20 ms";
            EXPECT_GT(early, 0.1f * note)
                << "at " << on << " s the note takes longer than 20 ms to come within 20 dB of "
                << "its level";
        }
    }
}

}  // namespace
}  // namespace rendertest
