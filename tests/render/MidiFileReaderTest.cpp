#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/render/ErrorText.h"
#include "tests/render/MidiBytes.h"
#include "tools/lumavox-render/MidiFileReader.h"

namespace render {
namespace {

using rendertest::midiFile;
using rendertest::Track;

Song read(const std::vector<std::uint8_t>& bytes) {
    return readMidiFile(bytes.data(), bytes.size(), "song.mid");
}

std::string errorOf(const std::vector<std::uint8_t>& bytes) {
    return errorText([&] { read(bytes); });
}

struct Expected {
    std::uint64_t tick;
    std::vector<std::uint8_t> bytes;
};

void expectEvents(const Song& song, const std::vector<Expected>& expected) {
    ASSERT_EQ(song.events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("event " + std::to_string(i));
        EXPECT_EQ(song.events[i].tick, expected[i].tick);
        for (std::size_t b = 0; b < expected[i].bytes.size(); ++b)
            EXPECT_EQ(song.events[i].bytes[b], expected[i].bytes[b]);
    }
}

TEST(MidiFileReader, Format0KeepsNotesControllersAndBendsAndStepsOverTheRest) {
    Track t;
    t.at(0, {0xFF, 0x03, 0x04, 'S', 'o', 'n', 'g'})  // track name
        .at(0, {0x90, 60, 100})
        .at(10, {0xF0, 0x03, 0x7E, 0x7F, 0xF7})  // sysex
        .at(0, {0xC0, 5})                        // program change: not played
        .at(0, {0xA0, 60, 30})                   // poly pressure: not played
        .at(5, {0xB0, 7, 90})
        .at(5, {0xE0, 0x00, 0x50})
        .at(20, {0x80, 60, 0})
        .end(100);
    const Song song = read(midiFile(0, 480, {t}));
    expectEvents(
        song,
        {{0, {0x90, 60, 100}}, {15, {0xB0, 7, 90}}, {20, {0xE0, 0x00, 0x50}}, {40, {0x80, 60, 0}}});
    EXPECT_EQ(song.endTick, 140u) << "the end of track counts as the end of the song";
}

TEST(MidiFileReader, RunningStatusHoldsUntilASystemOrMetaEvent) {
    Track t;
    t.at(0, {0x91, 60, 100}).at(10, {62, 90}).at(10, {60, 0}).at(0, {62, 0}).end();
    expectEvents(
        read(midiFile(0, 96, {t})),
        {{0, {0x91, 60, 100}}, {10, {0x91, 62, 90}}, {20, {0x91, 60, 0}}, {20, {0x91, 62, 0}}});

    // A program change runs on with one data byte, then a note-on with two.
    Track oneByte;
    oneByte.at(0, {0xC0, 1}).at(0, {2}).at(0, {0x90, 64, 90}).at(0, {64, 0}).end();
    expectEvents(read(midiFile(0, 96, {oneByte})), {{0, {0x90, 64, 90}}, {0, {0x90, 64, 0}}});

    Track cancelled;
    cancelled.at(0, {0x90, 60, 100}).at(0, {0xFF, 0x01, 0x00}).at(0, {60, 0}).end();
    EXPECT_EQ(errorOf(midiFile(0, 96, {cancelled})),
              "song.mid, track 1: a data byte where an event should start");
}

TEST(MidiFileReader, Format1MergesTracksInTimeOrderKeepingTrackOrderAtEqualTicks) {
    Track tempo, a, b;
    tempo.tempo(0, 500000).end(960);
    a.at(0, {0x90, 60, 100}).at(480, {0x80, 60, 0}).end();
    b.at(240, {0x90, 67, 100}).at(240, {0x80, 67, 0}).end();
    const Song song = read(midiFile(1, 480, {tempo, a, b}));
    expectEvents(
        song,
        {{0, {0x90, 60, 100}}, {240, {0x90, 67, 100}}, {480, {0x80, 60, 0}}, {480, {0x80, 67, 0}}});
    EXPECT_EQ(song.endTick, 960u);
}

TEST(MidiFileReader, TempoChangesPlaceLaterTicksAndTheHostPosition) {
    // 120 BPM, then 60 BPM from beat 2: beat 2 falls at 1 s, beat 3 at 2 s.
    Track tempo, notes;
    tempo.tempo(0, 500000).tempo(960, 1000000).end();
    notes.at(1440, {0x90, 69, 100}).at(480, {0x80, 69, 0}).end();
    const Song song = read(midiFile(1, 480, {tempo, notes}));
    EXPECT_EQ(song.tempo.segmentCount(), 2);
    EXPECT_DOUBLE_EQ(song.tempo.secondsAt(480), 0.5);
    EXPECT_DOUBLE_EQ(song.tempo.secondsAt(960), 1.0);
    EXPECT_DOUBLE_EQ(song.tempo.secondsAt(song.events[0].tick), 2.0);
    EXPECT_DOUBLE_EQ(song.tempo.secondsAt(song.events[1].tick), 3.0);

    const MusicalPosition before = song.tempo.positionAt(0.75);
    EXPECT_DOUBLE_EQ(before.quarters, 1.5);
    EXPECT_DOUBLE_EQ(before.bpm, 120.0);
    const MusicalPosition after = song.tempo.positionAt(1.5);
    EXPECT_DOUBLE_EQ(after.quarters, 2.5);
    EXPECT_DOUBLE_EQ(after.bpm, 60.0);
}

TEST(MidiFileReader, WithoutTempoEventsTheGivenTempoHolds) {
    Track t;
    t.at(480, {0x90, 60, 1}).end();
    const auto bytes = midiFile(0, 480, {t});
    EXPECT_DOUBLE_EQ(read(bytes).tempo.secondsAt(480), 0.5) << "120 BPM by default";
    EXPECT_DOUBLE_EQ(readMidiFile(bytes.data(), bytes.size(), "x", 90.0).tempo.secondsAt(480),
                     60.0 / 90.0);
}

TEST(MidiFileReader, SmpteDivisionCountsTicksInSeconds) {
    Track t;
    t.at(500, {0x90, 60, 1}).end();
    // 25 frames per second (0xE7 = -25), 40 ticks per frame: 1000 ticks per second.
    const Song song = read(midiFile(0, 0xE728, {t}));
    EXPECT_DOUBLE_EQ(song.tempo.secondsAt(song.events[0].tick), 0.5);
}

TEST(MidiFileReader, HeldNotesAndPedalsAreReleasedAtTheEndOfTheSong) {
    Track t;
    t.at(0, {0x90, 60, 100}).at(0, {0xB2, 64, 127}).at(0, {0x92, 50, 90}).end(960);
    const Song song = read(midiFile(0, 480, {t}));
    ASSERT_EQ(song.events.size(), 6u);
    const std::vector<Expected> tail = {
        {960, {0x80, 60, 0}}, {960, {0x82, 50, 0}}, {960, {0xB2, 64, 0}}};
    for (std::size_t i = 0; i < tail.size(); ++i) {
        EXPECT_EQ(song.events[3 + i].tick, tail[i].tick);
        EXPECT_EQ(song.events[3 + i].bytes[0], tail[i].bytes[0]);
        EXPECT_EQ(song.events[3 + i].bytes[1], tail[i].bytes[1]);
    }
}

TEST(MidiFileReader, RejectsWhatIsNotAWholeMidiFileWithItsReason) {
    Track good;
    good.at(0, {0x90, 60, 100}).at(10, {0x80, 60, 0}).end();
    const auto file = midiFile(0, 480, {good});

    const auto cutAt = [&](std::size_t n) {
        return std::vector<std::uint8_t>(file.begin(), file.begin() + n);
    };
    auto lengthTooLong = file;
    lengthTooLong[21] = 0x40;  // the track's length, low byte
    auto twoTracks = file;
    twoTracks[11] = 2;
    auto format2 = file;
    format2[9] = 2;
    auto noDivision = file;
    noDivision[12] = noDivision[13] = 0;

    Track longDelta, badTempo, badStatus, cutEvent, highData, silent;
    longDelta.at(0, {0x90, 60, 100})
        .bytes.insert(longDelta.bytes.end(), {0x81, 0x81, 0x81, 0x81, 0x01});
    badTempo.at(0, {0xFF, 0x51, 0x02, 0x07, 0xA1}).end();
    badStatus.at(0, {0xF8}).end();
    cutEvent.at(0, {0x90, 60});
    highData.at(0, {0x90, 60, 200}).end();
    // Controllers and a note-on of velocity 0 (a note-off) play nothing.
    silent.at(0, {0xB0, 7, 100}).at(480, {0x90, 60, 0}).end(960);

    const struct {
        std::vector<std::uint8_t> bytes;
        const char* message;
    } cases[] = {
        {{}, "song.mid: not a MIDI file (it does not start with MThd)"},
        {{'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E'},
         "song.mid: not a MIDI file (it does not start with MThd)"},
        {cutAt(10), "song.mid: cut short"},
        {cutAt(14), "song.mid: cut short: 1 tracks declared, 0 found"},
        {cutAt(file.size() - 2), "song.mid: cut short in track 1 (12 bytes declared, 10 left)"},
        {lengthTooLong, "song.mid: cut short in track 1 (64 bytes declared, 12 left)"},
        {twoTracks, "song.mid: a format 0 MIDI file must have one track, this one declares 2"},
        {format2, "song.mid: MIDI file format 2 is not supported (only 0 and 1)"},
        {noDivision, "song.mid: a time division of 0 ticks per quarter note"},
        {midiFile(0, 480, {longDelta}),
         "song.mid, track 1: a length or delta time runs over four bytes"},
        {midiFile(0, 480, {badTempo}), "song.mid, track 1: a tempo event that is not 3 bytes long"},
        {midiFile(0, 480, {badStatus}),
         "song.mid, track 1: status byte 0xF8 has no place in a MIDI file"},
        {midiFile(0, 480, {cutEvent}), "song.mid, track 1: cut short"},
        {midiFile(0, 480, {highData}), "song.mid, track 1: a data byte above 127"},
        {midiFile(0, 480, {silent}), "song.mid: no notes to play"},
        {midiFile(1, 480, {}), "song.mid: no notes to play"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf(c.bytes), c.message);
}

}  // namespace
}  // namespace render
