// Parameter entries and programs of the framework, checked on the instrument
// itself (whose table the framework is built from).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "instrument/Lumavox.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestSynth.h"

namespace {

using lumavox::Lumavox;
using testsupport::MessageRecorder;

// Records every parameter change the modules are told of.
class ChangeProbe : public audio::Module {
  public:
    explicit ChangeProbe(audio::ModuleHost& host) : Module(host) {}
    void parameterChanged(int index, float value) override { changes.push_back({index, value}); }
    void programChanged(int program) override { events.push_back(100 + program); }
    void setProgramLoading(int loading) override { events.push_back(loading); }
    std::vector<std::pair<int, float>> changes;
    std::vector<int> events;
};

class SynthCoreParameters : public testing::Test {
  protected:
    int index(const char* name) { return synth.parameterIndex(name); }
    float value(const char* name) { return synth.getParameter(index(name)); }
    testsupport::TestSynth synth;
};

TEST_F(SynthCoreParameters, EntriesStartAtTheirDefaults) {
    EXPECT_FLOAT_EQ(synth.entry(index("PenSiz")).value, 0.5f);
    EXPECT_EQ(synth.entry(index("Densit")).value, 1.f);
    // 0.167 lies between the twelve steps; selecting a program steps it.
    EXPECT_EQ(value("BndRng"), 2.f / 12.f);
    EXPECT_EQ(synth.entry(index("BndRng")).defaultValue, 0.167f);
    EXPECT_STREQ(synth.entry(index("Volume")).label, "");
}

TEST_F(SynthCoreParameters, StepsTruncateInSinglePrecision) {
    synth.setParameter(index("Volume"), 0.999f);
    EXPECT_EQ(value("Volume"), 99.f / 100.f);
    synth.setParameter(index("BndRng"), 0.167f);
    EXPECT_EQ(value("BndRng"), 2.f / 12.f);
    // A stepped value stays where it is when stepped again (the float
    // product 100 x 0.53 falls just under 53).
    for (int k = 0; k <= 100; ++k) {
        const float stepped = static_cast<float>(k) / 100.f;
        synth.setParameter(index("Volume"), stepped);
        ASSERT_EQ(value("Volume"), stepped) << k;
    }
    synth.setParameter(index("Pan"), NAN);
    EXPECT_EQ(value("Pan"), 0.f);
}

TEST_F(SynthCoreParameters, EditorOnlyEntriesNeverReachAProgram) {
    ChangeProbe probe(synth);
    const float before = synth.program(0).values[0];
    synth.setParameter(index("PenSiz"), 0.7f);
    EXPECT_FLOAT_EQ(value("PenSiz"), 0.7f);
    ASSERT_EQ(probe.changes.size(), 1u);
    EXPECT_EQ(probe.changes[0].first, index("PenSiz"));
    EXPECT_EQ(synth.program(0).values[0].load(), before);
}

TEST_F(SynthCoreParameters, EveryChangeIsAnnouncedClampedToTheModules) {
    ChangeProbe probe(synth);
    synth.setParameter(index("Volume"), 1.7f);
    ASSERT_EQ(probe.changes.size(), 1u);
    EXPECT_EQ(probe.changes[0], std::make_pair(0, 1.f));
    EXPECT_EQ(synth.program(synth.getProgram()).values[0], 1.f);
}

std::vector<std::pair<int, float>> gAutomated;
VstIntPtr VSTCALLBACK recordAutomation(AEffect*, VstInt32 op, VstInt32 i, VstIntPtr, void*,
                                       float opt) {
    if (op == audioMasterAutomate) gAutomated.push_back({i, opt});
    return op == audioMasterVersion ? 2400 : 0;
}

TEST_F(SynthCoreParameters, AutomationTellsTheHostTheCallersValue) {
    gAutomated.clear();
    Lumavox hosted(&recordAutomation);
    hosted.setParameterAutomated(0, 1.7f);
    hosted.setParameterAutomated(30, 0.25f);  // editor-only entries too
    ASSERT_EQ(gAutomated.size(), 2u);
    EXPECT_EQ(gAutomated[0], std::make_pair(0, 1.7f));
    EXPECT_EQ(hosted.getParameter(0), 1.f);
    EXPECT_EQ(gAutomated[1], std::make_pair(30, 0.25f));
}

TEST_F(SynthCoreParameters, FindParameterIgnoresCaseAndTellsTheUserOfMissingNames) {
    MessageRecorder boxes;
    EXPECT_EQ(synth.findParameter("volume"), 0);
    EXPECT_EQ(synth.findParameter("REVSTEREO"), index("RevStereo"));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(synth.findParameter("Foo"), -1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Foo");
    EXPECT_EQ(boxes.boxes[0].caption, "NotFound");
    EXPECT_EQ(boxes.boxes[0].buttons, platform::MessageButtons::Ok);
    // A binding to a missing name reads a shared zero.
    EXPECT_EQ(synth.bindParameter("Nothing")->load(), 0.f);
    EXPECT_EQ(synth.bindParameter("Tune"), &synth.entry(index("Tune")).value);
}

TEST_F(SynthCoreParameters, SelectingAProgramPushesItsValuesBetweenLoadingBrackets) {
    ChangeProbe probe(synth);
    synth.program(2).values[0] = 3.f;  // as a chunk may leave it
    synth.setProgram(2);
    ASSERT_EQ(probe.events, (std::vector<int>{1, 102, 0}));
    ASSERT_EQ(probe.changes.size(), 27u);
    for (int i = 0; i < 27; ++i)
        EXPECT_EQ(probe.changes[i].first, i);
    EXPECT_EQ(synth.program(2).values[0], 1.f);  // clamped back into the record
    EXPECT_EQ(value("Volume"), 1.f);
}

}  // namespace
