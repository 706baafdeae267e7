// When the instrument rebuilds its wave tables: once at the end of every
// state change, from the state it ends in.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "instrument/Lumavox.h"
#include "modules/SpectralRebuild.h"

namespace {

using lumavox::Lumavox;

std::vector<std::uint8_t> chunkOf(Lumavox& synth, bool isPreset) {
    void* data = nullptr;
    const VstInt32 size = synth.getChunk(&data, isPreset);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return {bytes, bytes + size};
}

// Whether the tables in use are exactly those of the current picture and
// the current rebuild parameters.
bool tablesMatchTheState(Lumavox& synth) {
    auto value = [&](const char* name) { return synth.getParameter(synth.parameterIndex(name)); };
    const audio::RebuildSettings settings{value("Tune"), value("Range"), value("Log"),
                                          value("Fat"),  value("Spike"), value("Filter")};
    auto expected = std::make_unique<audio::WaveTableSet>();
    {
        const auto pictures = synth.spectrogram().readPictures();
        audio::rebuildWaveTables(pictures.picture(synth.getProgram()), settings, *expected);
    }
    const audio::WaveTableSet& actual = synth.spectrogram().latestTables();
    return std::memcmp(actual.wave, expected->wave, sizeof expected->wave) == 0 &&
           actual.fadeLength == expected->fadeLength;
}

TEST(RebuildRequests, EveryStateChangeRebuildsOnceFromTheStateItEndsIn) {
    Lumavox synth(nullptr);
    const audio::MoSpectrogram& s = synth.spectrogram();
    EXPECT_EQ(s.rebuildCount(), 1) << "construction with the factory bank";
    EXPECT_TRUE(tablesMatchTheState(synth));

    // A second instance whose every rebuild value and picture differ.
    const unsigned seed = 11;
    Lumavox other(nullptr);
    std::mt19937 rng(seed);
    for (const char* name : {"Tune", "Range", "Fat", "Spike", "Log", "Filter"})
        other.setParameter(other.parameterIndex(name),
                           0.3f + 0.01f * static_cast<float>(rng() % 50));
    {
        auto access = other.spectrogram().pictures();
        for (int i = 0; i < audio::kPicturePixels; ++i)
            access.current()[i] = rng() & 0x00FFFFFF;
    }
    std::vector<std::uint8_t> program = chunkOf(other, true);
    std::vector<std::uint8_t> bank = chunkOf(other, false);

    int before = s.rebuildCount();
    synth.setChunk(program.data(), static_cast<VstInt32>(program.size()), true);
    EXPECT_EQ(s.rebuildCount(), before + 1) << "program form, seed " << seed;
    EXPECT_TRUE(tablesMatchTheState(synth));

    synth.setParameter(synth.parameterIndex("Range"), 0.9f);
    before = s.rebuildCount();
    synth.setChunk(bank.data(), static_cast<VstInt32>(bank.size()), false);
    EXPECT_EQ(s.rebuildCount(), before + 1) << "bank form";
    EXPECT_TRUE(tablesMatchTheState(synth));

    before = s.rebuildCount();
    synth.setProgram(3);
    EXPECT_EQ(s.rebuildCount(), before + 1) << "setProgram";
    EXPECT_TRUE(tablesMatchTheState(synth));

    // A value that does not change rebuilds nothing, even after the pictures
    // were read for saving; nor does a value the rebuild does not read.
    const int tune = synth.parameterIndex("Tune");
    before = s.rebuildCount();
    synth.setParameter(tune, synth.getParameter(tune));
    chunkOf(synth, false);
    synth.setParameter(tune, synth.getParameter(tune));
    synth.setParameter(synth.parameterIndex("Volume"), 0.3f);
    EXPECT_EQ(s.rebuildCount(), before);
    synth.setParameter(tune, 0.6f);
    EXPECT_EQ(s.rebuildCount(), before + 1);
}

}  // namespace
