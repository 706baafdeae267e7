// What a host sees of the built plug-in: its identity, its answers to every
// request it knows, and neutral answers to everything else.
#include <cstring>
#include <string>
#include <vector>

#include "tests/host/PluginFixture.h"

namespace hosttest {
namespace {

using HostInterface = PluginFixture;

TEST(EntryPoint, RefusesAHostThatGivesNoVersion) {
    std::string error;
    auto library = vsthost::PluginLibrary::open(pluginPath(), &error);
    ASSERT_TRUE(library) << error;
    ScriptedHost host;
    host.versionAnswer = 0;
    EXPECT_EQ(vsthost::PluginInstance::create(library->entryPoint(), host, &error), nullptr);
    // Both exported names reach the same entry point.
    EXPECT_EQ(library->symbol("VSTPluginMain"), library->symbol("main"));
}

TEST_F(HostInterface, RecordDescribesAStereoSynthWithChunks) {
    const AEffect& e = *effect();
    EXPECT_EQ(e.magic, kEffectMagic);
    EXPECT_EQ(e.numPrograms, 4);
    EXPECT_EQ(e.numParams, 27);
    EXPECT_EQ(e.numInputs, 0);
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.flags, 0x131);
    EXPECT_EQ(e.flags,
              effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth);
    EXPECT_EQ(e.uniqueID, 0x4C4D5658);
    EXPECT_EQ(e.version, 1);
    EXPECT_EQ(e.initialDelay, 0);
    EXPECT_NE(e.processReplacing, nullptr);
    EXPECT_EQ(e.processDoubleReplacing, nullptr);
}

TEST_F(HostInterface, AnswersIdentityRequests) {
    EXPECT_EQ(plugin->stringOf(effGetEffectName), "Lumavox");
    EXPECT_EQ(plugin->stringOf(effGetProductString), "Lumavox");
    EXPECT_EQ(plugin->stringOf(effGetVendorString), "Orvane");
    char name[64];
    EXPECT_EQ(dispatch(effGetEffectName, 0, 0, name), 1);
    EXPECT_EQ(dispatch(effGetVendorVersion), 1000);
    EXPECT_EQ(dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(dispatch(effGetPlugCategory), kPlugCategSynth);
    EXPECT_EQ(dispatch(effCanBeAutomated, 5), 1);
    EXPECT_EQ(dispatch(effGetTailSize), 0);
    VstPinProperties pin{};
    EXPECT_EQ(dispatch(effGetInputProperties, 0, 0, &pin), 0);
}

TEST_F(HostInterface, CanDoComparesTheWholeStringCaseSensitively) {
    auto canDo = [&](const char* what) {
        return dispatch(effCanDo, 0, 0, const_cast<char*>(what));
    };
    EXPECT_EQ(canDo("receiveVstEvents"), 1);
    EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
    EXPECT_EQ(canDo("midiProgramNames"), 1);
    EXPECT_EQ(canDo("sendVstMidiEvent"), -1);
    EXPECT_EQ(canDo("ReceiveVstEvents"), -1);
    EXPECT_EQ(canDo("receiveVstEventsX"), -1);
    EXPECT_EQ(canDo(""), -1);
    EXPECT_EQ(dispatch(effCanDo, 0, 0, nullptr), -1);
}

TEST_F(HostInterface, OutputPinsAreLabelledStereoPairs) {
    VstPinProperties pin;
    std::memset(&pin, 0x55, sizeof pin);
    ASSERT_EQ(dispatch(effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Lumavox1");
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    EXPECT_EQ(static_cast<unsigned char>(pin.shortLabel[0]), 0x55);  // untouched
    ASSERT_EQ(dispatch(effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Lumavox2");
    EXPECT_EQ(dispatch(effGetOutputProperties, 2, 0, &pin), 0);
    EXPECT_EQ(dispatch(effGetOutputProperties, -1, 0, &pin), 0);
}

TEST_F(HostInterface, MidiProgramsAreOneBasicProgramPerChannel) {
    MidiProgramName p{};
    p.thisProgramIndex = 5;
    ASSERT_EQ(dispatch(effGetMidiProgramName, 0, 0, &p), 1);
    EXPECT_STREQ(p.name, "Basic");
    EXPECT_EQ(p.thisProgramIndex, 5);
    EXPECT_EQ(p.midiProgram, 0);
    EXPECT_EQ(p.midiBankMsb, -1);
    EXPECT_EQ(p.midiBankLsb, -1);
    EXPECT_EQ(p.parentCategoryIndex, 0);
    EXPECT_EQ(p.flags, 0);

    MidiProgramName untouched{};
    untouched.thisProgramIndex = 128;
    std::strcpy(untouched.name, "keep");
    EXPECT_EQ(dispatch(effGetMidiProgramName, 0, 0, &untouched), 0);
    EXPECT_STREQ(untouched.name, "keep");

    MidiProgramName current{};
    EXPECT_EQ(dispatch(effGetCurrentMidiProgram, 9, 0, &current), 9);
    EXPECT_EQ(current.thisProgramIndex, 9);
    EXPECT_STREQ(current.name, "Basic");
    EXPECT_EQ(dispatch(effGetCurrentMidiProgram, 16, 0, &current), -1);
    EXPECT_EQ(dispatch(effGetCurrentMidiProgram, 0, 0, nullptr), -1);

    MidiProgramCategory category{};
    category.thisCategoryIndex = 3;
    EXPECT_EQ(dispatch(effGetMidiProgramCategory, 0, 0, &category), 1);
    EXPECT_STREQ(category.name, "None");
    EXPECT_EQ(category.parentCategoryIndex, -1);
    EXPECT_EQ(category.thisCategoryIndex, 3);
    EXPECT_EQ(dispatch(effHasMidiProgramsChanged), 0);

    MidiKeyName key{};
    std::strcpy(key.keyName, "C4");
    key.reserved = 7;
    key.flags = 7;
    EXPECT_EQ(dispatch(effGetMidiKeyName, 0, 0, &key), 0);
    EXPECT_STREQ(key.keyName, "");
    EXPECT_EQ(key.reserved, 0);
    EXPECT_EQ(key.flags, 0);
}

// Hosts (Carla's plug-in check among them) expect a plug-in that asks for
// the time to have asked first whether the host sends it.
TEST_F(HostInterface, ResumeAsksForMidiAndOnceWhetherTheHostSendsTime) {
    dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(host.wantMidiCalls, 1);
    dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(host.wantMidiCalls, 1);
    dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(host.wantMidiCalls, 2);
    EXPECT_EQ(host.canDoQueries, std::vector<std::string>{"sendVstTimeInfo"});
    EXPECT_EQ(dispatch(effBeginSetProgram), 1);
    EXPECT_EQ(dispatch(effEndSetProgram), 1);

    // The time is still asked for every sub-block: 1000 frames at 44.1 kHz
    // are 12 sub-blocks of at most 2 ms (88 frames).
    EXPECT_EQ(host.timeRequests, 0);
    std::vector<float> left(1000), right(1000);
    float* out[2] = {left.data(), right.data()};
    plugin->processReplacing(nullptr, out, 1000);
    EXPECT_EQ(host.timeRequests, 12);
    EXPECT_EQ(host.lastTimeFilter & (kVstTempoValid | kVstPpqPosValid),
              kVstTempoValid | kVstPpqPosValid);
}

TEST_F(HostInterface, UnknownOrMalformedRequestsGetNeutralAnswers) {
    for (VstInt32 opcode : {9, 16, 30, 57, 80, 999, -1, 0x7FFFFFFF})
        EXPECT_EQ(dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
    // Requests that write into a host buffer, given none.
    for (VstInt32 opcode :
         {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName,
          effGetEffectName, effGetVendorString, effGetProductString, effGetProgramNameIndexed,
          effGetOutputProperties, effGetMidiProgramName, effGetMidiProgramCategory,
          effGetMidiKeyName, effSetProgramName, effGetChunk, effString2Parameter,
          effGetParameterProperties, effEditGetRect})
        EXPECT_EQ(dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
    char text[64] = "x";
    EXPECT_EQ(dispatch(effString2Parameter, 0, 0, text), 0);
    VstParameterProperties properties{};
    EXPECT_EQ(dispatch(effGetParameterProperties, 0, 0, &properties), 0);
    EXPECT_EQ(dispatch(effProcessEvents, 0, 0, nullptr), 1);
}

}  // namespace
}  // namespace hosttest
