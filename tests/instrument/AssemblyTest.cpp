// The instrument's wiring: modules in chain order, every input bound to
// what it must read.
#include <gtest/gtest.h>

#include <vector>

#include "instrument/Lumavox.h"
#include "instrument/ParameterTable.h"
#include "tests/support/MessageRecorder.h"

namespace {

using lumavox::Lumavox;

TEST(Assembly, ModulesRunOscillatorEnvelopeEffects) {
    Lumavox synth(nullptr);
    ASSERT_EQ(synth.modules().size(), 3);
    EXPECT_EQ(&synth.modules().at(0), &synth.spectrogram());
    EXPECT_EQ(&synth.modules().at(1), &synth.envelope());
    EXPECT_EQ(&synth.modules().at(2), &synth.effect());
    EXPECT_EQ(synth.modules().chainOutput, &synth.effect().output);
}

TEST(Assembly, ANewInstanceIsReadyAt44100Hz) {
    Lumavox synth(nullptr);
    EXPECT_EQ(synth.sampleRateHz(), 44100);
    EXPECT_EQ(synth.maxSubBlock(), 88);
    EXPECT_EQ(synth.getProgram(), 0);
    for (int m = 0; m < synth.modules().size(); ++m)
        EXPECT_EQ(synth.modules().at(m).getSampleRate(), 44100);
}

TEST(Assembly, EveryInputReadsItsParameterOrItsSource) {
    Lumavox synth(nullptr);
    auto value = [&](const char* name) { return &synth.entry(synth.parameterIndex(name)).value; };
    const audio::MoSpectrogram& s = synth.spectrogram();
    const std::pair<audio::ValueInput, const char*> oscillator[] = {
        {s.start, "Start"},        {s.tempo, "Tempo"},    {s.range, "Range"},
        {s.tune, "Tune"},          {s.fat, "Fat"},        {s.spike, "Spike"},
        {s.tool, "Tool"},          {s.penSize, "PenSiz"}, {s.density, "Densit"},
        {s.waveDisplay, "WavDsp"}, {s.log, "Log"},        {s.drive, "Drive"},
        {s.help, "Help"},          {s.color, "Color"},    {s.loopIn, "LoopIn"},
        {s.loopOut, "LoopOut"},    {s.filter, "Filter"}};
    for (auto [input, name] : oscillator)
        EXPECT_EQ(input, value(name)) << name;
    EXPECT_EQ(s.pitch, synth.voices().outputPitch);
    EXPECT_EQ(s.trigger, synth.voices().trigger);
    EXPECT_EQ(s.envelope, synth.envelope().levels());
    EXPECT_EQ(s.finalOutput, &synth.effect().output);

    const audio::MoEgAR& e = synth.envelope();
    EXPECT_EQ(e.gate, synth.voices().heldLevel);
    EXPECT_EQ(e.attack, value("Attack"));
    EXPECT_EQ(e.release, value("Release"));

    const audio::MoEffect& fx = synth.effect();
    const std::pair<audio::ValueInput, const char*> effects[] = {{fx.chorusRate, "ChrsRat"},
                                                                 {fx.chorusLevel, "ChrsLv"},
                                                                 {fx.delayTime, "DlyTime"},
                                                                 {fx.delayFeedback, "DlyFbk"},
                                                                 {fx.delayLevel, "DlyLv"},
                                                                 {fx.volume, "Volume"},
                                                                 {fx.pan, "Pan"},
                                                                 {fx.reverbTime, "RevTime"},
                                                                 {fx.reverbLevel, "RevLevel"},
                                                                 {fx.reverbStereo, "RevStereo"}};
    for (auto [input, name] : effects)
        EXPECT_EQ(input, value(name)) << name;
    EXPECT_EQ(fx.input, &s.output);

    EXPECT_EQ(synth.voices().glide, value("Glide"));
    EXPECT_EQ(synth.voices().mono, value("Mono"));
    EXPECT_EQ(synth.voices().bendRange, value("BndRng"));
    EXPECT_EQ(synth.voices().envelopeLevel, synth.envelope().levels());
}

TEST(Assembly, AttackReachesTheEnvelopeAtOnce) {
    Lumavox synth(nullptr);
    synth.setParameter(synth.parameterIndex("Attack"), 0.5f);
    EXPECT_EQ(synth.envelope().attackTicks(), 64);
}

TEST(Assembly, AMissingNameIsReportedAndReadsZero) {
    std::vector<synth::ParameterDefinition> table(lumavox::kParameterTable,
                                                  lumavox::kParameterTable + 38);
    table[6].name = "Overdrive";  // was Drive
    testsupport::MessageRecorder boxes;
    Lumavox synth(nullptr, table.data());
    // The binding tells first; the factory bank's Drive values are then
    // unknown keys too, told of a few times at most.
    ASSERT_GE(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Drive");
    EXPECT_EQ(boxes.boxes[0].caption, "NotFound");
    EXPECT_LE(boxes.boxes.size(), 1u + Lumavox::kMaxNotFoundBoxes);
    EXPECT_EQ(synth.spectrogram().drive, &audio::silent::missingParameter);
    synth.setParameter(6, 1.f);
    EXPECT_EQ(synth.spectrogram().drive->load(), 0.f);
}

TEST(Assembly, AProgramChangeRebuildsOnceAfterAllItsValues) {
    Lumavox synth(nullptr);
    synth.program(1).values[synth.parameterIndex("Tune")] = 0.7f;
    synth.program(1).values[synth.parameterIndex("Range")] = 0.2f;
    const int before = synth.spectrogram().rebuildCount();
    synth.setProgram(1);
    EXPECT_EQ(synth.spectrogram().rebuildCount(), before + 1);
    EXPECT_FLOAT_EQ(synth.spectrogram().latestTables().rowScale, 0.2f * 0.9f + 0.05f);
}

}  // namespace
