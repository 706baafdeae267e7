// The assembled instrument, played as a host plays it: a picture, a note,
// and the sound that must come out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "instrument/Lumavox.h"
#include "tests/support/AudioDump.h"
#include "tests/support/TestSynth.h"

namespace {

using lumavox::Lumavox;
using testsupport::EventList;
using testsupport::midiEvent;

struct Rendering {
    std::vector<float> left, right;
};

double rms(const std::vector<float>& v, size_t from = 0) {
    double sum = 0;
    for (size_t i = from; i < v.size(); ++i)
        sum += double(v[i]) * v[i];
    return std::sqrt(sum / double(v.size() - from));
}

// Amplitude of the component at frequency hz, over the second half.
double amplitudeAt(const std::vector<float>& v, double hz, int rate = 44100) {
    double c = 0, s = 0;
    const size_t from = v.size() / 2;
    for (size_t i = from; i < v.size(); ++i) {
        c += v[i] * std::cos(2 * M_PI * hz * double(i) / rate);
        s += v[i] * std::sin(2 * M_PI * hz * double(i) / rate);
    }
    return 2 * std::sqrt(c * c + s * s) / double(v.size() - from);
}

class Instrument : public testing::Test {
  protected:
    Instrument() {
        // A black picture instead of the factory one, and the effects out of
        // the way: no delay, chorus or reverb.
        {
            auto access = synth.spectrogram().pictures();
            std::fill_n(access.current(), audio::kPicturePixels, 0u);
            access.rebuild();
        }
        set("DlyLv", 0.f);
        set("ChrsLv", 0.f);
        set("RevLevel", 0.f);
        // Every partial in the same phase in every column: moving through
        // the columns then changes nothing of a single row's tone.
        set("Fat", 0.f);
    }
    void set(const char* name, float value) {
        synth.setParameter(synth.parameterIndex(name), value);
    }
    // One full-red row across the picture, at a sound row (16: the fundamental).
    void paintRow(std::uint32_t colour, int soundRow = 16, int fromColumn = 0, int toColumn = 511) {
        auto access = synth.spectrogram().pictures();
        for (int x = fromColumn; x <= toColumn; ++x)
            access.current()[(511 - soundRow) * 512 + x] = colour;
        access.rebuild();
    }
    Rendering play(int key, double seconds) {
        EventList events;
        events.add(midiEvent(0, 0x90, key, 127));
        synth.processEvents(events.get());
        return render(seconds);
    }
    Rendering render(double seconds) {
        Rendering r;
        const int frames = static_cast<int>(seconds * 44100);
        r.left.resize(static_cast<size_t>(frames));
        r.right.resize(r.left.size());
        for (int done = 0; done < frames; done += 512) {
            float* out[2] = {r.left.data() + done, r.right.data() + done};
            synth.processReplacing(nullptr, out, std::min(512, frames - done));
        }
        return r;
    }
    std::string dump(const Rendering& r) {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        return testsupport::dumpAudio(std::string(info->name()), r.left, r.right);
    }

