// How a voice plays a picture, as far as the recording analysis must know it
// to run the other way: the note's frequency and table rate, the grains, the
// path of the play position through the columns, and the gain from a pixel
// value to the output. Every figure here is the playback's own; the
// analysis only inverts them.
#pragma once

#include <vector>

#include "modules/SpectralRebuild.h"

namespace analysis {

// The values of a program that decide how its picture sounds, 0..1 each, as
// the parameters hold them; the defaults are the parameters' defaults.
struct ProgramValues {
    float tune = 0.5f;
    float range = 0.5f;
    float log = 0.f;
    float fat = 0.f;
    float spike = 0.f;
    float filter = 1.f;
    float start = 0.f;
    float tempo = 0.5f;
    float loopIn = 0.f;
    float loopOut = 1.f;
    float drive = 0.f;
    float volume = 0.8f;
    float pan = 0.5f;

    // valueOf(name) answers a parameter's current value by its name
    // ("Tune", "Range", ...), so that the plug-in and a host-side tool fill
    // this the same way.
    template <typename ValueOf>
    static ProgramValues read(ValueOf&& valueOf);

    // Every value within 0..1 (not a number: 0), as the parameters keep
    // them; the functions below take their values through this.
    ProgramValues clamped() const;

    audio::RebuildSettings rebuildSettings() const {
        return {tune, range, log, fat, spike, filter};
    }
};

struct ProgramValueName {
    const char* name;
    float ProgramValues::*value;
};
inline constexpr ProgramValueName kProgramValueNames[] = {
    {"Tune", &ProgramValues::tune},     {"Range", &ProgramValues::range},
    {"Log", &ProgramValues::log},       {"Fat", &ProgramValues::fat},
    {"Spike", &ProgramValues::spike},   {"Filter", &ProgramValues::filter},
    {"Start", &ProgramValues::start},   {"Tempo", &ProgramValues::tempo},
    {"LoopIn", &ProgramValues::loopIn}, {"LoopOut", &ProgramValues::loopOut},
    {"Drive", &ProgramValues::drive},   {"Volume", &ProgramValues::volume},
    {"Pan", &ProgramValues::pan},
};

template <typename ValueOf>
ProgramValues ProgramValues::read(ValueOf&& valueOf) {
    ProgramValues values;
    for (const ProgramValueName& entry : kProgramValueNames)
        values.*entry.value = static_cast<float>(valueOf(entry.name));
    return values;
}

constexpr int kKeyA4 = 69;
constexpr double kControlTickSeconds = 0.002;
constexpr int kTableSamplesPerPeriod = 64;
// A grain steps back this many table samples (four periods of the note).
constexpr int kGrainStep = 256;

// The frequency a key plays at, 2^(10 f + 3) Hz with f its pitch value, and
// the rate at which a voice of that key reads its table (64 table samples
// per period): a recording at this rate is in the table's own time.
double keyFrequency(int key);
double tableRate(int key);

// Table samples over which a column fades in, and out, at each grain
// boundary ((1 - Spike) x 256).
float fadeLength(const ProgramValues& values);
// Table samples from the grain boundary that latches a column to the middle
// of its weight: it fades in over the fade length, plays fully up to 256 and
// fades out over the next fade length.
double soundCentre(const ProgramValues& values);

// Output amplitude of a table amplitude of 1, per channel: the drive gain,
// the oscillator's output level 0.7, and the volume and constant-power pan
// of the effects (the soft clips and DC blockers are left out: they are
// near unity at the levels the analysis aims for).
struct OutputGains {
    float drive;  // what the oscillator's soft clip sees of a table amplitude
    float left;
    float right;
};
OutputGains outputGains(const ProgramValues& values);

// When a voice started at Start first reaches each column, and which column
// it is at any time, from its control ticks: position Start x 512 on the
// tick the note starts (time 0), then Tempo columns more per 2 ms tick, and
// back to LoopIn x 512 whenever it passes LoopOut x 512.
class ColumnSchedule {
  public:
    struct Span {
        double begin = 0.0;  // seconds after the note's start
        double end = 0.0;    // the first visit's end
        bool reached() const { return end > begin; }
    };

    // Follows the voice for at most seconds (and never further than one
    // loop after the last new column).
    ColumnSchedule(const ProgramValues& values, double seconds);

    const Span& span(int column) const { return spans_[column]; }
    // The column under the position at a time; -1 before 0 or after the
    // schedule's end (or at the silent column 512).
    int columnAt(double seconds) const;
    // When the voice has first left every column it ever reaches: later
    // parts of a recording cannot reach the picture.
    double lastNewColumnEnd() const { return lastNewColumnEnd_; }

  private:
    Span spans_[audio::kPictureWidth];
    static constexpr int kMoving = -2;
    int heldColumn_ = kMoving;  // Tempo 0: the Start column, for ever
    std::vector<short> columnOfTick_;
    double lastNewColumnEnd_ = 0.0;
};

// How many seconds of a recording a picture can hold with these values:
// the end of the first visit of the last column reached. Tempo 0 holds the
// Start column for ever: then the whole recording is its one column.
double secondsHeld(const ProgramValues& values);

// The Tempo, a step of 1/100, that lets a recording of seconds run from the
// Start column to the LoopOut column: the largest step at which it does not
// pass LoopOut before its end, so nothing of it is cut (its end lands at
// most one step's worth before LoopOut). At least 0.01, at most 1.
float fitTempo(double seconds, const ProgramValues& values);

}  // namespace analysis
