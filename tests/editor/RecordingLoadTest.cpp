// Load with a recording: the file's content, not its name, makes it one;
// it becomes the current program's picture for A4 and the current values,
// and a damaged one changes nothing and says so.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "instrument/analysis/RecordingAnalysis.h"
#include "platform/FileBytes.h"
#include "tests/support/EditorHarness.h"
#include "tests/support/FileDialogAnswer.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavBytes.h"

namespace {

struct RecordingLoad : testsupport::EditorHarness {
    RecordingLoad() {
        // Every program its own noise, then program 2 current with a Tempo
        // and Range of its own, which the analysis must follow.
        std::mt19937 rng(99);
        {
            auto access = synth().spectrogram().pictures();
            for (int p = 0; p < 4; ++p)
                for (int i = 0; i < audio::kPicturePixels; ++i)
                    access.picture(p)[i] = rng() & 0x00FFFFFFu;
        }
        synth().setProgram(2);
        synth().setParameter(synth().parameterIndex("Tempo"), 0.25f);
        synth().setParameter(synth().parameterIndex("Range"), 0.8f);
        EXPECT_TRUE(open());
        for (int p = 0; p < 4; ++p)
            before.push_back(pictureOf(p));
    }
    std::vector<std::uint32_t> pictureOf(int program) {
        auto access = synth().spectrogram().pictures();
        return {access.picture(program), access.picture(program) + audio::kPicturePixels};
    }
    void write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
        ASSERT_TRUE(platform::writeFileBytes(path, bytes.data(), bytes.size()));
    }

    std::vector<std::vector<std::uint32_t>> before;
    testsupport::TempDir dir;
    testsupport::FileDialogAnswer dialog;
    testsupport::MessageRecorder boxes;
};

// A chord in stereo (different on either side), 16-bit.
std::vector<float> chord() {
    constexpr double kPi = 3.141592653589793;
    std::vector<float> s(2 * 44100);
    for (std::size_t i = 0; i < s.size() / 2; ++i) {
        const double t = static_cast<double>(i) / 44100;
        s[2 * i] = static_cast<float>(0.3 * std::sin(2 * kPi * 440 * t));
        s[2 * i + 1] = static_cast<float>(0.2 * std::sin(2 * kPi * 660 * t));
    }
    return s;
}

TEST(RecordingLoad, AWavBecomesOnlyTheCurrentProgramsPictureWhateverItsName) {
    RecordingLoad c;
    const std::vector<float> samples = chord();
    const auto wav = testsupport::wavBytes({1, 2, 44100, 16}, samples);
    c.write(c.dir.path() / "chord.png", wav);  // a misleading name: the content decides
    c.dialog.answer = c.dir.path() / "chord.png";
    c.click("Load");
    ASSERT_EQ(c.dialog.requests.size(), 1u);
    ASSERT_EQ(c.dialog.requests[0].filters.size(), 3u);
    EXPECT_EQ(c.dialog.requests[0].filters[2].patterns, "*.wav");
    EXPECT_TRUE(c.boxes.boxes.empty());

    // What the analysis makes of the decoded samples with program 2's values.
    std::vector<float> decoded(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        decoded[i] = static_cast<float>(std::lround(samples[i] * 32767)) / 32768.f;
    const auto values = analysis::ProgramValues::read(
        [&c](const char* name) { return c.synth().getParameter(c.synth().parameterIndex(name)); });
    EXPECT_EQ(values.tempo, 0.25f);
    EXPECT_EQ(values.range, 0.8f);
    std::vector<std::uint32_t> expected(audio::kPicturePixels);
    analysis::analyse(decoded.data(), decoded.size() / 2, 2, 44100, analysis::kKeyA4, values,
                      expected.data());
    EXPECT_EQ(c.pictureOf(2), expected);
    for (int p : {0, 1, 3})
        EXPECT_EQ(c.pictureOf(p), c.before[p]) << "program " << p;
}

TEST(RecordingLoad, ADamagedWavChangesNothingAndSaysSo) {
    RecordingLoad c;
    auto cut = testsupport::wavBytes({1, 2, 44100, 16}, chord());
    cut.resize(cut.size() / 2);
    c.write(c.dir.path() / "cut.wav", cut);
    auto threeChannels = testsupport::wavBytes({1, 3, 44100, 16}, std::vector<float>(300, 0.1f));
    c.write(c.dir.path() / "surround.wav", threeChannels);
    int boxes = 0;
    for (const char* name : {"cut.wav", "surround.wav"}) {
        c.dialog.answer = c.dir.path() / name;
        c.click("Load");
        for (int p = 0; p < 4; ++p)
            EXPECT_EQ(c.pictureOf(p), c.before[p]) << name << ", program " << p;
        ASSERT_EQ(c.boxes.boxes.size(), static_cast<std::size_t>(++boxes)) << name;
        const std::string& text = c.boxes.boxes.back().text;
        EXPECT_NE(text.find(name), std::string::npos) << text;
        EXPECT_NE(text.find("recording"), std::string::npos) << text;
    }
    EXPECT_NE(c.boxes.boxes[0].text.find("cut short"), std::string::npos);
    EXPECT_NE(c.boxes.boxes[1].text.find("3 channels"), std::string::npos);
}

}  // namespace
