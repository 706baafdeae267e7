// State as a host handles it: the factory programs of a new instance, chunks
// through the dispatcher, and the controller assignments in the ini file
// beside the plug-in file (the Windows builds use the system's own calls).
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "tests/host/PluginFixture.h"
#include "tests/support/TempDir.h"

namespace hosttest {
namespace {

using HostState = PluginFixture;

// Whether text has this line, whichever line ends the platform writes.
bool hasLine(std::string text, const std::string& line) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return ("\n" + text + "\n").find("\n" + line + "\n") != std::string::npos;
}

TEST_F(HostState, ANewInstanceHasTheFactoryPrograms) {
    EXPECT_EQ(programName(0), "Hello World!");
    EXPECT_EQ(programName(1), "Particles");
    EXPECT_EQ(programName(2), "Photo");
    EXPECT_EQ(programName(3), "Raise up");
    EXPECT_EQ(dispatch(effGetProgram), 0);
    EXPECT_EQ(plugin->getParameter(parameterIndex("Volume")), 0.69f);
    EXPECT_EQ(plugin->getParameter(parameterIndex("BndRng")), 1.f / 12.f);
}

TEST_F(HostState, ABankSavedByOneInstanceRestoresAnother) {
    char name[] = "Saved here";
    dispatch(effSetProgram, 0, 2);
    dispatch(effSetProgramName, 0, 0, name);
    plugin->setParameter(parameterIndex("Tune"), 0.25f);
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
    ASSERT_EQ(size, 3147784);
    const std::vector<char> bank(static_cast<char*>(data), static_cast<char*>(data) + size);
    void* programData = nullptr;
    EXPECT_EQ(dispatch(effGetChunk, 1, 0, &programData), 786949);

    ScriptedHost otherHost;
    std::string error;
    auto other = vsthost::PluginInstance::create(library()->entryPoint(), otherHost, &error);
    ASSERT_TRUE(other) << error;
    EXPECT_EQ(other->dispatch(effSetChunk, 0, size, const_cast<char*>(bank.data())), 1);
    other->dispatch(effSetProgram, 0, 2);
    char back[32] = {};
    other->dispatch(effGetProgramName, 0, 0, back);
    EXPECT_STREQ(back, "Saved here");
    EXPECT_EQ(other->getParameter(parameterIndex("Tune")), 0.25f);
}

// The plug-in file copied under another name into a folder of its own, with
// an ini file beside it.
class HostIniFile : public testing::Test {
  protected:
    void SetUp() override {
        const std::filesystem::path original(pluginPath());
        copy = dir.path() / ("Renamed" + original.extension().string());
        std::filesystem::copy_file(original, copy);
        ini = dir.path() / "Renamed.ini";
    }
    void sendController(vsthost::PluginInstance& p, int number, int value) {
        VstMidiEvent e{};
        e.type = kVstMidiType;
        e.byteSize = sizeof e;
        e.midiData[0] = static_cast<char>(0xB3);
        e.midiData[1] = static_cast<char>(number);
        e.midiData[2] = static_cast<char>(value);
        struct {
            VstInt32 numEvents;
            VstIntPtr reserved;
            VstEvent* events[1];
        } list{1, 0, {reinterpret_cast<VstEvent*>(&e)}};
        p.dispatch(effProcessEvents, 0, 0, &list);
        std::vector<float> left(64), right(64);
        float* out[2] = {left.data(), right.data()};
        p.processReplacing(nullptr, out, 64);
    }
    // Opens the copy and makes one instance, which closes with the scope.
    struct Opened {
        std::unique_ptr<vsthost::PluginLibrary> library;
        ScriptedHost host;
        std::unique_ptr<vsthost::PluginInstance> plugin;
    };
    std::unique_ptr<Opened> open() {
        auto opened = std::make_unique<Opened>();
        std::string error;
        opened->library = vsthost::PluginLibrary::open(copy.string(), &error);
        EXPECT_TRUE(opened->library) << error;
        if (opened->library)
            opened->plugin = vsthost::PluginInstance::create(opened->library->entryPoint(),
                                                             opened->host, &error);
        EXPECT_TRUE(opened->plugin) << error;
        return opened->plugin ? std::move(opened) : nullptr;
    }
    testsupport::TempDir dir;
    std::filesystem::path copy, ini;
};

// Both platforms read the numbers by one rule: a negative number, a word or
// nothing is 0 (no controller), 255 or more is no controller either, and
// each is written back as 0. (The Windows call of its own would keep -5.)
TEST_F(HostIniFile, ControllersFollowTheIniFileWhichIsWrittenBackOnClose) {
    dir.write("Renamed.ini",
              "[midicc]\nVolume=255\nPan=20\nTune=-5\nTempo=abc\nRange=\nDrive=300\n"
              "Glide=\"33\"\n");
    {
        auto opened = open();
        ASSERT_TRUE(opened);
        vsthost::PluginInstance* plugin = opened->plugin.get();
        const ScriptedHost& host = opened->host;
        // A renamed file still finds its factory bank in itself.
        char name[32] = {};
        plugin->dispatch(effGetProgramNameIndexed, 1, 0, name);
        EXPECT_STREQ(name, "Particles");

        const float volume = plugin->getParameter(0);
        sendController(*plugin, 7, 127);   // no longer Volume's
        sendController(*plugin, 20, 127);  // now Pan's
        EXPECT_EQ(plugin->getParameter(0), volume);
        EXPECT_EQ(plugin->getParameter(1), 1.f);
        ASSERT_FALSE(host.automated.empty());
        EXPECT_EQ(host.automated.back().index, 1);
        EXPECT_EQ(host.automated.back().value, 1.f);

        // A malformed controller byte matches no slot, not even the one that
        // Volume's 255 left free.
        const std::size_t notices = host.automated.size();
        sendController(*plugin, 0xFF, 0);
        sendController(*plugin, 0x80 | 20, 0);
        EXPECT_EQ(plugin->getParameter(0), volume);
        EXPECT_EQ(plugin->getParameter(1), 1.f);
        EXPECT_EQ(host.automated.size(), notices);
    }  // effClose writes the file
    const std::string text = dir.read("Renamed.ini");
    for (const char* line : {"Volume=0", "Pan=20", "Tune=0", "Tempo=0", "Range=0", "Drive=0",
                             "Glide=33", "Filter=92", "Start=12"})
        EXPECT_TRUE(hasLine(text, line)) << line << " in\n" << text;
}

TEST_F(HostIniFile, AFirstInstanceCreatesTheFileWithTheDefaults) {
    ASSERT_TRUE(open());
    const std::string text = dir.read("Renamed.ini");
    EXPECT_NE(text.find("[midicc]"), std::string::npos) << text;
    EXPECT_NE(text.find("Volume=7"), std::string::npos) << text;
    EXPECT_NE(text.find("WavDsp=0"), std::string::npos) << text;
}

}  // namespace
}  // namespace hosttest
