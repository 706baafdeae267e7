#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/lumavox-render/AudioFileWriter.h"
#include "tools/lumavox-render/FileIo.h"
#include "tools/lumavox-render/RenderError.h"
#include "tools/lumavox-render/TpdfDither.h"

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

// The GUID of a sub-format tag: {0000000X-0000-0010-8000-00AA00389B71}.
std::string subFormat(std::uint8_t tag) {
    const std::uint8_t guid[16] = {tag,  0, 0,    0,    0,    0,    0x10, 0,
                                   0x80, 0, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    return std::string(guid, guid + 16);
}

TEST(WavWriter, FloatFilesCarryTheExtensibleHeaderAndAFactChunk) {
    const std::vector<float> samples = {0.5f, -0.25f, 1.5f, -1.f, 0.f, 0.125f};
    const auto b = writeWav(SampleFormat::Float32, samples);
    EXPECT_EQ(text(b, 0), "RIFF");
    EXPECT_EQ(little(b, 4, 4), b.size() - 8);
    EXPECT_EQ(text(b, 8), "WAVE");
    EXPECT_EQ(text(b, 12), "fmt ");
    EXPECT_EQ(little(b, 16, 4), 40u);
    EXPECT_EQ(little(b, 20, 2), 0xFFFEu) << "WAVE_FORMAT_EXTENSIBLE";
    EXPECT_EQ(little(b, 22, 2), 2u);
    EXPECT_EQ(little(b, 24, 4), 48000u);
    EXPECT_EQ(little(b, 28, 4), 48000u * 8);
    EXPECT_EQ(little(b, 32, 2), 8u);
    EXPECT_EQ(little(b, 34, 2), 32u);
    EXPECT_EQ(little(b, 36, 2), 22u) << "extension size";
    EXPECT_EQ(little(b, 38, 2), 32u) << "valid bits";
    EXPECT_EQ(little(b, 40, 4), 3u) << "front left and right";
    EXPECT_EQ(std::string(b.begin() + 44, b.begin() + 60), subFormat(3)) << "IEEE float";
    EXPECT_EQ(text(b, 60), "fact");
    EXPECT_EQ(little(b, 64, 4), 4u);
    EXPECT_EQ(little(b, 68, 4), 3u) << "frames";
    EXPECT_EQ(text(b, 72), "data");
    ASSERT_EQ(little(b, 76, 4), 24u);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        float v;
        std::memcpy(&v, &b[80 + 4 * i], 4);
        EXPECT_EQ(v, samples[i]) << "float samples are not clipped";
    }
}

TEST(WavWriter, PcmFilesAreDitheredByAtMostOneStepAndClipAtFullScale) {
    const std::vector<float> samples = {0.5f, -0.5f, 2.f, -2.f, 0.f, 1.f};
    const auto b16 = writeWav(SampleFormat::Pcm16, samples);
    EXPECT_EQ(little(b16, 16, 4), 16u) << "16 bits keep the plain header every reader knows";
    EXPECT_EQ(little(b16, 20, 2), 1u);
    EXPECT_EQ(little(b16, 34, 2), 16u);
    ASSERT_EQ(text(b16, 36), "data");
    ASSERT_EQ(little(b16, 40, 4), 12u);
    const int expected16[] = {16384, -16384, 32767, -32768, 0, 32767};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_NEAR(static_cast<std::int16_t>(little(b16, 44 + 2 * i, 2)), expected16[i], 1) << i;

    const auto b24 = writeWav(SampleFormat::Pcm24, samples);
    EXPECT_EQ(little(b24, 20, 2), 0xFFFEu);
    EXPECT_EQ(little(b24, 34, 2), 24u);
    EXPECT_EQ(std::string(b24.begin() + 44, b24.begin() + 60), subFormat(1)) << "PCM";
    ASSERT_EQ(text(b24, 72), "data");
    ASSERT_EQ(little(b24, 76, 4), 18u);
    const auto sample24 = [&](int i) {
        const std::uint32_t v = little(b24, 80 + 3 * static_cast<std::size_t>(i), 3);
        return static_cast<int>(v << 8) >> 8;
    };
    EXPECT_NEAR(sample24(0), 4194304, 1);
    EXPECT_EQ(sample24(2), 8388607);
    EXPECT_EQ(sample24(3), -8388608);
}

TEST(TpdfDither, IsTheSameEveryTimeAndKeepsLevelsBelowOneStep) {
    // Dither turns a level between two steps into a mix of its neighbours
    // whose mean is that level; plain rounding would give 0 for a quarter step.
    TpdfDither a, b;
    double sum = 0.0;
    constexpr int kCount = 200000;
    for (int i = 0; i < kCount; ++i) {
        const int q = a.quantise(0.25f / 32768.f, 16);
        ASSERT_EQ(q, b.quantise(0.25f / 32768.f, 16)) << "the same seed, the same noise";
        ASSERT_GE(q, -1);
        ASSERT_LE(q, 1);
        sum += q;
    }
    EXPECT_NEAR(sum / kCount, 0.25, 0.01);
    TpdfDither other(12345);
    int differing = 0;
    for (int i = 0; i < 100; ++i)
        differing += other.quantise(0.f, 24) != a.quantise(0.f, 24);
    EXPECT_GT(differing, 10) << "another seed, other noise";
    EXPECT_EQ(a.quantise(std::nanf(""), 16), 0);
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
