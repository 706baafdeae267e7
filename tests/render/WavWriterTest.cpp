#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/lumavox-render/AudioFileWriter.h"
#include "tools/lumavox-render/FileIo.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

std::uint32_t little(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

std::string text(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
}

// Relative path: these tests also run under wine, which maps the working folder.
std::vector<std::uint8_t> writeWav(SampleFormat format, const std::vector<float>& stereo) {
    const std::string path = "wav-writer-test.wav";
    AudioFileSpec spec;
    spec.path = path;
    spec.displayName = path;
    spec.format = format;
    spec.sampleRate = 48000;
    auto writer = openWavFile(spec);
    writer->write(stereo.data(), 1);
    writer->write(stereo.data() + 2, static_cast<long>(stereo.size() / 2 - 1));
    writer->close();
    auto bytes = readWholeFile(path);
    std::remove(path.c_str());
    return bytes;
}

TEST(WavWriter, FloatFilesCarryFormat3AndAFactChunk) {
    const std::vector<float> samples = {0.5f, -0.25f, 1.5f, -1.f, 0.f, 0.125f};
    const auto b = writeWav(SampleFormat::Float32, samples);
    EXPECT_EQ(text(b, 0), "RIFF");
    EXPECT_EQ(little(b, 4, 4), b.size() - 8);
    EXPECT_EQ(text(b, 8), "WAVE");
    EXPECT_EQ(text(b, 12), "fmt ");
    EXPECT_EQ(little(b, 16, 4), 18u);
    EXPECT_EQ(little(b, 20, 2), 3u);
    EXPECT_EQ(little(b, 22, 2), 2u);
    EXPECT_EQ(little(b, 24, 4), 48000u);
    EXPECT_EQ(little(b, 28, 4), 48000u * 8);
    EXPECT_EQ(little(b, 32, 2), 8u);
    EXPECT_EQ(little(b, 34, 2), 32u);
    EXPECT_EQ(text(b, 38), "fact");
    EXPECT_EQ(little(b, 46, 4), 3u) << "frames";
    EXPECT_EQ(text(b, 50), "data");
    ASSERT_EQ(little(b, 54, 4), 24u);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        float v;
        std::memcpy(&v, &b[58 + 4 * i], 4);
        EXPECT_EQ(v, samples[i]) << "float samples are not clipped";
    }
}

TEST(WavWriter, PcmFilesRoundAndClipAtFullScale) {
    const std::vector<float> samples = {0.5f, -0.5f, 2.f, -2.f, 0.f, 1.f};
    const auto b16 = writeWav(SampleFormat::Pcm16, samples);
    EXPECT_EQ(little(b16, 16, 4), 16u);
    EXPECT_EQ(little(b16, 20, 2), 1u);
    EXPECT_EQ(little(b16, 34, 2), 16u);
    ASSERT_EQ(text(b16, 36), "data");
    ASSERT_EQ(little(b16, 40, 4), 12u);
    const std::int16_t expected16[] = {16384, -16384, 32767, -32767, 0, 32767};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(static_cast<std::int16_t>(little(b16, 44 + 2 * i, 2)), expected16[i]);

    const auto b24 = writeWav(SampleFormat::Pcm24, samples);
    EXPECT_EQ(little(b24, 34, 2), 24u);
    ASSERT_EQ(little(b24, 40, 4), 18u);
    EXPECT_EQ(little(b24, 44, 3), 4194304u);
    EXPECT_EQ(little(b24, 50, 3), 0x7FFFFFu);
    EXPECT_EQ(little(b24, 53, 3), 0x800001u) << "-8388607";
}

TEST(WavWriter, AFileThatCannotBeMadeIsNamed) {
    AudioFileSpec spec;
    spec.path = "no-such-folder/x.wav.tmp";
    spec.displayName = "no-such-folder/x.wav";
    try {
        openWavFile(spec);
        FAIL();
    } catch (const RenderError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("no-such-folder/x.wav: cannot write (", 0), 0u)
            << e.what();
    }
}

}  // namespace
}  // namespace render
