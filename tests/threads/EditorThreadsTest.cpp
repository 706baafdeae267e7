// The open editor while other threads change parameters: the audio thread
// through MIDI controllers, a host thread through setParameter. The editor's
// thread idles meanwhile and must end up showing the last values. Under
// ThreadSanitizer no thread may touch what another owns.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/support/EditorHarness.h"
#include "tests/support/TestSynth.h"

namespace {

using testsupport::EventList;
using testsupport::midiEvent;

TEST(EditorThreads, ChangesFromTheAudioAndHostThreadsShowAfterTheNextIdle) {
    testsupport::EditorHarness h;
    lumavox::Lumavox& synth = h.synth();
    ASSERT_TRUE(h.open());
    const int volume = synth.parameterIndex("Volume"), pan = synth.parameterIndex("Pan");
    const int range = synth.parameterIndex("Range"), mono = synth.parameterIndex("Mono");
    std::atomic<bool> stop{false};

    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        float* out[2] = {left.data(), right.data()};
        for (int n = 0; n < 400; ++n) {
            EventList controllers;  // Volume (7) and Range (15) by their default controllers
            controllers.add(midiEvent(3, 0xB0, 7, n % 128))
                .add(midiEvent(9, 0xB0, 15, (n * 3) % 128));
            synth.processEvents(controllers.get());
            synth.processReplacing(nullptr, out, 256);
        }
        EventList last;
        last.add(midiEvent(0, 0xB0, 7, 100)).add(midiEvent(0, 0xB0, 15, 50));
        synth.processEvents(last.get());
        synth.processReplacing(nullptr, out, 256);
    });
    std::thread host([&] {
        for (int n = 0; n < 2000; ++n) {
            synth.setParameter(pan, (n % 100) / 100.f);
            synth.setParameter(mono, static_cast<float>(n % 2));
        }
        synth.setParameter(pan, 0.25f);
        synth.setParameter(mono, 1.f);
    });
    std::thread ui([&] {
        while (!stop.load())
            h.editor().idle();
    });
    audio.join();
    host.join();
    stop = true;
    ui.join();

    h.editor().idle();
    EXPECT_FLOAT_EQ(h.editor().control(volume)->getValue(), synth.getParameter(volume));
    EXPECT_FLOAT_EQ(h.editor().control(volume)->getValue(), 0.78f);  // 100 / 127, stepped
    EXPECT_FLOAT_EQ(h.editor().control(range)->getValue(), synth.getParameter(range));
    EXPECT_FLOAT_EQ(h.editor().control(pan)->getValue(), 0.25f);
    EXPECT_FLOAT_EQ(h.editor().control(mono)->getValue(), 1.f);
}

}  // namespace
