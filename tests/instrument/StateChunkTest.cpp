// Saving and restoring: the chunk byte for byte, round trips between
// instances, and what the reader does with chunks it did not write.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "instrument/Lumavox.h"
#include "instrument/StateChunk.h"
#include "platform/Resource.h"
#include "resources/ResourceIds.h"
#include "tests/support/MessageRecorder.h"

namespace {

using lumavox::Lumavox;
using testsupport::MessageRecorder;

std::vector<std::uint8_t> chunkOf(Lumavox& synth, bool isPreset) {
    void* data = nullptr;
    const VstInt32 size = synth.getChunk(&data, isPreset);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return {bytes, bytes + size};
}

// A chunk of the text strings given, then "Spctr=" and picture bytes.
std::vector<std::uint8_t> makeChunk(const std::vector<std::string>& strings,
                                    std::size_t pictureBytes = 0, bool terminate = true) {
    std::vector<std::uint8_t> chunk = {'X', 'V', 'M', 'L'};
    for (const std::string& s : strings) {
        chunk.insert(chunk.end(), s.begin(), s.end());
        chunk.push_back(0);
    }
    if (terminate) {
        const char end[] = "Spctr=";
        chunk.insert(chunk.end(), end, end + sizeof end);  // with its NUL
    }
    chunk.resize(chunk.size() + pictureBytes, 0x11);
    return chunk;
}

VstInt32 load(Lumavox& synth, std::vector<std::uint8_t> chunk, bool isPreset) {
    return synth.setChunk(chunk.data(), static_cast<VstInt32>(chunk.size()), isPreset);
}

float value(Lumavox& synth, int program, const char* name) {
    return synth.program(program).values[synth.parameterIndex(name)];
}

void scramble(Lumavox& synth, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> unit(0.f, 1.f);
    for (int p = 0; p < 4; ++p) {
        synth.setProgram(p);
        for (int i = 0; i < 27; ++i)
            synth.setParameter(i, unit(rng));
        char name[32];
        std::snprintf(name, sizeof name, "Random %u/%d", seed, p);
        synth.setProgramName(name);
        auto access = synth.spectrogram().pictures();
        for (int i = 0; i < audio::kPicturePixels; ++i)
            access.current()[i] = rng();
    }
    synth.setProgram(1);
}

TEST(StateChunk, ANewInstanceSavesTheFactoryBankAsItIs) {
    Lumavox synth(nullptr);
    const platform::ResourceBytes bank = platform::findResource("FXB", LUMAVOX_RES_FACTORY_BANK);
    ASSERT_EQ(bank.size, 160 + lumavox::kBankChunkSize);
    const auto chunk = chunkOf(synth, false);
    ASSERT_EQ(chunk.size(), lumavox::kBankChunkSize);
    EXPECT_EQ(std::memcmp(chunk.data(), bank.data + 160, chunk.size()), 0);
    EXPECT_EQ(std::memcmp(&chunk[1982], "Spctr=", 7), 0);
    for (std::size_t i = 1989 + 2048 * 512 * 3; i < chunk.size(); ++i)
        ASSERT_EQ(chunk[i], 0) << i;
    EXPECT_EQ(chunk.size() - (1989 + 2048 * 512 * 3), 67u);
}

TEST(StateChunk, ANewInstanceHasTheFactoryPrograms) {
    Lumavox synth(nullptr);
    const char* names[] = {"Hello World!", "Particles", "Photo", "Raise up"};
    for (int p = 0; p < 4; ++p)
        EXPECT_STREQ(synth.program(p).name, names[p]);
    EXPECT_EQ(synth.getProgram(), 0);
    EXPECT_EQ(synth.getParameter(synth.parameterIndex("Volume")), 0.69f);
    EXPECT_EQ(synth.getParameter(synth.parameterIndex("BndRng")), 1.f / 12.f);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(value(synth, 3, "Range")), 0x3f70a3d7u);
}

