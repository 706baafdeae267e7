// The instrument under the threads a host gives it: an audio thread playing
// notes, moving controllers and automating (which hands rebuilds to the
// worker), a host thread changing parameters, programs and the whole program
// state, an editor thread painting, rebuilding and reading the wave display.
// Run under ThreadSanitizer, it must produce no report; everywhere it must
// neither hang nor crash.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "instrument/Lumavox.h"
#include "tests/support/TestSynth.h"

namespace {

using testsupport::EventList;
using testsupport::midiEvent;

// The instrument with its editor reported open, so the display is drawn.
class OpenEditorLumavox : public lumavox::Lumavox {
  public:
    OpenEditorLumavox() : Lumavox(nullptr) { setEditorOpen(true); }
};

TEST(Concurrency, AudioHostAndEditorThreadsShareTheInstrument) {
    OpenEditorLumavox synth;
    synth.setParameter(synth.parameterIndex("WavDsp"), 1.f);
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};

    std::thread audio([&] {
        EventList notes, controllers, releases;
        for (int k = 0; k < 6; ++k)
            notes.add(midiEvent(k * 20, 0x90, 50 + 4 * k, 100));
        controllers.add(midiEvent(5, 0xB0, 14, 70)).add(midiEvent(50, 0xB0, 15, 20));
        controllers.add(midiEvent(90, 0xB0, 18, 127)).add(midiEvent(95, 0xB0, 7, 90));
        for (int k = 0; k < 6; ++k)
            releases.add(midiEvent(k * 10, 0x80, 50 + 4 * k, 0));
        VstEvents* lists[] = {notes.get(), controllers.get(), releases.get()};
        std::vector<float> left(256), right(256);
        float* out[2] = {left.data(), right.data()};
        const int fat = synth.parameterIndex("Fat");
        for (long n = 0; !stop; ++n) {
            if (n % 20 == 0) synth.processEvents(lists[(n / 20) % 3]);
            // Automation from the audio thread between blocks: a request only.
            if (n % 30 == 5) synth.setParameter(fat, static_cast<float>(n % 9) / 9.f);
            synth.processReplacing(nullptr, out, 256);
            ++blocks;
        }
    });
    std::thread host([&] {
        std::vector<std::uint8_t> program;
        {
            void* data = nullptr;
            const VstInt32 size = synth.getChunk(&data, true);
            program.assign(static_cast<std::uint8_t*>(data),
                           static_cast<std::uint8_t*>(data) + size);
        }
        for (int n = 0; !stop; ++n) {
            if (n % 7 == 3)  // a state change: one rebuild at its end
                synth.setChunk(program.data(), static_cast<VstInt32>(program.size()), true);
            synth.setParameter(synth.parameterIndex("Tune"), (n % 10) / 10.f);
            synth.setParameter(synth.parameterIndex("Range"), (n % 7) / 7.f);
            synth.setParameter(synth.parameterIndex("Log"), static_cast<float>(n % 2));
            synth.setParameter(synth.parameterIndex("Spike"), (n % 3) / 3.f);
            if (n % 5 == 0) synth.setProgram(n % 4);
            synth.getParameter(synth.parameterIndex("Volume"));
        }
    });
    std::thread editor([&] {
        for (int n = 0; !stop; ++n) {
            {
                auto access = synth.spectrogram().pictures();
                for (int i = 0; i < 5000; ++i)
                    access.current()[(n * 7919 + i * 13) % audio::kPicturePixels] = 0x00FF8000;
                access.rebuild();
            }
            if (n % 4 == 0) synth.spectrogram().invert();
            const std::uint32_t* display = synth.spectrogram().displayPicture();
            volatile std::uint32_t sink = display[n % audio::kPicturePixels];
            (void)sink;
        }
    });

    // Enough for a good number of rebuilds on each side. A sanitizer build on
    // a busy machine rebuilds slowly, so the run lasts until they have
    // happened (within a minute) rather than for a fixed time alone.
    const auto start = std::chrono::steady_clock::now();
    const auto until = start + std::chrono::milliseconds(1500);
    const auto deadline = start + std::chrono::seconds(60);
    while ((std::chrono::steady_clock::now() < until || blocks < 200 ||
            synth.spectrogram().rebuildCount() <= 10) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    stop = true;
    audio.join();
    host.join();
    editor.join();
    EXPECT_GT(synth.spectrogram().rebuildCount(), 10);
}

}  // namespace
