// When the instrument rebuilds its wave tables, and on which thread: once at
// the end of every state change, from the state it ends in; never while a
// message box waits with the picture lock held; never on a real-time audio
// thread, but at once when the host renders offline.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "instrument/Lumavox.h"
#include "modules/SpectralRebuild.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestSynth.h"

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

// Answers the version, and the process level of the test's choice.
std::atomic<VstIntPtr> gProcessLevel{kVstProcessLevelRealtime};

VstIntPtr VSTCALLBACK levelHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterGetCurrentProcessLevel) return gProcessLevel.load();
    return 0;
}

void renderBlock(Lumavox& synth, VstEvents* events = nullptr) {
    if (events) synth.processEvents(events);
    std::vector<float> left(88), right(88);
    float* out[2] = {left.data(), right.data()};
    synth.processReplacing(nullptr, out, 88);
}

bool waitFor(const std::function<bool()>& condition) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return condition();
}

TEST(RebuildRequests, TheAudioThreadLeavesRebuildsToTheWorkerUnlessTheHostRendersOffline) {
    gProcessLevel = kVstProcessLevelRealtime;
    Lumavox synth(levelHost);
    const audio::MoSpectrogram& s = synth.spectrogram();
    const int range = synth.parameterIndex("Range");
    {
        // Every pixel sounding: a rebuild takes a millisecond or more.
        auto access = synth.spectrogram().pictures();
        std::fill_n(access.current(), audio::kPicturePixels, 0x00C0C0C0u);
        access.rebuild();
    }
    const int built = s.rebuildCount();
    std::thread audio([&] {
        renderBlock(synth);
        // Automation from the audio thread between two blocks: only a request.
        synth.setParameter(range, 0.2f);
    });
    audio.join();
    ASSERT_TRUE(waitFor([&] { return s.rebuildCount() == built + 1; }))
        << "the worker never rebuilt";
    { const auto afterTheWorker = synth.spectrogram().readPictures(); }
    EXPECT_EQ(s.latestTables().rowScale, 0.2f * 0.9f + 0.05f);

    // A bounce: the rebuild comes at once, on the audio thread, whether the
    // change comes from a controller inside the block or from the host
    // between blocks.
    gProcessLevel = kVstProcessLevelOffline;
    testsupport::EventList controller;
    controller.add(testsupport::midiEvent(0, 0xB0, 15, 127));  // Range's controller: 1.0
    renderBlock(synth, controller.get());
    EXPECT_EQ(s.rebuildCount(), built + 2);
    EXPECT_EQ(s.latestTables().rowScale, 1.f * 0.9f + 0.05f);
    synth.setParameter(range, 0.4f);
    EXPECT_EQ(s.rebuildCount(), built + 3);
    gProcessLevel = kVstProcessLevelRealtime;
}

// Tries the picture lock from another thread while the box is showing.
class LockProbe : public platform::MessageBoxHook {
  public:
    explicit LockProbe(Lumavox& synth) : synth_(synth) { platform::setMessageBoxHook(this); }
    ~LockProbe() override {
        platform::setMessageBoxHook(nullptr);
        for (std::thread& t : probes_)
            t.join();
    }
    platform::MessageAnswer show(const char*, const char*, platform::MessageButtons) override {
        auto taken = std::make_shared<std::atomic<bool>>(false);
        probes_.emplace_back([this, taken] {
            const auto access = synth_.spectrogram().pictures();
            *taken = true;
        });
        if (waitFor([&] { return taken->load(); })) ++freeWhileShowing;
        ++boxes;
        return platform::MessageAnswer::Ok;
    }
    int boxes = 0;
    int freeWhileShowing = 0;

  private:
    Lumavox& synth_;
    std::vector<std::thread> probes_;
};

TEST(RebuildRequests, NoLockIsHeldWhileANotFoundBoxWaitsForTheUser) {
    Lumavox synth(nullptr);
    std::vector<std::uint8_t> chunk = chunkOf(synth, true);
    std::memcpy(chunk.data() + 4, "Foo=", 4);  // the first key becomes one that names nothing
    LockProbe probe(synth);
    synth.setChunk(chunk.data(), static_cast<VstInt32>(chunk.size()), true);
    ASSERT_EQ(probe.boxes, 1);
    EXPECT_EQ(probe.freeWhileShowing, 1);
}

}  // namespace