TEST(StateChunk, TheProgramFormIsTheCurrentProgram) {
    Lumavox synth(nullptr);
    synth.setProgram(2);
    const auto chunk = chunkOf(synth, true);
    ASSERT_EQ(chunk.size(), lumavox::kProgramChunkSize);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&chunk[4])), "Volume=3f23d70a");
    EXPECT_EQ(std::memcmp(&chunk[426], "Spctr=", 7), 0);  // the picture starts at 433
    for (std::size_t i = 433 + 512 * 512 * 3; i < chunk.size(); ++i)
        ASSERT_EQ(chunk[i], 0);
}

TEST(StateChunk, BankRoundTripRestoresEveryValueNameAndPixel) {
    const unsigned seed = 4242;
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    Lumavox source(nullptr);
    scramble(source, seed);
    const auto chunk = chunkOf(source, false);
    Lumavox target(nullptr);
    EXPECT_EQ(load(target, chunk, false), 1);
    target.setProgram(1);
    for (int p = 0; p < 4; ++p) {
        EXPECT_STREQ(target.program(p).name, source.program(p).name);
        for (int i = 0; i < 27; ++i)
            EXPECT_EQ(std::bit_cast<std::uint32_t>(target.program(p).values[i].load()),
                      std::bit_cast<std::uint32_t>(source.program(p).values[i].load()))
                << p << "/" << i;
        auto a = source.spectrogram().pictures();
        auto b = target.spectrogram().pictures();
        for (int i = 0; i < audio::kPicturePixels; ++i)
            ASSERT_EQ(b.picture(p)[i], a.picture(p)[i] & 0x00FFFFFFu) << p << "/" << i;
    }
    EXPECT_EQ(chunkOf(target, false), chunk);
}

TEST(StateChunk, ProgramRoundTripLandsInTheCurrentProgram) {
    Lumavox source(nullptr);
    scramble(source, 99);
    const auto chunk = chunkOf(source, true);  // program 1
    Lumavox target(nullptr);
    target.setProgram(3);
    load(target, chunk, true);
    EXPECT_EQ(target.getProgram(), 3);
    for (int i = 0; i < 27; ++i)
        EXPECT_EQ(target.getParameter(i), source.getParameter(i)) << i;
    Lumavox fresh(nullptr);
    auto a = source.spectrogram().pictures();
    auto b = target.spectrogram().pictures();
    auto factory = fresh.spectrogram().pictures();
    EXPECT_EQ(std::memcmp(factory.picture(0), b.picture(0), 4 * audio::kPicturePixels), 0);
    for (int i = 0; i < audio::kPicturePixels; ++i)
        ASSERT_EQ(b.picture(3)[i], a.picture(1)[i] & 0x00FFFFFFu);
}

TEST(StateChunk, EachInstanceKeepsItsOwnSavedChunk) {
    Lumavox first(nullptr), second(nullptr);
    void* firstData = nullptr;
    first.getChunk(&firstData, true);
    const std::vector<std::uint8_t> saved(static_cast<std::uint8_t*>(firstData),
                                          static_cast<std::uint8_t*>(firstData) + 100);
    second.setProgram(3);
    void* secondData = nullptr;
    second.getChunk(&secondData, true);
    EXPECT_NE(firstData, secondData);
    EXPECT_EQ(std::memcmp(firstData, saved.data(), saved.size()), 0);
}

TEST(StateChunk, KeysIgnoreCaseAndBelongToTheirForm) {
    Lumavox synth(nullptr);
    MessageRecorder boxes;
    load(synth, makeChunk({"00volume=3f000000", "01PAN=3e800000"}), false);
    EXPECT_EQ(value(synth, 0, "Volume"), 0.5f);
    EXPECT_EQ(value(synth, 1, "Pan"), 0.25f);
    EXPECT_TRUE(boxes.boxes.empty());

    load(synth, makeChunk({"Volume=3f000000"}), false);        // program-form key in a bank
    load(synth, makeChunk({"00Volume=3f000000"}), true);       // and the other way round
    load(synth, makeChunk({"Foo=1", "Tool=3f000000"}), true);  // an editor key: silent
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[0].text, "Volume");
    EXPECT_EQ(boxes.boxes[1].text, "00Volume");
    EXPECT_EQ(boxes.boxes[2].text, "Foo");
    EXPECT_EQ(boxes.boxes[2].caption, "NotFound");
}

