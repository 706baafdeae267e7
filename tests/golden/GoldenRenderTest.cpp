// Golden renders: a short phrase through each sound module on its own and
// through the whole instrument at each factory program, compared with the
// references in tests/golden (tolerance and the switch that rewrites them:
// GoldenFile.h). A module's case feeds it made-up inputs, so that it fails
// only when that module's sound changes; the instrument's cases fail when
// anything a user hears changes, the factory pictures and programs included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "instrument/Lumavox.h"
#include "modules/MoEffect.h"
#include "modules/MoEgAR.h"
#include "modules/MoSpectrogram.h"
#include "tests/golden/GoldenFile.h"
#include "tests/support/FakeModuleHost.h"
#include "tests/support/TestSynth.h"

namespace {

using testsupport::StereoSignal;

constexpr int kRate = 44100;
constexpr int kSubBlock = 88;  // 2 ms at 44.1 kHz: one control tick each, as in the instrument

int framesOf(double seconds) {
    return static_cast<int>(std::lround(seconds * kRate));
}

float pitchOf(int key) {
    return static_cast<float>(key) / 120.f + 0.003135971f;
}

// Why: every one of the six rebuild settings away from its neutral value
// (so the inverse FFT, the tuning, range, log mapping, fat phases, spike and
// filter all shape the tables), a picture with steady bands, a sweep and a
// noisy patch, a play position that walks the columns fast enough to wrap
// from the loop end to the loop start, grain crossfades at two pitches, a
// second voice entering with its own envelope ramp, and drive into the
// output clip.
TEST(GoldenModules, Oscillator) {
    testsupport::FakeModuleHost host;
    audio::MoSpectrogram osc{host};
    audio::ParameterValue tune{0.6f}, range{0.7f}, fat{0.4f}, spike{0.3f}, log{1.f}, filter{0.8f},
        tempo{1.f}, start{0.1f}, loopIn{0.2f}, loopOut{0.4f}, drive{0.1f};
    osc.tune = &tune;
    osc.range = &range;
    osc.fat = &fat;
    osc.spike = &spike;
    osc.log = &log;
    osc.filter = &filter;
    osc.tempo = &tempo;
    osc.start = &start;
    osc.loopIn = &loopIn;
    osc.loopOut = &loopOut;
    osc.drive = &drive;
    float pitch[audio::kVoices] = {}, trigger[audio::kVoices] = {}, envelope[audio::kVoices] = {};
    osc.pitch = pitch;
    osc.trigger = trigger;
    osc.envelope = envelope;
    {
        auto access = osc.pictures();
        std::uint32_t* p = access.current();
        std::fill_n(p, audio::kPicturePixels, 0u);
        auto at = [p](int soundRow, int column) -> std::uint32_t& {
            return p[(511 - soundRow) * 512 + column];
        };
        std::uint32_t noise = 12345;
        // Bands of eight rows: where rows share a partial only the lowest
        // row of them sounds, so a single painted row may be silent.
        for (int x = 0; x < 512; ++x) {
            for (int k = 0; k < 8; ++k) {
                at(16 + k, x) = 0x00FF0000u;   // left only
                at(60 + k, x) = 0x0000C000u;   // right only
                at(120 + k, x) = 0x00808080u;  // both
                at(150 + x / 4 + k, x) = (static_cast<std::uint32_t>(x / 2) << 16) | 0x4000u;
            }
            for (int row = 250; row < 300 && x >= 150 && x < 250; ++row) {
                noise = noise * 1664525u + 1013904223u;
                at(row, x) = noise & 0x00FFFF00u;
            }
        }
        access.rebuild();
    }
    pitch[7] = pitchOf(57);
    pitch[6] = pitchOf(64);
    host.active[7] = 1;
    trigger[7] = 1.f;
    envelope[7] = 1.f;
    StereoSignal render;
    const int total = framesOf(0.5);
    for (int done = 0; done < total; done += kSubBlock) {
        const double t = static_cast<double>(done) / kRate;
        if (t >= 0.2 && !host.active[6]) {
            host.active[6] = 1;
            trigger[6] = 1.f;
        }
        if (host.active[6]) envelope[6] = static_cast<float>(std::min(0.8, (t - 0.2) * 8.0));
        const int n = std::min(kSubBlock, total - done);
        osc.process(n, 1);
        trigger[6] = trigger[7] = 0.f;
        for (int f = 0; f < n; ++f) {
            render.left.push_back(osc.output.left(f));
            render.right.push_back(osc.output.right(f));
        }
    }
    EXPECT_TRUE(golden::matchesReference("oscillator", render));
}

// Why: an attack, a hold, a release, a key released during its attack and
// pressed again (the attack goes on from the decayed level), a release
// followed by a new note (the attack starts again from 0), two velocities,
// and a change of Attack and Release halfway. One sample per control tick:
// voice 0 on the left, voice 1 on the right.
TEST(GoldenModules, Envelope) {
    testsupport::FakeModuleHost host;
    audio::MoEgAR envelope{host};
    float gate[audio::kVoices] = {};
    audio::ParameterValue attack{0.5f}, release{0.3f};
    envelope.gate = gate;
    envelope.attack = &attack;
    envelope.release = &release;
    envelope.parameterChanged(0, 0.f);
    host.active[0] = host.active[1] = 1;
    StereoSignal render;
    render.sampleRate = 500;
    for (int tick = 0; tick < 400; ++tick) {
        gate[0] = tick < 100 || tick >= 180 ? 0.8f : 0.f;
        gate[1] = tick >= 20 && tick < 40 ? 1.f : tick >= 60 && tick < 250 ? 0.5f : 0.f;
        if (tick == 200) {
            attack.store(0.2f);
            release.store(0.6f);
            envelope.parameterChanged(0, 0.f);
        }
        envelope.process(kSubBlock, 1);
        render.left.push_back(envelope.levels()[0]);
        render.right.push_back(envelope.levels()[1]);
    }
    EXPECT_TRUE(golden::matchesReference("envelope", render));
}

// Why: bursts of two tones, alternating between the channels, through every
// stage at an audible setting: input clip and DC blocking, a delay of [1/8]
// at 120 BPM (its echoes and their feedback fall inside the phrase), the
// chorus, a long stereo reverb, then volume and an off-centre pan.
TEST(GoldenModules, Effects) {
    testsupport::FakeModuleHost host;
    host.base = 88200;  // one whole note at 120 BPM
    auto effects =
        std::make_unique<audio::MoEffect>(host);  // its lines are too large for the stack
    audio::MoEffect& fx = *effects;
    audio::StereoBuffer input;
    audio::ParameterValue delayTime{0.5f}, delayFeedback{0.5f}, delayLevel{0.4f}, chorusRate{0.5f},
        chorusLevel{0.5f}, reverbTime{0.7f}, reverbLevel{0.3f}, reverbStereo{0.8f}, volume{0.7f},
        pan{0.35f};
    fx.input = &input;
    fx.delayTime = &delayTime;
    fx.delayFeedback = &delayFeedback;
    fx.delayLevel = &delayLevel;
    fx.chorusRate = &chorusRate;
    fx.chorusLevel = &chorusLevel;
    fx.reverbTime = &reverbTime;
    fx.reverbLevel = &reverbLevel;
    fx.reverbStereo = &reverbStereo;
    fx.volume = &volume;
    fx.pan = &pan;
    fx.parameterChanged(0, 0.f);
    StereoSignal render;
    const int total = framesOf(1.0);
    for (int done = 0; done < total; done += kSubBlock) {
        const int n = std::min(kSubBlock, total - done);
        for (int f = 0; f < n; ++f) {
            const int t = done + f;
            const int burst = t / framesOf(0.25), into = t % framesOf(0.25);
            const double level = into < 3000 ? 0.6 * std::exp(-into / 600.0) : 0.0;
            const double hz = burst % 2 ? 495.0 : 330.0;
            const auto s =
                static_cast<float>(level * std::sin(2 * std::numbers::pi * hz * t / kRate));
            input.left(f) = burst % 2 ? 0.3f * s : s;
            input.right(f) = burst % 2 ? s : 0.3f * s;
        }
        fx.process(n, 1);
        for (int f = 0; f < n; ++f) {
            render.left.push_back(fx.output.left(f));
            render.right.push_back(fx.output.right(f));
        }
    }
    EXPECT_TRUE(golden::matchesReference("effects", render));
}

// The instrument hears an offline host (a bounce): whatever a host's change
// would leave to a worker happens at once, so the render is the same on every
// run. The host knows no tempo, so the delay follows 120 BPM.
VstIntPtr VSTCALLBACK offlineHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterGetCurrentProcessLevel:
            return 4;
        default:
            return 0;
    }
}

