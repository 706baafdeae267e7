// The block loop: how host blocks are cut, when control ticks fall due, when
// events take effect, and what reaches the host's buffers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/DenormalGuard.h"
#include "tests/support/TestSynth.h"

namespace {

using testsupport::EventList;
using testsupport::midiEvent;
using testsupport::TestSynth;

// Records each sub-block it is asked to render and whether voice 7 (the
// first one a note takes) was active at its start; writes a constant.
class ProbeModule : public audio::Module {
  public:
    explicit ProbeModule(audio::ModuleHost& host) : Module(host) {}
    void process(int frames, int ticks) noexcept override {
        calls.push_back({frames, ticks, owner.voiceActive()[7], owner.delayBase()});
        for (int i = 0; i < frames; ++i)
            out.left(i) = out.right(i) = level;
    }
    struct Call {
        int frames, ticks, voiceActive, delayBase;
    };
    std::vector<Call> calls;
    audio::StereoBuffer out;
    float level = 0.f;
};

class BlockLoop : public testing::Test {
  protected:
    void SetUp() override { synth.modules().chainOutput = &probe.out; }
    std::vector<int> lengths() const {
        std::vector<int> l;
        for (auto& c : probe.calls)
            l.push_back(c.frames);
        return l;
    }
    int ticks() const {
        int n = 0;
        for (auto& c : probe.calls)
            n += c.ticks;
        return n;
    }
    TestSynth synth;
    ProbeModule probe{synth};
};

TEST_F(BlockLoop, SubBlocksAreAtMostTwoMillisecondsAndAt256Frames) {
    const struct {
        float rate;
        int length;
    } cases[] = {{44100, 88}, {48000, 96}, {96000, 192}, {192000, 256}};
    for (auto c : cases) {
        synth.setSampleRate(c.rate);
        EXPECT_EQ(synth.maxSubBlock(), c.length) << c.rate;
    }
    synth.setSampleRate(44100);
    EXPECT_EQ(synth.controlPeriod(), 22579);
    synth.render(512);
    EXPECT_EQ(lengths(), (std::vector<int>{88, 88, 88, 88, 88, 72}));
    probe.calls.clear();
    synth.render(200, 200);
    EXPECT_EQ(lengths(), (std::vector<int>{88, 88, 24}));
}

TEST_F(BlockLoop, NoTickRightAfterTheSampleRateIsSet) {
    synth.setSampleRate(44100);
    synth.render(88 * 3, 88);
    ASSERT_EQ(probe.calls.size(), 3u);
    EXPECT_EQ(probe.calls[0].ticks, 0);
    EXPECT_EQ(probe.calls[1].ticks, 0);
    EXPECT_EQ(probe.calls[2].ticks, 1);

    probe.calls.clear();
    synth.setSampleRate(48000);
    synth.render(96 * 4, 96);
    EXPECT_EQ(probe.calls[0].ticks, 0);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(probe.calls[i].ticks, 1);
}

TEST_F(BlockLoop, OneTickPerTwoMillisecondsWhateverTheHostBlocks) {
    for (float rate : {44100.f, 48000.f, 96000.f, 192000.f}) {
        for (int block : {1, 37, 511, 4096}) {
            probe.calls.clear();
            synth.setSampleRate(rate);
            const int seconds = 3;
            synth.render(static_cast<int>(rate) * seconds, block);
            // 500 ticks per second, give or take the tick in flight.
            EXPECT_NEAR(ticks(), 500 * seconds, 1) << rate << " Hz, blocks of " << block;
            for (auto& c : probe.calls)
                ASSERT_LE(c.ticks, 1);
        }
    }
}

TEST_F(BlockLoop, EventsTakeEffectAtTheEndOfTheirSubBlock) {
    synth.setSampleRate(44100);
    EventList events;
    events.add(midiEvent(100, 0x90, 60, 100));
    synth.processEvents(events.get());
    synth.render(512);
    // Applied after the second sub-block, 176 frames in: the third sees it.
    ASSERT_EQ(probe.calls.size(), 6u);
    EXPECT_EQ(probe.calls[1].voiceActive, 0);
    EXPECT_EQ(probe.calls[2].voiceActive, 1);
}

TEST_F(BlockLoop, QueuedEventsWaitAcrossBlocksWithoutNewEvents) {
    synth.setSampleRate(44100);
    EventList events;
    events.add(midiEvent(700, 0x90, 60, 100));  // beyond this 512-frame block
    synth.processEvents(events.get());
    synth.render(512);
    EXPECT_EQ(synth.pendingEvents(), 1);
    synth.render(512);  // no processEvents in between: the count goes on
    EXPECT_EQ(synth.pendingEvents(), 0);
    EXPECT_EQ(synth.voices().note[7], 60);
}

TEST_F(BlockLoop, OutputPassesTheSoftClip) {
    const struct {
        float in, out;
    } cases[] = {{2.f, 1.f}, {-3.f, -1.f}, {1.f, 0.85f}, {0.5f, 0.48125f}, {0.f, 0.f}};
    for (auto c : cases) {
        probe.level = c.in;
        std::vector<float> left, right;
        synth.renderInto(left, right, 10);
        EXPECT_FLOAT_EQ(left[9], c.out);
        EXPECT_FLOAT_EQ(right[9], c.out);
    }
}

TEST_F(BlockLoop, SilentWithoutAnyModuleOutput) {
    synth.modules().chainOutput = &audio::silent::buffer;
    probe.level = 1.f;
    std::vector<float> left, right;
    synth.renderInto(left, right, 300);
    for (float v : left)
        ASSERT_EQ(v, 0.f);
}

// --- Host input the loop must survive ---

struct TimeHost {
    static VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 op, VstInt32, VstIntPtr filter, void*,
                                          float) {
        if (op == audioMasterVersion) return 2400;
        if (op != audioMasterGetTime) return 0;
        ++requests;
        lastFilter = filter;
        return answer ? reinterpret_cast<VstIntPtr>(&info) : 0;
    }
    static inline VstTimeInfo info{};
    static inline bool answer = false;
    static inline int requests = 0;
    static inline VstIntPtr lastFilter = 0;
};

