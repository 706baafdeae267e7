// What lumavox-render does as a host, seen from inside a plug-in: the fake
// instrument logs every call it gets, and these tests read that log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "tests/render/MidiBytes.h"
#include "tests/render/ToolRun.h"

namespace rendertest {
namespace {

class RenderHost : public ToolTest {
  protected:
    // Runs the tool with the fake's log on; returns the log's lines.
    std::vector<std::string> logOf(const std::vector<std::string>& args) const {
        const ToolResult r = run(args, {"LUMAVOX_FAKE_LOG=" + path("calls.log")});
        EXPECT_EQ(r.status, 0) << r.err;
        std::vector<std::string> lines;
        const std::vector<std::uint8_t> log = read("calls.log");
        std::istringstream in(std::string(log.begin(), log.end()));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

std::size_t indexOf(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

TEST_F(RenderHost, SetsThePluginUpAndDownInTheOrderOfAHost) {
    const auto lines =
        logOf({"--notes", "C4", "--sample-rate", "48000", "--block-size", "256", "-o", "out.wav"});
    const std::vector<std::string> order = {
        "messages stderr", "open", "sampleRate 48000", "blockSize 256", "mains 1",
        "mains 0",         "close"};
    std::size_t previous = 0;
    for (const std::string& step : order) {
        const std::size_t at = indexOf(lines, step);
        ASSERT_LT(at, lines.size()) << "no \"" << step << "\"";
        EXPECT_GE(at, previous) << step << " comes too early";
        previous = at;
    }
    const std::size_t on = indexOf(lines, "mains 1"), off = indexOf(lines, "mains 0");
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].rfind("time", 0) == 0 || lines[i].rfind("events", 0) == 0) {
            EXPECT_TRUE(i > on && i < off) << "processing while switched off: " << lines[i];
        }
}

// A bounce: the plug-in may take its time, and should do what it does the
// same way every time (the instrument then rebuilds its tables at once).
TEST_F(RenderHost, TellsThePluginItRendersOffline) {
    const auto lines = logOf({"--notes", "C4", "-o", "out.wav"});
    EXPECT_LT(indexOf(lines, "processLevel 4"), lines.size());
}

TEST_F(RenderHost, EventsComeBeforeTheirBlockWithTheirFrameInIt) {
    // Quarter notes at 120 BPM: a note boundary every 22050 frames, which
    // falls 34 frames into the block at 22016.
    const auto lines = logOf({"--notes", "C4:q C4", "-o", "out.wav"});
    std::vector<std::pair<std::string, std::string>> deliveries;  // (events, the block after)
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].rfind("events", 0) == 0) deliveries.push_back({lines[i], lines[i + 1]});
    ASSERT_EQ(deliveries.size(), 3u);
    EXPECT_EQ(deliveries[0].first, "events 1 0");
    EXPECT_EQ(deliveries[0].second.rfind("time 0 ", 0), 0u);
    EXPECT_EQ(deliveries[1].first, "events 2 34 34");
    EXPECT_EQ(deliveries[1].second.rfind("time 22016 ", 0), 0u);
    EXPECT_EQ(deliveries[2].first, "events 1 68");
    EXPECT_EQ(deliveries[2].second.rfind("time 44032 ", 0), 0u);
}

TEST_F(RenderHost, ANoteSoundsFromItsOwnFrame) {
    // The fake plays each event at its frame, so its sine starts exactly there.
    const ToolResult r = run({"--notes", "r:q C4", "--block-size", "1000", "-o", "late.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<float> left = audio("late.wav").left();
    ASSERT_GT(left.size(), 22052u);
    for (std::size_t i = 0; i <= 22050; ++i)
        ASSERT_EQ(left[i], 0.f) << "sound before its frame, at " << i;
    EXPECT_NE(left[22051], 0.f);
}

TEST_F(RenderHost, TheTimeInformationFollowsTheTempoMap) {
    // 120 BPM, then 60 BPM from beat 2 (1 s).
    Track tempo, notes;
    tempo.tempo(0, 500000).tempo(960, 1000000).end();
    notes.at(1800, {0x90, 60, 100}).at(120, {0x80, 60, 0}).end();
    write("tempo.mid", midiFile(1, 480, {tempo, notes}));
    const auto lines = logOf({"--midi", "tempo.mid", "--block-size", "1000", "-o", "out.wav"});
    int blocks = 0;
    for (const std::string& line : lines) {
        double samplePos, ppq, bpm;
        int flags;
        if (std::sscanf(line.c_str(), "time %lf %lf %lf %d", &samplePos, &ppq, &bpm, &flags) != 4)
            continue;
        const double seconds = samplePos / 44100.0;
        EXPECT_NEAR(ppq, seconds < 1.0 ? seconds * 2.0 : 2.0 + (seconds - 1.0), 1e-6) << line;
        EXPECT_EQ(bpm, seconds < 1.0 ? 120.0 : 60.0) << line;
        const int valid = 2 | 512 | 1024;  // playing, ppq position, tempo
        EXPECT_EQ(flags & valid, valid) << line;
        EXPECT_EQ(flags & 1, blocks == 0 ? 1 : 0) << "the transport changes at the start only";
        EXPECT_EQ(samplePos, 1000.0 * blocks) << line;
        ++blocks;
    }
    EXPECT_GT(blocks, 44100 * 3 / 1000) << "the song lasts 3 s";
}

TEST_F(RenderHost, AnEmptyChunkIsReportedAsSuch) {
    // The fake gives empty chunks, as Lumavox did before it had state.
    write("red.bmp", bmpFile(8, 8, [](int, int) { return 0xFF0000u; }));
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--image", "red.bmp", "-o", "out.wav"},
         "lumavox-render: red.bmp: the plug-in gave no program chunk\n"},
        {{"--save-preset", "out.fxp"},
         "lumavox-render: out.fxp: the plug-in gave no program chunk\n"},
        {{"--save-bank", "out.fxb"}, "lumavox-render: out.fxb: the plug-in gave no bank chunk\n"},
    };
    for (const auto& c : cases) {
        const ToolResult r = run(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(files(), std::vector<std::string>{"red.bmp"});
    }
}

}  // namespace
}  // namespace rendertest