struct TimedEvent {
    double seconds;
    int status, data1, data2;
};

// Why: the same phrase at each factory program, since the programs differ
// in picture and settings (tempo, loop, effects) and each reference is what
// its program sounds like. The phrase holds a chord under a melody (several
// voices at once), bends a held note, holds released keys on the sustain
// pedal, moves Pan from its MIDI controller and lets everything go, so that
// releases and effect tails begin before its end.
const std::vector<TimedEvent>& phrase() {
    static const std::vector<TimedEvent> events = [] {
        std::vector<TimedEvent> e = {
            {0.00, 0x90, 48, 100}, {0.00, 0x90, 55, 90},  {0.10, 0x90, 64, 110},
            {0.25, 0x80, 64, 0},   {0.25, 0x90, 67, 100}, {0.45, 0xB0, 64, 127},
            {0.50, 0x80, 48, 0},   {0.50, 0x80, 55, 0},   {0.50, 0x80, 67, 0},
            {0.55, 0xE0, 0, 64},   {0.60, 0x90, 72, 80},  {0.68, 0x80, 72, 0},
            {0.70, 0xB0, 10, 30},  {0.75, 0xB0, 64, 0}};
        for (int k = 0; k < 6; ++k) {  // a bend up over 0.15 s
            const int bend = 8192 + 682 * (k + 1);
            e.push_back({0.30 + 0.025 * k, 0xE0, bend & 0x7F, bend >> 7});
        }
        std::stable_sort(e.begin(), e.end(), [](const TimedEvent& a, const TimedEvent& b) {
            return a.seconds < b.seconds;
        });
        return e;
    }();
    return events;
}

