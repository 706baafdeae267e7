// lumavox-render end to end: the built tool renders through a plug-in binary
// (Lumavox, or the fake instrument) and the files it writes are checked.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

#include "platform/ImageCodec.h"
#include "tests/render/MidiBytes.h"
#include "tests/render/ToolRun.h"
#include "tools/lumavox-render/PresetFile.h"

namespace rendertest {
namespace {

using render::PresetFile;
using render::PresetKind;

// Effects and release off, so notes start and stop cleanly and keep their pitch.
const std::vector<std::string> kDryOptions = {"--param", "Release=0", "--param", "DlyLv=0",
                                              "--param", "ChrsLv=0",  "--param", "RevLevel=0"};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// 512 x 256, black but for row 231, which is red.
std::vector<std::uint8_t> redRow() {
    return bmpFile(512, 256, [](int, int y) { return y == 231 ? 0xFF0000u : 0u; });
}

class RenderTool : public ToolTest {
  protected:
    // The parameters as --list shows them: name -> (index, value shown).
    std::map<std::string, std::pair<int, double>> listedParameters() const {
        const ToolResult listing = run({"--list"});
        EXPECT_EQ(listing.status, 0) << listing.err;
        EXPECT_NE(listing.out.find("program 3: "), std::string::npos) << listing.out;
        EXPECT_NE(listing.out.find("(current)"), std::string::npos) << listing.out;
        EXPECT_TRUE(files().empty()) << "--list writes nothing";
        std::map<std::string, std::pair<int, double>> parameters;
        std::istringstream lines(listing.out);
        for (std::string line; std::getline(lines, line);) {
            int index;
            char name[64];
            double value;
            if (std::sscanf(line.c_str(), "%d %63s %lf", &index, name, &value) == 3)
                parameters[name] = {index, value};
        }
        return parameters;
    }
};

TEST_F(RenderTool, TheDemoRendersAudibleSoundWithinFullScale) {
    const ToolResult r = run({"-o", "demo.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("wrote demo.wav"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("dBFS"), std::string::npos) << "the summary names the peak: " << r.out;
    EXPECT_EQ(files(), std::vector<std::string>{"demo.wav"});
    const Audio demo = audio("demo.wav");
    EXPECT_EQ(demo.rate, 44100);
    EXPECT_EQ(demo.channels, 2);
    EXPECT_EQ(demo.format, SF_FORMAT_WAVEX | SF_FORMAT_FLOAT);
    EXPECT_GT(demo.frames(), 3 * 44100);
    EXPECT_GT(demo.peak(), 0.01f) << "the demo is silent";
    EXPECT_LT(demo.peak(), 1.f);
    EXPECT_EQ(r.err, "") << "no warning of full scale";
}

TEST_F(RenderTool, ATempoChangeMovesTheNotesToTheirSamples) {
    // A5 on every beat; 120 BPM, then 60 BPM from beat 2 on: the notes start
    // at 0, 0.5, 1, 2 and 3 s. Odd block size and rate, so events fall inside
    // blocks. The picture is one red row across all columns, so every note
    // sounds from its first moment on.
    Track tempo, notes;
    tempo.tempo(0, 500000).tempo(960, 1000000).end();
    for (int beat = 0; beat < 5; ++beat)
        notes.at(beat ? 360 : 0, {0x90, 81, 110}).at(120, {0x80, 81, 0});
    notes.end();
    write("tempo.mid", midiFile(1, 480, {tempo, notes}));
    write("row.bmp", redRow());
    const ToolResult r =
        run(with({"--midi", "tempo.mid", "--sample-rate", "48000", "--block-size", "300", "--image",
                  "row.bmp", "--param", "Spike=1", "-o", "tempo.wav"},
                 kDryOptions));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<double> times = onsets(audio("tempo.wav"));
    const std::vector<double> expected = {0.0, 0.5, 1.0, 2.0, 3.0};
    ASSERT_EQ(times.size(), expected.size()) << "onsets found: " << ::testing::PrintToString(times);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(times[i], expected[i], 0.005) << "note " << i;
}

TEST_F(RenderTool, TheProgramChangesTheSound) {
    for (const char* program : {"0", "1"}) {
        const ToolResult r = run({"--notes", "A3:h C4", "--program", program, "-o",
                                  std::string("program") + program + ".wav"});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    const Audio a = audio("program0.wav"), b = audio("program1.wav");
    ASSERT_GT(a.peak(), 0.01f) << "program 0 is silent";
    ASSERT_GT(b.peak(), 0.01f) << "program 1 is silent";
    double difference = 0.0, energy = 0.0;
    for (std::size_t i = 0; i < std::min(a.samples.size(), b.samples.size()); ++i) {
        difference += std::pow(a.samples[i] - b.samples[i], 2.0);
        energy += std::pow(a.samples[i], 2.0);
    }
    EXPECT_GT(difference, 0.01 * energy) << "programs 0 and 1 sound the same";
}

TEST_F(RenderTool, ASavedBankGivesBackTheSameRenderBitForBit) {
    const std::vector<std::string> phrase = {"--notes", "E4:e G4 B4 E5:h"};
    ToolResult r = run(with(phrase, {"--program", "2", "--param", "Release=0.35", "--param",
                                     "Volume=0.6", "-o", "first.wav", "--save-bank", "saved.fxb"}));
    ASSERT_EQ(r.status, 0) << r.err;
    r = run(with(phrase, {"--bank", "saved.fxb", "--program", "2", "-o", "again.wav"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const Audio first = audio("first.wav"), again = audio("again.wav");
    EXPECT_GT(first.peak(), 0.01f) << "nothing to compare: the render is silent";
    ASSERT_EQ(first.samples.size(), again.samples.size());
    EXPECT_TRUE(first.samples == again.samples);
}

TEST_F(RenderTool, ASavedPresetGivesBackTheSameRenderInAnotherProgram) {
    const std::vector<std::string> phrase = {"--notes", "A4:q E5 A5:h"};
    ToolResult r = run(with(phrase, {"--program", "1", "--param", "Tune=0.55", "-o", "first.wav",
                                     "--save-preset", "saved.fxp"}));
    ASSERT_EQ(r.status, 0) << r.err;
    r = run(with(phrase, {"--program", "3", "--preset", "saved.fxp", "-o", "again.wav"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const Audio first = audio("first.wav"), again = audio("again.wav");
    EXPECT_GT(first.peak(), 0.01f) << "nothing to compare: the render is silent";
    EXPECT_TRUE(first.samples == again.samples);
}

TEST_F(RenderTool, AnImageWithOneRedRowPlaysThePitchOfThatRow) {
    // Row 231 of 256 becomes picture rows 462 and 463, sound row 48 at the
    // bottom of the pair. With Tune 0.5 and Range 0.5 (two rows to a bin) that
    // is bin 16 + (48 - 16) / 2 = 32: twice the note's frequency, where bin
    // 16 is the note itself. A3 (220 Hz) then sounds at 440 Hz.
    write("row.bmp", redRow());
    const ToolResult r = run(with(
        {"--notes", "A3:w", "--image", "row.bmp", "--param", "Tune=0.5", "--param", "Range=0.5",
         "--param", "Log=0", "--param", "Filter=1", "--param", "Fat=0", "-o", "row.wav"},
        kDryOptions));
    ASSERT_EQ(r.status, 0) << r.err;
    const Audio sound = audio("row.wav");
    ASSERT_GT(sound.peak(), 0.001f) << "the picture plays nothing";
    EXPECT_NEAR(dominantFrequency(sound, 0.3, 1.2), 440.0, 440.0 * 0.015);
}

TEST_F(RenderTool, ParametersComeFromParameterPresetsAndFromOptions) {
    auto parameters = listedParameters();
    ASSERT_TRUE(parameters.count("Volume"));
    const int volume = parameters["Volume"].first;

    PresetFile program;
    program.kind = PresetKind::ProgramParameters;
    program.pluginId = 0x4C4D5658;
    program.programs.push_back({"From a file", {}});
    for (const auto& [name, entry] : parameters) {
        auto& values = program.programs[0].parameters;
        values.resize(std::max(values.size(), static_cast<std::size_t>(entry.first + 1)));
        values[static_cast<std::size_t>(entry.first)] = static_cast<float>(entry.second);
    }
    program.programs[0].parameters[static_cast<std::size_t>(volume)] = 0.25f;
    write("volume.fxp", render::writePresetFile(program));

    PresetFile bank = program;
    bank.kind = PresetKind::BankParameters;
    bank.programs = {program.programs[0], program.programs[0]};
    bank.programs[1].parameters[static_cast<std::size_t>(volume)] = 0.75f;
    write("volume.fxb", render::writePresetFile(bank));

    const auto listed = [&](const std::vector<std::string>& args) {
        const ToolResult r = run(with(args, {"--list"}));
        EXPECT_EQ(r.status, 0) << r.err;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);)
            if (line.find(" Volume ") != std::string::npos) return line.substr(line.rfind(' ') + 1);
        return std::string("(no Volume line)");
    };
    EXPECT_EQ(listed({"--program", "0", "--preset", "volume.fxp"}), "0.25");
    EXPECT_EQ(listed({"--bank", "volume.fxb", "--program", "1"}), "0.75");
    EXPECT_EQ(listed({"--program", "0", "--preset", "volume.fxp", "--param", "vOLUME=0.5"}), "0.5")
        << "options come after the preset, in any letter case";
}

TEST_F(RenderTool, TheTailStopsInSilenceOrAtItsLimit) {
    ToolResult r = run({"--notes", "A4:q", "-o", "free.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Audio free = audio("free.wav");
    ASSERT_GE(free.frames(), 44100 / 2 + 44100 / 2);
    EXPECT_LE(free.frames(), 44100 / 2 + 10 * 44100);
    for (long i = free.frames() - 44100 / 2; i < free.frames(); ++i)
        ASSERT_LT(std::fabs(free.samples[static_cast<std::size_t>(i * 2)]), 3.2e-5f)
            << "the last half second is not silent at frame " << i;

    r = run({"--notes", "A4:q", "--max-tail", "0.25", "-o", "short.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(audio("short.wav").frames(), 44100 * 3 / 4)
        << "half a second of song, a quarter of tail";
}

TEST_F(RenderTool, TheOutputFormatFollowsTheExtensionAndBits) {
    const struct {
        const char* name;
        std::vector<std::string> options;
        int format;
    } cases[] = {
        {"pcm.wav", {"--bits", "24"}, SF_FORMAT_WAVEX | SF_FORMAT_PCM_24},
        {"pcm.WAV", {"--bits", "16"}, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
        {"lossless.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        {"small.flac", {"--bits", "16"}, SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
        {"lossy.ogg", {"--bits", "16"}, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
    };
    for (const auto& c : cases) {
        const ToolResult r = run(with({"--notes", "C5:e", "--quiet", "-o", c.name}, c.options));
        ASSERT_EQ(r.status, 0) << c.name << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << "--quiet prints no summary";
        EXPECT_EQ(audio(c.name).format, c.format) << c.name;
    }
}

TEST_F(RenderTool, BadInputIsNamedAndLeavesNoFiles) {
    Track cut;
    cut.at(0, {0x90, 60, 100}).at(100, {0x80, 60, 0}).end();
    auto truncated = midiFile(0, 480, {cut});
    truncated.resize(truncated.size() - 3);
    write("truncated.mid", truncated);
    write("text.mid", {'h', 'e', 'l', 'l', 'o'});
    write("text.png", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    auto cutPng =
        platform::encodePng(std::vector<std::uint32_t>(512 * 512, 0x336699).data(), 512, 512);
    cutPng.resize(cutPng.size() / 2);
    write("cut.png", cutPng);
    write("small.bmp", bmpFile(640, 480, [](int, int) { return 0u; }));
    Track quiet;
    quiet.at(0, {0xB0, 7, 100}).end(480);
    write("empty.mid", midiFile(0, 480, {quiet}));

    PresetFile foreign;
    foreign.kind = PresetKind::BankChunk;
    foreign.pluginId = 0x41424344;  // 'ABCD'
    foreign.chunk = {1, 2, 3};
    write("foreign.fxb", render::writePresetFile(foreign));
    auto badMagic = render::writePresetFile(foreign);
    badMagic[0] = 'X';
    write("magic.fxb", badMagic);
    foreign.pluginId = 0x4C4D5658;
    auto badSize = render::writePresetFile(foreign);
    badSize[6] = 0x7F;
    write("size.fxb", badSize);
    foreign.kind = PresetKind::ProgramChunk;
    foreign.programs = {{"x", {}}};
    write("program.fxp", render::writePresetFile(foreign));
    const std::vector<std::string> inputs = files();

    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--midi", "missing.mid"},
         "lumavox-render: missing.mid: cannot open (No such file or directory)"},
        {{"--midi", "text.mid"},
         "lumavox-render: text.mid: not a MIDI file (it does not start with MThd)"},
        {{"--midi", "truncated.mid"}, "lumavox-render: truncated.mid: cut short in track 1"},
        {{"--image", "text.png"}, "lumavox-render: text.png: not an image this tool reads"},
        {{"--image", "missing.png"}, "lumavox-render: missing.png: cannot open"},
        {{"--image", "cut.png"}, "lumavox-render: cut.png: a PNG image, but damaged or cut short"},
        {{"--picture", "small.bmp"},
         "lumavox-render: small.bmp: the picture is 640 x 480; --picture plays 512 x 512 pixel "
         "for pixel (--image scales any size)"},
        {{"--picture", "small.bmp", "--image", "small.bmp"},
         "lumavox-render: --image and --picture: give one or the other"},
        {{"--save-picture", "picture.jpg"},
         "lumavox-render: picture.jpg: a picture is saved as .png or .bmp, not '.jpg'"},
        {{"--midi", "empty.mid"}, "lumavox-render: empty.mid: no notes to play"},
        {{"--notes", ""}, "lumavox-render: --notes: no notes to play"},
        {{"--bank", "foreign.fxb"},
         "lumavox-render: foreign.fxb: made for another plug-in (ID 'ABCD', not 'LMVX')"},
        {{"--bank", "magic.fxb"},
         "lumavox-render: magic.fxb: not a VST preset or bank (it does not start with CcnK)"},
        {{"--bank", "size.fxb"}, "lumavox-render: size.fxb: cut short"},
        {{"--preset", "foreign.fxb"}, "lumavox-render: foreign.fxb: made for another plug-in"},
        {{"--bank", "program.fxp"},
         "lumavox-render: program.fxp: holds one program; give it with --preset"},
        {{"--param", "Nope=0.5"},
         "lumavox-render: --param Nope=0.5: the plug-in has no parameter named 'Nope'"},
        {{"--param", "Volume=1.5"}, "lumavox-render: --param Volume=1.5: 1.5 is outside 0 to 1"},
        {{"--param", "Volume"}, "lumavox-render: --param Volume: expected NAME=VALUE"},
        {{"--frobnicate"}, "lumavox-render: unknown option --frobnicate (--help lists them)"},
        {{"--tempo", "fast"}, "lumavox-render: --tempo: 'fast' is not a number"},
        {{"--block-size", "0"}, "lumavox-render: --block-size: 0 is outside 1 to 8192"},
        {{"--sample-rate", "44100.5"},
         "lumavox-render: --sample-rate: '44100.5' is not a whole number"},
        {{"--bits", "8"}, "lumavox-render: --bits: 8 is outside 16 to 32"},
        {{"--program", "9"}, "lumavox-render: --program: 9 is outside 0 to 3"},
        {{"--program", "-1"}, "lumavox-render: --program: -1 is outside 0 to 3"},
        {{"--notes", "C4 X9"}, "lumavox-render: --notes: 'X9': not a note"},
        {{"--plugin", "missing.so"}, "lumavox-render: cannot load missing.so"},
        {{"-o", "out.mp3"}, "lumavox-render: out.mp3: unknown audio file type '.mp3'"},
        {{"-o", "missing/out.flac"},
         "lumavox-render: missing/out.flac: cannot write (No such file or directory)\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        if (std::string(c.args[0]) != "-o") args = with(args, {"-o", "out.wav"});
        const ToolResult r = run(args);
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_NE(r.status, 0);
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;
        EXPECT_EQ(files(), inputs) << "a file was left behind";
    }
}

TEST_F(RenderTool, AFailureAfterTheRenderLeavesNoFiles) {
    const ToolResult r = run({"--notes", "C4", "-o", "out.wav", "--spectrogram", "out.png",
                              "--save-bank", "missing/saved.fxb"});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.err.rfind("lumavox-render: missing/saved.fxb: ", 0), 0u) << r.err;
    EXPECT_TRUE(files().empty()) << ::testing::PrintToString(files());
}

}  // namespace
}  // namespace rendertest
