// MIDI from the host to the eight voices: allocation, stealing, mono legato,
// sustain, bend and the controllers that reach parameters.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/TestSynth.h"

namespace {

using synth::VoiceManager;
using testsupport::EventList;
using testsupport::midiEvent;
using testsupport::TestSynth;

class Voices : public testing::Test {
  protected:
    // Applies events at once (a processEvents call applies what it queued
    // at the next one).
    void send(std::initializer_list<VstMidiEvent> list) {
        EventList events;
        for (const auto& e : list)
            events.add(e);
        synth.processEvents(events.get());
        synth.processEvents(nullptr);
    }
    void noteOn(int key, int velocity = 100) { send({midiEvent(0, 0x90, key, velocity)}); }
    void noteOff(int key) { send({midiEvent(0, 0x80, key, 0)}); }
    float param(const char* name) { return synth.getParameter(synth.parameterIndex(name)); }
    VoiceManager& v() { return synth.voices(); }
    void SetUp() override { v().envelopeLevel = sounding; }

    TestSynth synth;
    const float sounding[8] = {1, 1, 1, 1, 1, 1, 1, 1};  // no envelope has ended
};

TEST_F(Voices, PitchValuesOfKeys) {
    EXPECT_FLOAT_EQ(synth::pitchOfKey(60), 0.503136f);
    EXPECT_EQ(synth::pitchOfKey(127), 1.f);
    EXPECT_FLOAT_EQ(synth::pitchOfKey(0), 0.003135971f);
}

TEST_F(Voices, NotesTakeTheHighestFreeVoiceAndVelocityZeroReleases) {
    noteOn(60, 127);
    EXPECT_EQ(v().active[7], 1);
    EXPECT_EQ(v().note[7], 60);
    EXPECT_FLOAT_EQ(v().gate[7], 1.f);
    EXPECT_EQ(v().trigger[7], 1.f);
    noteOn(62);
    EXPECT_EQ(v().note[6], 62);
    send({midiEvent(0, 0x93, 60, 0)});  // any channel; velocity 0 is a note-off
    EXPECT_EQ(v().gate[7], 0.f);
    EXPECT_EQ(v().heldLevel[7], 0.f);
    EXPECT_EQ(v().active[7], 1);  // still sounding until its envelope ends
}

TEST_F(Voices, HeldNotesAreNeverStolen) {
    for (int k = 0; k < 9; ++k)
        noteOn(60 + k);
    for (int i = 0; i < 8; ++i)
        EXPECT_NE(v().note[i], 68) << i;  // the ninth is dropped
    noteOff(63);                          // voice 4
    noteOn(70);
    EXPECT_EQ(v().note[4], 70);
}

TEST_F(Voices, TheVoiceReleasedFirstIsReusedFirst) {
    for (int k = 0; k < 8; ++k)
        noteOn(60 + k);  // voice 7 - k plays 60 + k
    noteOff(62);         // voice 5
    noteOff(65);         // voice 2
    EXPECT_EQ(v().age[5], 1);
    EXPECT_EQ(v().age[2], 0);
    noteOn(80);
    EXPECT_EQ(v().note[5], 80);
    noteOn(81);
    EXPECT_EQ(v().note[2], 81);
}

TEST_F(Voices, SustainHoldsTheLevelOfReleasedKeys) {
    send({midiEvent(0, 0xB0, 64, 127)});
    noteOn(60, 127);
    noteOff(60);
    EXPECT_EQ(v().gate[7], 0.f);
    EXPECT_FLOAT_EQ(v().heldLevel[7], 1.f);
    noteOn(64, 127);  // still down when the pedal lifts
    send({midiEvent(0, 0xB0, 64, 0)});
    EXPECT_EQ(v().heldLevel[7], 0.f);
    EXPECT_FLOAT_EQ(v().heldLevel[6], 1.f);
}

TEST_F(Voices, MonoModePlaysVoiceZeroLegato) {
    synth.setParameter(synth.parameterIndex("Mono"), 1.f);
    noteOn(60);
    EXPECT_EQ(v().monoMode, 1);
    EXPECT_EQ(v().active[0], 1);
    v().controlStep();
    EXPECT_FLOAT_EQ(v().currentPitch[0], synth::pitchOfKey(60));
    noteOn(67);
    noteOff(60);  // not the key voice 0 plays now
    EXPECT_EQ(v().note[0], 67);
    EXPECT_GT(v().gate[0], 0.f);
    // Glide starts from the previous note.
    synth.setParameter(synth.parameterIndex("Glide"), 0.5f);
    v().controlStep();
    EXPECT_GT(v().currentPitch[0], synth::pitchOfKey(60));
    EXPECT_LT(v().currentPitch[0], synth::pitchOfKey(67));
    noteOff(67);
    EXPECT_EQ(v().gate[0], 0.f);
    for (int i = 1; i < 8; ++i)
        EXPECT_EQ(v().active[i], 0);
}

TEST_F(Voices, GlideCoversItsFractionPerTick) {
    noteOn(60);
    v().controlStep();  // Glide 0: there at once
    EXPECT_FLOAT_EQ(v().outputPitch[7], synth::pitchOfKey(60));
    // Glide 1: a thousandth of the way per tick, from where the voice was.
    synth.setParameter(synth.parameterIndex("Glide"), 1.f);
    noteOn(72);  // voice 6, which last sat at pitch 0
    v().controlStep();
    EXPECT_NEAR(v().currentPitch[6], synth::pitchOfKey(72) / 1000.f, 1e-6f);
}

TEST_F(Voices, BendReachesTheRangeInSemitones) {
    synth.setParameter(synth.parameterIndex("BndRng"), 1.f);
    send({midiEvent(0, 0xE0, 0x00, 0x40)});
    EXPECT_EQ(v().bendOffset, 0.f);
    send({midiEvent(0, 0xE0, 0x7F, 0x7F)});
    EXPECT_FLOAT_EQ(v().bendOffset, 0.09998779f);
    send({midiEvent(0, 0xE0, 0, 0)});
    EXPECT_FLOAT_EQ(v().bendOffset, -0.1f);
    noteOn(60);
    v().controlStep();
    EXPECT_FLOAT_EQ(v().outputPitch[7], synth::pitchOfKey(60) - 0.1f);
}

TEST_F(Voices, ControllersMoveTheirParametersAndResetVoices) {
    send({midiEvent(0, 0xB5, 7, 127)});
    EXPECT_EQ(param("Volume"), 1.f);
    send({midiEvent(0, 0xB0, 10, 64)});
    EXPECT_FLOAT_EQ(param("Pan"), std::trunc(100.f * (64.f / 127.f)) / 100.f);
    send({midiEvent(0, 0xB0, 92, 127)});  // one controller, three parameters
    EXPECT_EQ(param("LoopIn"), 1.f);
    EXPECT_EQ(param("LoopOut"), 1.f);
    EXPECT_EQ(param("Filter"), 1.f);
    const float volume = param("Volume");
    send({midiEvent(0, 0xB0, 0, 0)});  // controller 0 moves nothing
    EXPECT_EQ(param("Volume"), volume);

    noteOn(60);
    v().controlStep();
    for (int reset : {123, 126}) {
        send({midiEvent(0, 0xB0, reset, 0)});
        EXPECT_EQ(v().currentPitch[7], 0.f);
        EXPECT_EQ(v().targetPitch[7], 0.f);
        EXPECT_EQ(v().active[7], 1);  // gates and levels stay
        noteOn(60);
    }
}

TEST_F(Voices, ProgramChangesAndPressureAreIgnored) {
    synth.setProgram(1);
    send({midiEvent(0, 0xC0, 3), midiEvent(0, 0xD0, 50), midiEvent(0, 0xA0, 60, 50)});
    EXPECT_EQ(synth.getProgram(), 1);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(v().active[i], 0);
}

TEST_F(Voices, AVoiceIsFreedOnceItsEnvelopeIsExactlyZero) {
    float level[8] = {0, 0, 0, 0, 0, 0, 0, 0.5f};
    v().envelopeLevel = level;
    noteOn(60);
    v().controlStep();
    EXPECT_EQ(v().active[7], 1);
    EXPECT_EQ(v().trigger[7], 0.f);
    level[7] = 0.f;
    v().controlStep();
    EXPECT_EQ(v().active[7], 0);
}

}  // namespace