class GoldenInstrument : public testing::TestWithParam<int> {};

TEST_P(GoldenInstrument, FactoryProgramPlaysThePhrase) {
    auto synth = std::make_unique<lumavox::Lumavox>(offlineHost);
    synth->dispatcher(effSetProgram, 0, GetParam(), nullptr, 0.f);
    synth->dispatcher(effMainsChanged, 0, 1, nullptr, 0.f);
    constexpr int kHostBlock = 512;
    const int total = framesOf(1.0);
    StereoSignal render;
    render.left.resize(static_cast<std::size_t>(total));
    render.right.resize(render.left.size());
    for (int done = 0; done < total; done += kHostBlock) {
        const int n = std::min(kHostBlock, total - done);
        testsupport::EventList events;
        for (const TimedEvent& e : phrase()) {
            const int at = framesOf(e.seconds);
            if (at >= done && at < done + n)
                events.add(testsupport::midiEvent(at - done, e.status, e.data1, e.data2));
        }
        synth->processEvents(events.get());
        float* out[2] = {render.left.data() + done, render.right.data() + done};
        synth->processReplacing(nullptr, out, n);
    }
    EXPECT_TRUE(
        golden::matchesReference("instrument-program-" + std::to_string(GetParam()), render));
}

INSTANTIATE_TEST_SUITE_P(FactoryPrograms, GoldenInstrument, testing::Range(0, 4));

}  // namespace