TEST(StateChunk, ValuesAreStoredAsReadThenClampedAndStepped) {
    Lumavox synth(nullptr);
    load(synth, makeChunk({"Volume=40000000", "BndRng=3f000001"}), true);  // 2.0; just over 0.5
    EXPECT_EQ(synth.getParameter(0), 1.f);
    EXPECT_EQ(value(synth, 0, "Volume"), 1.f);
    EXPECT_EQ(synth.getParameter(synth.parameterIndex("BndRng")), 0.5f);
}

TEST(StateChunk, AForeignIdChangesNothing) {
    Lumavox synth(nullptr);
    const auto before = chunkOf(synth, false);
    auto chunk = before;
    chunk[0] = 'Y';
    EXPECT_EQ(load(synth, chunk, false), 1);
    EXPECT_EQ(synth.setChunk(nullptr, 100, false), 1);
    EXPECT_EQ(chunkOf(synth, false), before);
}

TEST(StateChunk, AnEmptyStringEndsTheTextLikeSpctr) {
    Lumavox synth(nullptr);
    auto chunk = makeChunk({"Volume=3f000000", ""}, 0, false);
    for (int i = 0; i < 512 * 512; ++i)
        chunk.insert(chunk.end(), {0x03, 0x02, 0x01});
    load(synth, chunk, true);
    EXPECT_EQ(synth.spectrogram().pictures().current()[777], 0x00010203u);
    EXPECT_EQ(synth.getParameter(0), 0.5f);
}

TEST(StateChunk, DamagedChunksLoadWhatIsWholeAndNothingBeyond) {
    Lumavox synth(nullptr);
    MessageRecorder boxes;
    const std::uint32_t before = synth.spectrogram().pictures().picture(1)[0];
    // A bank cut off inside its pictures: program 0's rows that are whole
    // arrive, program 1 keeps its own.
    auto cut = makeChunk(
        {"00_Name_=" + std::string(40, 'n'), "07Volume=3f000000", "02Pan=zz", "02Tune=3e800000"},
        100 * lumavox::kPictureRowBytes + 7);
    load(synth, cut, false);
    EXPECT_EQ(std::string(synth.program(0).name), std::string(23, 'n'));
    EXPECT_EQ(value(synth, 2, "Pan"), 0.5f);  // not hexadecimal: left as it was
    EXPECT_EQ(value(synth, 2, "Tune"), 0.25f);
    auto pictures = synth.spectrogram().pictures();
    EXPECT_EQ(pictures.picture(0)[99 * 512], 0x00111111u);
    EXPECT_NE(pictures.picture(0)[100 * 512], 0x00111111u);
    EXPECT_EQ(pictures.picture(1)[0], before);
}

TEST(StateChunk, AStringCutByTheEndOfTheChunkEndsTheReading) {
    Lumavox synth(nullptr);
    std::vector<std::uint8_t> chunk = {'X', 'V', 'M', 'L', 'V', 'o', 'l', 'u', 'm', 'e', '='};
    const float volume = synth.getParameter(0);
    EXPECT_EQ(load(synth, chunk, true), 1);
    EXPECT_EQ(synth.getParameter(0), volume);
}

TEST(StateChunk, AChunkFullOfUnknownKeysShowsOnlyAFewBoxes) {
    Lumavox synth(nullptr);
    MessageRecorder boxes;
    std::vector<std::string> junk(500, "Nonsense=1");
    junk.push_back(std::string(5000, 'k') + "=1");
    load(synth, makeChunk(junk), true);
    EXPECT_EQ(boxes.boxes.size(), static_cast<std::size_t>(Lumavox::kMaxNotFoundBoxes));
    load(synth, makeChunk({std::string(5000, 'k') + "=1"}), true);
    EXPECT_LE(boxes.boxes.back().text.size(), 64u);  // a key cut to fit a box
}

}  // namespace