class HostTime : public testing::Test {
  protected:
    void SetUp() override {
        TimeHost::answer = false;
        TimeHost::requests = 0;
        synth.modules().chainOutput = &probe.out;
        synth.setSampleRate(44100);
    }
    int delayBaseWithTempo(double tempo, VstInt32 flags = kVstTempoValid | kVstPpqPosValid) {
        TimeHost::answer = true;
        TimeHost::info.tempo = tempo;
        TimeHost::info.flags = flags;
        synth.render(1);
        return probe.calls.back().delayBase;
    }
    TestSynth synth{&TimeHost::callback};
    ProbeModule probe{synth};
};

TEST_F(HostTime, AskedOncePerSubBlockAndNeverForZeroFrames) {
    synth.render(0);
    EXPECT_EQ(TimeHost::requests, 0);
    synth.render(512);
    EXPECT_EQ(TimeHost::requests, 6);
    EXPECT_EQ(TimeHost::lastFilter, kVstPpqPosValid | kVstTempoValid);
}

TEST_F(HostTime, DelayBaseIsAWholeNoteAtTheHostsTempo) {
    synth.render(1);
    EXPECT_EQ(probe.calls.back().delayBase, 88200);  // no time info: 120 BPM
    EXPECT_EQ(delayBaseWithTempo(120), 88200);
    EXPECT_EQ(delayBaseWithTempo(60), 176400);
    EXPECT_EQ(delayBaseWithTempo(140), 75600);
    EXPECT_EQ(delayBaseWithTempo(60, 0), 88200);  // the host says its tempo is not valid
}

