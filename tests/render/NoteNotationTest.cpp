#include <gtest/gtest.h>

#include <string>

#include "tools/lumavox-render/DemoPhrase.h"
#include "tools/lumavox-render/NoteNotation.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

// Note-on and note-off as (tick, key, velocity), velocity 0 for offs.
struct Note {
    std::uint64_t tick;
    int key;
    int velocity;
};

std::vector<Note> notesOf(const Song& song) {
    std::vector<Note> notes;
    for (const SongEvent& e : song.events)
        notes.push_back({e.tick, e.bytes[1], (e.bytes[0] & 0xF0) == 0x90 ? e.bytes[2] : 0});
    return notes;
}

void expectNotes(const std::string& text, const std::vector<Note>& expected) {
    SCOPED_TRACE(text);
    const std::vector<Note> notes = notesOf(parseNotes(text, 120.0, "--notes"));
    ASSERT_EQ(notes.size(), expected.size());
    for (std::size_t i = 0; i < notes.size(); ++i) {
        EXPECT_EQ(notes[i].tick, expected[i].tick) << "event " << i;
        EXPECT_EQ(notes[i].key, expected[i].key) << "event " << i;
        EXPECT_EQ(notes[i].velocity, expected[i].velocity) << "event " << i;
    }
}

std::string errorOf(const std::string& text) {
    try {
        parseNotes(text, 120.0, "--notes");
    } catch (const RenderError& e) {
        return e.what();
    }
    return "(no error)";
}

// 480 ticks to the quarter note.
TEST(NoteNotation, DurationsAndVelocitiesHoldUntilChanged) {
    expectNotes("C4:e D#4 | Bb3:q.@90 r:h e4",
                {{0, 60, 100},
                 {240, 60, 0},
                 {240, 63, 100},
                 {480, 63, 0},
                 {480, 58, 90},
                 {1200, 58, 0},
                 {2160, 64, 90},
                 {3120, 64, 0}});  // the half note of the rest holds on
}

TEST(NoteNotation, ChordsShareOneDurationGivenInBeats) {
    expectNotes("C4+E4+G4@64:1.5 A4:0.25", {{0, 60, 64},
                                            {0, 64, 64},
                                            {0, 67, 64},
                                            {720, 60, 0},
                                            {720, 64, 0},
                                            {720, 67, 0},
                                            {720, 69, 64},
                                            {840, 69, 0}});
}

TEST(NoteNotation, OctavesSpanTheMidiRange) {
    expectNotes("C-1:w G9 A4", {{0, 0, 100},
                                {1920, 0, 0},
                                {1920, 127, 100},
                                {3840, 127, 0},
                                {3840, 69, 100},
                                {5760, 69, 0}});
}

TEST(NoteNotation, TheTempoPlacesTheBeats) {
    const Song song = parseNotes("A4:q A4", 90.0, "--notes");
    EXPECT_DOUBLE_EQ(song.tempo.secondsAt(song.events[2].tick), 60.0 / 90.0);
    EXPECT_DOUBLE_EQ(song.tempo.secondsAt(song.endTick), 120.0 / 90.0);
}

TEST(NoteNotation, NamesTheTokenItCannotRead) {
    EXPECT_EQ(errorOf("C4 H4"), "--notes: 'H4': not a note (A to G, then # or b, then an octave)");
    EXPECT_EQ(errorOf("C"), "--notes: 'C': a note needs an octave from -1 to 9, as in C4");
    EXPECT_EQ(errorOf("C10"), "--notes: 'C10': a note needs an octave from -1 to 9, as in C4");
    EXPECT_EQ(errorOf("G#9"), "--notes: 'G#9': outside the MIDI range C-1 to G9");
    EXPECT_EQ(
        errorOf("C4:x"),
        "--notes: 'C4:x': a duration is w, h, q, e or s (with an optional dot) or 0..64 beats");
    EXPECT_EQ(
        errorOf("C4:0"),
        "--notes: 'C4:0': a duration is w, h, q, e or s (with an optional dot) or 0..64 beats");
    EXPECT_EQ(errorOf("C4@128"), "--notes: 'C4@128': a velocity is 1 to 127");
    EXPECT_EQ(errorOf("C4+"), "--notes: 'C4+': a chord needs a note after each +");
    EXPECT_EQ(errorOf("r:w |"), "--notes: no notes to play");
    EXPECT_EQ(errorOf(""), "--notes: no notes to play");
}

TEST(NoteNotation, TheDemoPhraseIsAFewSecondsLong) {
    const Song demo = parseNotes(kDemoPhrase, 120.0, "demo");
    const double seconds = demo.tempo.secondsAt(demo.endTick);
    EXPECT_GE(seconds, 3.0);
    EXPECT_LE(seconds, 10.0);
}

}  // namespace
}  // namespace render
