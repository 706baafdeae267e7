// The picture store and its editing operations, rebuild requests, playback
// of the oscillator on its own, and the wave display.
#include "modules/MoSpectrogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <thread>

#include "tests/support/FakeModuleHost.h"

namespace {

using audio::MoSpectrogram;
using testsupport::FakeModuleHost;

class Spectrogram : public testing::Test {
  protected:
    Spectrogram() {
        osc.tune = &tune;
        osc.range = &range;
        osc.filter = &one;
        osc.loopOut = &one;
        osc.tempo = &tempo;
        osc.pitch = pitch;
        osc.trigger = trigger;
        osc.envelope = envelope;
    }
    std::uint32_t pixel(int program, int i) { return osc.pictures().picture(program)[i]; }
    void paint(std::uint32_t colour, int soundRow = 16) {
        auto access = osc.pictures();
        for (int x = 0; x < 512; ++x)
            access.current()[(511 - soundRow) * 512 + x] = colour;
        access.rebuild();
    }
    double peak(const std::vector<float>& v) {
        double p = 0;
        for (float s : v)
            p = std::max(p, std::fabs(static_cast<double>(s)));
        return p;
    }
    // Plays voice 7 at key 69 with full envelope for the given frames.
    std::vector<float> play(int frames, bool leftChannel = true) {
        host.active[7] = 1;
        std::vector<float> out;
        for (int done = 0; done < frames; done += 88) {
            osc.process(88, 1);
            trigger[7] = 0.f;
            for (int f = 0; f < 88; ++f)
                out.push_back(leftChannel ? osc.output.left(f) : osc.output.right(f));
        }
        return out;
    }

