// Which controller moves which parameter, and the ini file it comes from and
// goes back to.
#include "synth/ControllerMap.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "instrument/ParameterTable.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestSynth.h"

namespace {

using synth::ControllerMap;
using testsupport::TempDir;

int indexOf(const char* name) {
    for (int i = 0; i < 27; ++i)
        if (std::string(lumavox::kParameterTable[i].name) == name) return i;
    return -1;
}

TEST(ControllerMapPath, TheIniFileSitsBesideThePluginFile) {
    EXPECT_EQ(ControllerMap::iniPathFor("/usr/lib/vst/Lumavox.so"), "/usr/lib/vst/Lumavox.ini");
    EXPECT_EQ(ControllerMap::iniPathFor("C:\\VST\\My.Lumavox.dll"), "C:\\VST\\My.Lumavox.ini");
    EXPECT_EQ(ControllerMap::iniPathFor("/home/u/.vst/Lumavox"), "/home/u/.vst/Lumavox.ini");
    EXPECT_EQ(ControllerMap::iniPathFor("Lumavox"), "Lumavox.ini");
    EXPECT_EQ(ControllerMap::iniPathFor(""), "");
}

TEST(ControllerMap, WithoutAFileTheTableDefaultsHold) {
    TempDir dir;
    ControllerMap map(lumavox::kParameterTable, 27, dir.file("Lumavox.ini"));
    EXPECT_EQ(map.controllerOf(indexOf("Volume")), 7);
    EXPECT_EQ(map.controllerOf(indexOf("Pan")), 10);
    EXPECT_EQ(map.controllerOf(indexOf("WavDsp")), 0);
    EXPECT_EQ(map.controllerOf(indexOf("Filter")), 92);
}

TEST(ControllerMap, TheFileIsWrittenBackWithEveryKeyOnDestruction) {
    TempDir dir;
    dir.write("Lumavox.ini",
              "; my setup\n[other]\nVolume=3\n[MIDICC]\nvolume=255\nPan=20\nTempo=abc\n"
              "Tune=-4\nRange= 15 \nFat=+16th\nSpike=99999999999\n");
    {
        ControllerMap map(lumavox::kParameterTable, 27, dir.file("Lumavox.ini"));
        EXPECT_EQ(map.controllerOf(indexOf("Volume")), 0);  // 255: unassigned
        EXPECT_EQ(map.controllerOf(indexOf("Pan")), 20);
        EXPECT_EQ(map.controllerOf(indexOf("Tempo")), 0);  // not a number
        EXPECT_EQ(map.controllerOf(indexOf("Tune")), 0);   // negative
        EXPECT_EQ(map.controllerOf(indexOf("Range")), 15);
        EXPECT_EQ(map.controllerOf(indexOf("Fat")), 16);   // the digits at the start
        EXPECT_EQ(map.controllerOf(indexOf("Spike")), 0);  // 255 or more: unassigned
        EXPECT_EQ(map.controllerOf(indexOf("Glide")), 5);  // missing key: default
    }
    const std::string text = dir.read("Lumavox.ini");
    EXPECT_NE(text.find("; my setup\n[other]\nVolume=3\n"), std::string::npos) << text;
    std::string lower = text;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(lower.find("\nvolume=0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Pan=20\n"), std::string::npos);
    for (int i = 0; i < 27; ++i) {
        std::string key = lumavox::kParameterTable[i].name;
        for (char& c : key)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        key.insert(0, 1, '\n');
        key.push_back('=');
        EXPECT_NE(lower.find(key), std::string::npos) << key << " in\n" << text;
    }
    ControllerMap again(lumavox::kParameterTable, 27, dir.file("Lumavox.ini"));
    EXPECT_EQ(again.controllerOf(indexOf("Volume")), 0);
    EXPECT_EQ(again.controllerOf(indexOf("Pan")), 20);
}

TEST(ControllerMap, AFirstInstanceCreatesTheFile) {
    TempDir dir;
    { ControllerMap map(lumavox::kParameterTable, 27, dir.file("Lumavox.ini")); }
    const std::string text = dir.read("Lumavox.ini");
    EXPECT_EQ(text.rfind("[midicc]\nVolume=7\nPan=10\n", 0), 0u) << text;
    EXPECT_NE(text.find("Filter=92\n"), std::string::npos);
}

TEST(ControllerMap, GarbageAndUnwritableFoldersAreSurvived) {
    TempDir dir;
    std::string garbage(100000, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>(i * 131 % 251);
    dir.write("Lumavox.ini", garbage + "\n[midicc\n=\n[]\n==7\n");
    { ControllerMap map(lumavox::kParameterTable, 27, dir.file("Lumavox.ini")); }
    ControllerMap reread(lumavox::kParameterTable, 27, dir.file("Lumavox.ini"));
    EXPECT_EQ(reread.controllerOf(indexOf("Volume")), 7);

    std::filesystem::create_directories(dir.path() / "locked");
    std::filesystem::permissions(dir.path() / "locked", std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::owner_exec);
    { ControllerMap map(lumavox::kParameterTable, 27, dir.file("locked/Lumavox.ini")); }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "locked" / "Lumavox.ini.tmp"));
}

TEST(ControllerMap, SharedNumbersMoveEveryParameterAndZeroMovesNone) {
    TempDir dir;
    dir.write("Lumavox.ini", "[midicc]\nVolume=0\nPan=33\nDrive=33\n");
    testsupport::TestSynth synth;
    ControllerMap map(lumavox::kParameterTable, 27, dir.file("Lumavox.ini"));
    map.apply(33, 1.f, synth);
    EXPECT_EQ(synth.getParameter(indexOf("Pan")), 1.f);
    EXPECT_EQ(synth.getParameter(indexOf("Drive")), 1.f);
    const float volume = synth.getParameter(indexOf("Volume"));
    map.apply(0, 0.f, synth);
    EXPECT_EQ(synth.getParameter(indexOf("Volume")), volume);
}

}  // namespace
