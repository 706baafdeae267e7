// The WAV reader on every kind it takes and on damaged files, which it
// must refuse with a reason and without reading past their end.
#include <gtest/gtest.h>

#include <vector>

#include "instrument/analysis/WavReader.h"
#include "tests/support/WavBytes.h"

namespace {

using testsupport::wavBytes;
using testsupport::WavSpec;

const std::vector<float> kStereo = {0.5f, -0.25f, -1.f, 0.75f, 0.f, 0.125f};

TEST(WavReader, ReadsEveryKindItTakes) {
    struct Kind {
        const char* what;
        WavSpec spec;
        float tolerance;
    };
    const Kind kinds[] = {
        {"16-bit", {1, 2, 48000, 16}, 1.f / 32000},
        {"24-bit", {1, 2, 44100, 24}, 1.f / 8000000},
        {"32-bit", {1, 2, 96000, 32}, 1e-7f},
        {"float", {3, 2, 44100, 32}, 0.f},
        {"extensible 24-bit", {1, 2, 44100, 24, true}, 1.f / 8000000},
        {"extensible float", {3, 2, 44100, 32, true}, 0.f},
        {"16-bit after an odd chunk", {1, 2, 44100, 16, false, true}, 1.f / 32000},
    };
    for (const Kind& kind : kinds) {
        const auto bytes = wavBytes(kind.spec, kStereo);
        ASSERT_TRUE(analysis::looksLikeWav(bytes.data(), bytes.size()));
        analysis::WavRecording wav;
        std::string error;
        ASSERT_TRUE(analysis::readWav(bytes.data(), bytes.size(), wav, error))
            << kind.what << error;
        EXPECT_EQ(wav.channels, 2) << kind.what;
        EXPECT_EQ(wav.sampleRate, kind.spec.rate) << kind.what;
        EXPECT_EQ(wav.frames, 3u) << kind.what;
        ASSERT_EQ(wav.samples.size(), kStereo.size()) << kind.what;
        for (std::size_t i = 0; i < kStereo.size(); ++i)
            EXPECT_NEAR(wav.samples[i], kStereo[i], kind.tolerance) << kind.what << " sample " << i;
    }
    // Mono, and only as much as asked for.
    const auto mono = wavBytes({1, 1, 1000, 16}, std::vector<float>(3000, 0.5f));
    analysis::WavRecording wav;
    std::string error;
    ASSERT_TRUE(analysis::readWav(mono.data(), mono.size(), wav, error, 2.0));
    EXPECT_EQ(wav.frames, 3000u);
    EXPECT_EQ(wav.samples.size(), 2000u);
}

TEST(WavReader, RefusesDamagedAndForeignFilesWithAReason) {
    const auto good = wavBytes({1, 2, 44100, 16}, kStereo);
    auto cut = good;
    cut.resize(cut.size() - 1);  // the data chunk claims one byte more than there is
    auto noFormat = good;
    noFormat[12] = 'X';  // "fmt " becomes "Xmt ", an unknown chunk
    auto huge = good;
    huge[16] = 0xFF, huge[17] = 0xFF, huge[18] = 0xFF, huge[19] = 0xFF;  // fmt size 4 GB
    auto badGuid = wavBytes({1, 2, 44100, 16, true}, kStereo);
    badGuid[12 + 8 + 30] ^= 1;
    auto float64 = wavBytes({3, 1, 44100, 32}, {0.f, 0.f});
    float64[12 + 8 + 14] = 64;  // 64-bit float, not read
    auto noSamples = wavBytes({1, 1, 44100, 16}, {});
    struct Bad {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* reason;
    };
    const Bad bad[] = {
        {"cut", cut, "cut short"},
        {"header only", {good.begin(), good.begin() + 12}, "no format chunk"},
        {"no format", noFormat, "no format chunk"},
        {"fmt chunk past the end", huge, "cut short"},
        {"three channels", wavBytes({1, 3, 44100, 16}, {0.f, 0.f, 0.f}), "3 channels"},
        {"8-bit", wavBytes({1, 1, 44100, 8}, {}), "8-bit PCM"},
        {"64-bit float", float64, "64-bit float"},
        {"foreign sub-format", badGuid, "not PCM or float"},
        {"sample rate 0", wavBytes({1, 1, 0, 16}, {0.f}), "sample rate"},
        {"no samples", noSamples, "no samples"},
        {"not RIFF", {'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}, "not a WAV"},
    };
    for (const Bad& b : bad) {
        analysis::WavRecording wav;
        wav.channels = 99;
        std::string error;
        EXPECT_FALSE(analysis::readWav(b.bytes.data(), b.bytes.size(), wav, error)) << b.what;
        EXPECT_NE(error.find(b.reason), std::string::npos) << b.what << ": " << error;
        EXPECT_EQ(wav.channels, 99) << b.what;  // untouched
    }
}

}  // namespace