    FakeModuleHost host;
    MoSpectrogram osc{host};
    audio::ParameterValue tune{0.5f}, range{1.f}, one{1.f}, tempo{0.f};
    float pitch[8] = {0, 0, 0, 0, 0, 0, 0, 69.f / 120.f + 0.003135971f};
    float trigger[8] = {0, 0, 0, 0, 0, 0, 0, 1.f};
    float envelope[8] = {1, 1, 1, 1, 1, 1, 1, 1};
};

TEST_F(Spectrogram, InvertTwiceRestoresThePictureAndKeepsTheTopByte) {
    {
        auto access = osc.pictures();
        for (int i = 0; i < audio::kPicturePixels; ++i)
            access.current()[i] = static_cast<std::uint32_t>(i * 2654435761u);
    }
    const std::uint32_t before = pixel(0, 12345);
    osc.invert();
    EXPECT_EQ(pixel(0, 12345), before ^ 0x00FFFFFFu);
    osc.invert();
    EXPECT_EQ(pixel(0, 12345), before);
    EXPECT_EQ(osc.rebuildCount(), 2);
}

TEST_F(Spectrogram, MonochromeWeighsGreenMost) {
    {
        auto access = osc.pictures();
        access.current()[0] = 0xFFFFFFFFu;  // white with a top byte
        access.current()[1] = 0x00FF0000u;  // red
        access.current()[2] = 0x0000FF00u;  // green
    }
    osc.monochrome();
    EXPECT_EQ(pixel(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(pixel(0, 1), 76u * 0x010101u);
    EXPECT_EQ(pixel(0, 2), 153u * 0x010101u);
}

TEST_F(Spectrogram, ClearAsksAndCancelChangesNothing) {
    paint(0x00FF0000);
    const int rebuilds = osc.rebuildCount();
    host.answer = false;
    osc.clear();
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0], "BitMap Clear?");
    EXPECT_EQ(pixel(0, 495 * 512), 0x00FF0000u);
    EXPECT_EQ(osc.rebuildCount(), rebuilds);
    host.answer = true;
    osc.clear();
    EXPECT_EQ(pixel(0, 495 * 512), 0u);
    EXPECT_EQ(osc.rebuildCount(), rebuilds + 1);
}

TEST_F(Spectrogram, EditsTouchOnlyTheCurrentProgramsPicture) {
    osc.programChanged(2);
    osc.invert();
    EXPECT_EQ(pixel(2, 7), 0x00FFFFFFu);
    for (int p : {0, 1, 3})
        EXPECT_EQ(pixel(p, 7), 0u);
}

TEST_F(Spectrogram, RebuildsWaitForTheEndOfAProgramLoad) {
    const int rebuilds = osc.rebuildCount();
    osc.setProgramLoading(1);
    osc.programChanged(1);
    osc.parameterChanged(host.parameterIndex("Tune"), 0.6f);
    osc.rebuild();
    EXPECT_EQ(osc.rebuildCount(), rebuilds);
    osc.setProgramLoading(0);
    EXPECT_EQ(osc.rebuildCount(), rebuilds + 1);
    osc.parameterChanged(host.parameterIndex("Volume"), 0.5f);  // not a rebuild parameter
    EXPECT_EQ(osc.rebuildCount(), rebuilds + 1);
}

TEST_F(Spectrogram, TheAudioThreadHandsItsRebuildsToTheWorker) {
    const int rebuilds = osc.rebuildCount();
    host.audioThread = true;
    range.store(0.3f);
    osc.parameterChanged(host.parameterIndex("Range"), 0.3f);
    EXPECT_EQ(osc.rebuildCount(), rebuilds);
    EXPECT_EQ(host.deferredRequests, 1);
    host.audioThread = false;
    osc.runDeferredWork();  // as the worker does
    EXPECT_EQ(osc.rebuildCount(), rebuilds + 1);
    osc.runDeferredWork();  // nothing pending any more
    EXPECT_EQ(osc.rebuildCount(), rebuilds + 1);
}

TEST_F(Spectrogram, ABatchGathersThisThreadsRequestsIntoOneAtItsEnd) {
    const int rebuilds = osc.rebuildCount();
    const int tuneIndex = host.parameterIndex("Tune");
    {
        const auto batch = osc.batchRebuilds();
        // Another thread's request is not held back.
        std::thread other([&] {
            range.store(0.3f);
            osc.parameterChanged(host.parameterIndex("Range"), 0.3f);
        });
        other.join();
        EXPECT_EQ(osc.rebuildCount(), rebuilds + 1);
        for (float t : {0.4f, 0.45f, 0.6f}) {
            tune.store(t);
            osc.parameterChanged(tuneIndex, t);
        }
        {
            const auto inner = osc.batchRebuilds();
            osc.programChanged(1);
        }
        EXPECT_EQ(osc.rebuildCount(), rebuilds + 1);  // not even when the inner batch closes
    }
    EXPECT_EQ(osc.rebuildCount(), rebuilds + 2);
    EXPECT_EQ(osc.currentProgram(), 1);
    // The same request again: the tables already are what it would build.
    osc.parameterChanged(tuneIndex, 0.6f);
    osc.rebuild();
    EXPECT_EQ(osc.rebuildCount(), rebuilds + 2);
    {
        const auto batch = osc.batchRebuilds();  // nothing asked: nothing built
    }
    EXPECT_EQ(osc.rebuildCount(), rebuilds + 2);
}

TEST_F(Spectrogram, TheAvx2VoicesPlayTheSameSamplesAsTheSse2Ones) {
    if (!math::cpuHasAvx2()) GTEST_SKIP() << "no AVX2 here";
    const unsigned seed = 424242;
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 rng(seed);
    MoSpectrogram narrow{host};
    narrow.useAvx2(false);
    audio::ParameterValue fat{0.6f}, spike{0.3f}, drive{0.4f}, loopIn{0.1f};
    for (MoSpectrogram* o : {&osc, &narrow}) {
        o->tune = &tune;
        o->range = &range;
        o->filter = &one;
        o->loopIn = &loopIn;
        o->loopOut = &one;
        o->tempo = &tempo;
        o->fat = &fat;
        o->spike = &spike;
        o->drive = &drive;
        o->pitch = pitch;
        o->trigger = trigger;
        o->envelope = envelope;
        auto access = o->pictures();
        std::mt19937 paint(seed);
        for (int i = 0; i < audio::kPicturePixels; ++i)
            access.current()[i] = paint() & 0x00FFFFFF;
        access.rebuild();
    }
    tempo.store(0.7f);
    double loudness = 0;
    for (int block = 0; block < 2000; ++block) {
        for (int v = 0; v < 8; ++v) {
            if (rng() % 50 == 0) {  // voices start and stop now and then
                host.active[v] = static_cast<int>(rng() % 2);
                trigger[v] = 1.f;
                pitch[v] = static_cast<float>(30 + rng() % 70) / 120.f;
            }
            envelope[v] = static_cast<float>(rng() % 100) / 100.f;
        }
        const int frames = 1 + static_cast<int>(rng() % 256);
        const int ticks = static_cast<int>(rng() % 2);
        osc.process(frames, ticks);
        narrow.process(frames, ticks);
        for (float& t : trigger)
            t = 0.f;
        ASSERT_EQ(std::memcmp(osc.output.samples, narrow.output.samples,
                              sizeof(float) * 2 * static_cast<std::size_t>(frames)),
                  0)
            << "block " << block;
        for (int i = 0; i < 2 * frames; ++i)
            loudness += std::fabs(osc.output.samples[i]);
    }
    EXPECT_GT(loudness, 1000.0);  // the voices were heard
}

TEST_F(Spectrogram, SilentWithoutVoicesOrWhileLoading) {
    paint(0x00FF0000);
    osc.process(88, 1);
    for (float s : osc.output.samples)
        ASSERT_EQ(s, 0.f);
    host.active[7] = 1;
    osc.setProgramLoading(1);
    osc.process(88, 1);
    for (float s : osc.output.samples)
        ASSERT_EQ(s, 0.f);
}

TEST_F(Spectrogram, StepFollowsPitchAndPositionTheTempo) {
    paint(0x00FF0000);
    play(88);
    EXPECT_NEAR(osc.step(7), 440.f * 64.f / 44100.f, 1e-3);
    tempo.store(1.f);
    trigger[7] = 0.f;
    const float before = osc.position(7);
    play(88 * 5);
    EXPECT_FLOAT_EQ(osc.position(7), before + 5.f);  // one column per control tick
    pitch[7] = 2.f;                                  // beyond the keyboard: held at f = 1
    play(88);
    EXPECT_NEAR(osc.step(7), 8192.f * 64.f / 44100.f, 1e-2);
}

TEST_F(Spectrogram, LoopOutBelowLoopInHoldsTheVoiceAtLoopIn) {
    // The note starts beyond the loop end (Start past LoopOut), so the next
    // tick sends it to the loop start, and every tick after that again.
    audio::ParameterValue in{0.5f}, out{0.25f}, startColumn{0.3f};
    osc.loopIn = &in;
    osc.loopOut = &out;
    osc.start = &startColumn;
    tempo.store(1.f);
    play(88 * 10);
    EXPECT_EQ(osc.position(7), 256.f);
}

TEST_F(Spectrogram, OutputNeverExceedsSevenTenths) {
    audio::ParameterValue drive{1.f};
    osc.drive = &drive;
    for (int r = 16; r < 200; ++r)
        paint(0x00FFFFFF, r);
    for (int v = 0; v < 8; ++v) {
        host.active[v] = 1;
        pitch[v] = pitch[7];
    }
    const std::vector<float> out = play(4000);
    EXPECT_GT(peak(out), 0.6);
    EXPECT_LE(peak(out), 0.7 + 1e-6);
}

TEST_F(Spectrogram, TheDisplayIsFedOnlyWhileTheEditorIsOpen) {
    audio::ParameterValue scope{0.5f};
    osc.waveDisplay = &scope;
    audio::StereoBuffer final;
    for (int f = 0; f < 256; ++f)
        final.left(f) = final.right(f) = 0.25f;  // sum 0.5
    osc.finalOutput = &final;
    host.active[7] = 1;
    for (int i = 0; i < 20; ++i)
        osc.process(88, 0);
    EXPECT_EQ(osc.displayPicture()[0], audio::WaveDisplay::kBackground);

    host.editorOpen = true;
    for (int i = 0; i < 12; ++i)
        osc.process(88, 0);  // 1056 frames: one full buffer
    const std::uint32_t* picture = osc.displayPicture();
    // A level of 0.5 sits 128 rows above the middle.
    EXPECT_EQ(picture[(128 + 256) * 512 + 100], audio::WaveDisplay::kScopeColour);
    EXPECT_EQ(picture[100 * 512 + 100], audio::WaveDisplay::kBackground);
}

TEST_F(Spectrogram, TheSpectrumScrollsLeftWithBinsFromTheBottom) {
    audio::ParameterValue spectrum{1.f};
    osc.waveDisplay = &spectrum;
    audio::StereoBuffer final;
    host.editorOpen = true;
    osc.finalOutput = &final;
    for (int block = 0; block < 2; ++block)
        for (int chunk = 0; chunk < 4; ++chunk) {
            for (int f = 0; f < 256; ++f) {
                const int t = chunk * 256 + f;
                final.left(f) = static_cast<float>(0.01 * std::cos(2 * M_PI * 64 * t / 1024));
                final.right(f) = 0.f;
            }
            osc.process(256, 0);
        }
    const std::uint32_t* picture = osc.displayPicture();
    const std::uint32_t bin64 = picture[(511 - 64) * 512 + 511];
    // |bin 64| = 0.01 x 512 = 5.12, times 16, cut to 81.
    EXPECT_EQ(bin64, ((128u + 81 / 2) << 24) | (81u << 16) | (81u << 8));
    EXPECT_EQ(picture[(511 - 64) * 512 + 510], bin64);  // last buffer's column, scrolled
    EXPECT_EQ(picture[(511 - 64) * 512 + 509], audio::WaveDisplay::kBackground);
}

}  // namespace