TEST_F(HostTime, UnusableTempoKeepsTheDelayInsideItsLine) {
    for (double tempo : {0.0, -120.0, std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_EQ(delayBaseWithTempo(tempo), 88200) << tempo;
    EXPECT_EQ(delayBaseWithTempo(1e-9), synth::kMaxDelayBase);
    EXPECT_EQ(delayBaseWithTempo(1e12), 0);
}

TEST(SampleRate, NonsenseRatesAreIgnoredAndExtremeOnesHeld) {
    TestSynth synth;
    synth.setSampleRate(48000);
    for (float rate : {0.f, -44100.f, std::nanf(""), std::numeric_limits<float>::infinity()}) {
        synth.setSampleRate(rate);
        EXPECT_EQ(synth.sampleRateHz(), 48000) << rate;
    }
    synth.setSampleRate(1e9f);
    EXPECT_EQ(synth.sampleRateHz(), 768000);
    EXPECT_EQ(synth.maxSubBlock(), 256);
    synth.setSampleRate(100.f);
    EXPECT_EQ(synth.sampleRateHz(), 1000);
    EXPECT_GE(synth.maxSubBlock(), 1);
    synth.render(1000);  // still terminates
}

TEST(HostBuffers, MissingBuffersAndNegativeCountsRenderNothing) {
    TestSynth synth;
    ProbeModule probe(synth);
    float left[8], right[8];
    float* outputs[2] = {left, right};
    float* halfOutputs[2] = {left, nullptr};
    synth.processReplacing(nullptr, nullptr, 8);
    synth.processReplacing(nullptr, halfOutputs, 8);
    synth.processReplacing(nullptr, outputs, -5);
    EXPECT_TRUE(probe.calls.empty());

    EXPECT_EQ(synth.processEvents(nullptr), 1);
    VstEvents negative{};
    negative.numEvents = -3;
    EXPECT_EQ(synth.processEvents(&negative), 1);
    VstEvents holes{};
    holes.numEvents = 2;  // both pointers null
    EXPECT_EQ(synth.processEvents(&holes), 1);
    EXPECT_EQ(synth.pendingEvents(), 0);
}

TEST(EventQueue, KeepsTheFirst600EventsOfACallAndOnlyMidi) {
    TestSynth synth;
    EventList events;
    VstMidiEvent sysex = midiEvent(0, 0xF0);
    sysex.type = kVstSysExType;
    events.add(sysex);
    for (int i = 0; i < 700; ++i)
        events.add(midiEvent(0, 0xB0, 20, 0));
    synth.processEvents(events.get());
    EXPECT_EQ(synth.pendingEvents(), 600);
}

// Halves its state every sample from a small number: without flushing, the
// values pass through the denormal range before reaching zero.
class DecayModule : public audio::Module {
  public:
    explicit DecayModule(audio::ModuleHost& host) : Module(host) {}
    void process(int frames, int) noexcept override {
        for (int i = 0; i < frames; ++i) {
            state = state * 0.5f;
            if (std::fpclassify(state) == FP_SUBNORMAL) ++denormals;
            out.left(i) = out.right(i) = state;
        }
    }
    volatile float state = 1e-30f;  // volatile: the loop must really compute
    int denormals = 0;
    audio::StereoBuffer out;
};

TEST(Denormals, FlushedWhileTheModulesRunThenRestored) {
    TestSynth synth;
    DecayModule decay(synth);
    synth.modules().chainOutput = &decay.out;
#ifdef LUMAVOX_HAVE_MXCSR
    const unsigned before = _mm_getcsr();
#endif
    synth.render(1000);
    EXPECT_EQ(decay.denormals, 0);
    EXPECT_EQ(decay.state, 0.f);
#ifdef LUMAVOX_HAVE_MXCSR
    EXPECT_EQ(_mm_getcsr(), before);  // the host's own setting comes back
#endif
}

}  // namespace