    Lumavox synth{nullptr};
};

TEST_F(Instrument, Key69PlaysTheRedRowAt440HzOnTheLeftOnly) {
    paintRow(0x00FF0000);
    const Rendering r = play(69, 1.0);
    const double fundamental = amplitudeAt(r.left, 440);
    EXPECT_GT(fundamental, 0.02) << dump(r);
    for (double other : {220.0, 430.0, 450.0, 880.0})
        EXPECT_LT(amplitudeAt(r.left, other), fundamental * 0.05) << other << " Hz: " << dump(r);
    for (float s : r.right)
        ASSERT_EQ(s, 0.f) << dump(r);
}

// The RMS level of key 69 in a fresh instance with these settings.
double levelOf(float volume, float pan, float drive) {
    Lumavox s(nullptr);
    for (const char* n : {"DlyLv", "ChrsLv", "RevLevel"})
        s.setParameter(s.parameterIndex(n), 0);
    s.setParameter(s.parameterIndex("Volume"), volume);
    s.setParameter(s.parameterIndex("Pan"), pan);
    s.setParameter(s.parameterIndex("Drive"), drive);
    {
        auto access = s.spectrogram().pictures();
        std::fill_n(access.current(), audio::kPicturePixels, 0u);
        for (int x = 0; x < 512; ++x)
            access.current()[(511 - 16) * 512 + x] = 0x00FF0000;
        access.rebuild();
    }
    EventList events;
    events.add(midiEvent(0, 0x90, 69, 127));
    s.processEvents(events.get());
    std::vector<float> left(22050), right(22050);
    for (int done = 0; done < 22050; done += 441) {
        float* out[2] = {left.data() + done, right.data() + done};
        s.processReplacing(nullptr, out, 441);
    }
    return rms(left, 11025);
}

TEST(InstrumentLevels, VolumePanAndDriveScaleTheNote) {
    // Small signals pass the soft clips nearly unbent, so levels scale.
    const double base = levelOf(0.4f, 0.5f, 0.f);
    ASSERT_GT(base, 0.005);
    EXPECT_NEAR(levelOf(0.2f, 0.5f, 0.f), base / 2, base * 0.01);
    EXPECT_NEAR(levelOf(0.4f, 0.f, 0.f), base / 0.70710677, base * 0.01);  // hard left
    EXPECT_NEAR(levelOf(0.4f, 0.5f, 0.2f), 2 * base, base * 0.02);         // Drive 0.2: gain 2
}

TEST_F(Instrument, TempoZeroHoldsTheStartColumn) {
    set("Tempo", 0.f);
    set("Start", 0.5f);                  // column 256
    paintRow(0x00FF0000, 16, 250, 260);  // only around the start column
    const Rendering held = play(69, 1.0);
    EXPECT_GT(amplitudeAt(held.left, 440), 0.02) << dump(held);
    // Steady: the last quarter as loud as the third.
    const size_t q = held.left.size() / 4;
    const std::vector<float> third(held.left.begin() + 2 * q, held.left.begin() + 3 * q);
    const std::vector<float> fourth(held.left.begin() + 3 * q, held.left.end());
    EXPECT_NEAR(rms(third), rms(fourth), rms(third) * 0.01);
}

TEST_F(Instrument, AVoiceMovesThroughThePictureAtTheTempo) {
    set("Tempo", 1.f);  // one column per tick: the picture in 1.024 s
    paintRow(0x00FF0000, 16, 0, 100);
    const Rendering r = play(69, 0.6);
    // Columns 0 to 100 take 0.2 s; after that the voice plays silent columns.
    const std::vector<float> early(r.left.begin() + 2205, r.left.begin() + 6615);
    const std::vector<float> late(r.left.begin() + 17640, r.left.end());
    EXPECT_GT(rms(early), 0.01) << dump(r);
    EXPECT_LT(rms(late), 1e-4) << dump(r);
}

TEST_F(Instrument, SpikeOneReadsHardLoopsOfColumnA) {
    set("Spike", 1.f);
    paintRow(0x00FF0000);
    EXPECT_EQ(synth.spectrogram().latestTables().fadeLength, 0.f);
    EXPECT_EQ(synth.spectrogram().latestTables().grainEnd, 256.f);
    // Bin 16 makes whole periods in a 256-sample grain: still a clean tone.
    const Rendering r = play(69, 0.5);
    EXPECT_GT(amplitudeAt(r.left, 440), 0.02) << dump(r);
    EXPECT_LT(amplitudeAt(r.left, 330), 0.001) << dump(r);
}

TEST_F(Instrument, AReleasedNoteEndsAndFreesItsVoice) {
    paintRow(0x00FF0000);
    set("Release", 0.f);
    play(69, 0.1);
    EventList off;
    off.add(midiEvent(0, 0x80, 69, 0));
    synth.processEvents(off.get());
    render(2.2);  // Release 0: silent after about 2 s
    EXPECT_EQ(synth.voices().active[7], 0);
    EXPECT_EQ(synth.envelope().levels()[7], 0.f);
}

}  // namespace
