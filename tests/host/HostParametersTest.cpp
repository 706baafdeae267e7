// Parameters and programs as a host drives them: through the record's
// setParameter/getParameter and the program and text requests.
#include <cstring>

#include "tests/host/PluginFixture.h"

namespace hosttest {
namespace {

using HostParameters = PluginFixture;

TEST_F(HostParameters, ValuesAreClampedAndStepped) {
    const int volume = parameterIndex("Volume");
    const int bendRange = parameterIndex("BndRng");
    const int log = parameterIndex("Log");
    plugin->setParameter(volume, 1.7f);
    EXPECT_EQ(plugin->getParameter(volume), 1.f);
    plugin->setParameter(volume, -0.2f);
    EXPECT_EQ(plugin->getParameter(volume), 0.f);
    plugin->setParameter(volume, 0.999f);
    EXPECT_FLOAT_EQ(plugin->getParameter(volume), 0.99f);
    plugin->setParameter(bendRange, 0.5f);
    EXPECT_EQ(plugin->getParameter(bendRange), 0.5f);
    plugin->setParameter(bendRange, 0.9f);
    EXPECT_EQ(plugin->getParameter(bendRange), 10.f / 12.f);
    plugin->setParameter(log, 0.3f);
    EXPECT_EQ(plugin->getParameter(log), 0.3f);
}

TEST_F(HostParameters, IndicesOutsideTheTableAreIgnored) {
    plugin->setParameter(38, 0.5f);
    plugin->setParameter(-1, 0.5f);
    EXPECT_EQ(plugin->getParameter(38), 0.f);
    EXPECT_EQ(plugin->getParameter(-1), 0.f);
    EXPECT_EQ(plugin->getParameter(1 << 30), 0.f);
}

TEST_F(HostParameters, NamesAndDisplaysOfTheHostParametersOnly) {
    const char* expected[] = {"Volume",  "Pan",     "BndRng",  "Start",     "Tempo",    "Tune",
                              "Drive",   "Log",     "Range",   "Spike",     "Fat",      "Attack",
                              "Release", "Mono",    "Glide",   "DlyTime",   "DlyFbk",   "DlyLv",
                              "ChrsRat", "ChrsLv",  "RevTime", "RevStereo", "RevLevel", "WavDsp",
                              "LoopIn",  "LoopOut", "Filter"};
    for (int i = 0; i < 27; ++i)
        EXPECT_EQ(plugin->stringOf(effGetParamName, i), expected[i]);
    EXPECT_EQ(plugin->stringOf(effGetParamName, 27), "");  // the editor's canvas
    EXPECT_EQ(plugin->stringOf(effGetParamName, -3), "");
    EXPECT_EQ(plugin->stringOf(effGetParamLabel, 0), "");

    const int pan = parameterIndex("Pan");
    plugin->setParameter(pan, 0.5f);
    EXPECT_EQ(plugin->stringOf(effGetParamDisplay, pan), "0.500000");
    plugin->setParameter(pan, 1.f);
    EXPECT_EQ(plugin->stringOf(effGetParamDisplay, pan), "1.000000");
    plugin->setParameter(pan, 0.7f);
    EXPECT_EQ(plugin->stringOf(effGetParamDisplay, pan), "0.699999");  // truncated, as the SDK
    EXPECT_EQ(plugin->stringOf(effGetParamDisplay, 30), "");
}

TEST_F(HostParameters, DisplayTextFitsTheParameterStringField) {
    char text[32];
    std::memset(text, '#', sizeof text);
    dispatch(effGetParamDisplay, 0, 0, text);
    EXPECT_EQ(std::strlen(text), 8u);
    EXPECT_EQ(text[9], '#');
}

TEST_F(HostParameters, ProgramsKeepTheirOwnValues) {
    const int volume = parameterIndex("Volume");
    dispatch(effSetProgram, 0, 0);
    plugin->setParameter(volume, 0.3f);
    const float programTwo = (dispatch(effSetProgram, 0, 2), plugin->getParameter(volume));
    EXPECT_EQ(dispatch(effGetProgram), 2);
    dispatch(effSetProgram, 0, 0);
    EXPECT_FLOAT_EQ(plugin->getParameter(volume), 0.3f);
    dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(plugin->getParameter(volume), programTwo);
}

TEST_F(HostParameters, ProgramNumbersOutsideTheBankAreIgnored) {
    dispatch(effSetProgram, 0, 1);
    dispatch(effSetProgram, 0, 4);
    dispatch(effSetProgram, 0, -1);
    EXPECT_EQ(dispatch(effGetProgram), 1);
}

TEST_F(HostParameters, ProgramNamesAreCutTo23Characters) {
    char name[] = "abcdefghijklmnopqrstuvwxyz0123";  // 30 characters
    dispatch(effSetProgramName, 0, 0, name);
    char back[40];
    std::memset(back, '#', sizeof back);
    dispatch(effGetProgramName, 0, 0, back);
    EXPECT_STREQ(back, "abcdefghijklmnopqrstuvw");
    EXPECT_EQ(back[24], '#');  // nothing past the 24-byte field
    EXPECT_EQ(programName(dispatch(effGetProgram)), "abcdefghijklmnopqrstuvw");

    char indexed[40];
    std::memset(indexed, '#', sizeof indexed);
    EXPECT_EQ(dispatch(effGetProgramNameIndexed, 3, 0, indexed), 1);
    EXPECT_EQ(dispatch(effGetProgramNameIndexed, 4, 0, indexed), 0);
    EXPECT_STREQ(indexed, "");
}

}  // namespace
}  // namespace hosttest
