#include "instrument/analysis/PlaybackModel.h"

#include <algorithm>
#include <cmath>

#include "modules/SharedMath.h"

namespace analysis {
namespace {

constexpr float kOscillatorLevel = 0.7f;
constexpr int kTempoSteps = 100;

// One loop of the slowest Tempo step and more: a bound on the ticks followed
// whatever Tempo a caller passes.
constexpr long long kMaxTicks = 300'000;

// The voice manager's pitch value of a key (one semitone is 1/120).
float pitchOfKey(int key) {
    const float p = static_cast<float>(key) / 120.f + 0.003135971f;
    return std::clamp(p, 0.f, 1.f);
}

}  // namespace

ProgramValues ProgramValues::clamped() const {
    ProgramValues out = *this;
    for (const ProgramValueName& entry : kProgramValueNames) {
        const float v = out.*entry.value;
        out.*entry.value = v > 0.f ? std::min(v, 1.f) : 0.f;
    }
    return out;
}

double keyFrequency(int key) {
    return math::fastPow2(10.f * pitchOfKey(key) + 3.f);
}

double tableRate(int key) {
    return keyFrequency(key) * kTableSamplesPerPeriod;
}

float fadeLength(const ProgramValues& values) {
    return (1.f - values.spike) * static_cast<float>(kGrainStep);
}

double soundCentre(const ProgramValues& values) {
    return (kGrainStep + static_cast<double>(fadeLength(values))) / 2.0;
}

OutputGains outputGains(const ProgramValues& values) {
    const float drive = values.drive * 5.f + 1.f;
    const float volume = 2.f * values.volume;
    const int p = static_cast<int>(values.pan * 0.25f * 32768.f);
    const float right = volume * math::sine(p);
    const float left = volume * math::sine(p + math::kQuarterPeriod);
    return {drive, drive * kOscillatorLevel * left, drive * kOscillatorLevel * right};
}

ColumnSchedule::ColumnSchedule(const ProgramValues& given, double seconds) {
    const ProgramValues values = given.clamped();
    const float startColumn = values.start * 512.f;
    const float loopStart = values.loopIn * 512.f;
    const float loopEnd = values.loopOut * 512.f;
    const float tempo = values.tempo;
    // One loop after the last new column nothing new can come: the slowest
    // Tempo crosses the picture twice in about 2 x 512 / 0.01 ticks.
    const double limit =
        tempo > 0.f ? std::min(seconds / kControlTickSeconds, 2.0 * (512 + 2) / tempo + 2.0)
                    : seconds / kControlTickSeconds;
    const long long ticks =
        std::clamp(static_cast<long long>(std::ceil(std::min(limit, 1e12))), 1LL, kMaxTicks);
    if (tempo <= 0.f) {
        // The position never leaves the Start column.
        const int c = std::min(static_cast<int>(startColumn), audio::kPictureWidth);
        if (c < audio::kPictureWidth) spans_[c] = {0.0, ticks * kControlTickSeconds};
        lastNewColumnEnd_ = ticks * kControlTickSeconds;
        heldColumn_ = c < audio::kPictureWidth ? c : -1;
        return;
    }
    columnOfTick_.resize(static_cast<std::size_t>(ticks));
    bool seen[audio::kPictureWidth] = {};
    int previous = -1;
    float position = startColumn;  // in float, as the oscillator keeps it
    for (long long k = 0; k < ticks; ++k) {
        if (k > 0) {
            position += tempo;
            if (position > loopEnd) position = loopStart;
        }
        int c = static_cast<int>(position);
        if (c >= audio::kPictureWidth) c = -1;  // the silent column
        columnOfTick_[static_cast<std::size_t>(k)] = static_cast<short>(c);
        const double time = static_cast<double>(k) * kControlTickSeconds;
        if (c != previous && previous >= 0 && spans_[previous].end == 0.0)
            spans_[previous].end = time;
        // Only first visits count: a loop brings the position back to
        // columns that already hold earlier parts of the recording.
        if (c >= 0 && c != previous && !seen[c]) {
            seen[c] = true;
            spans_[c].begin = time;
            spans_[c].end = 0.0;  // open until the position leaves it
        }
        previous = c;
    }
    const double end = static_cast<double>(ticks) * kControlTickSeconds;
    for (int c = 0; c < audio::kPictureWidth; ++c) {
        if (!seen[c]) {
            spans_[c] = {};
            continue;
        }
        if (spans_[c].end == 0.0) spans_[c].end = end;
        lastNewColumnEnd_ = std::max(lastNewColumnEnd_, spans_[c].end);
    }
}

int ColumnSchedule::columnAt(double seconds) const {
    if (seconds < 0.0) return -1;
    if (heldColumn_ != kMoving) return heldColumn_;
    const double tick = seconds / kControlTickSeconds;
    if (!(tick < static_cast<double>(columnOfTick_.size()))) return -1;
    return columnOfTick_[static_cast<std::size_t>(tick)];
}

double secondsHeld(const ProgramValues& values) {
    if (!(values.tempo > 0.f)) return HUGE_VAL;
    return ColumnSchedule(values, HUGE_VAL).lastNewColumnEnd();
}

float fitTempo(double seconds, const ProgramValues& given) {
    const ProgramValues values = given.clamped();
    const double columns = (values.loopOut - values.start) * 512.0;
    if (columns <= 0.0 || !(seconds > 0.0)) return values.tempo;
    const double exact = columns * kControlTickSeconds / seconds;
    const int steps =
        std::clamp(static_cast<int>(std::floor(exact * kTempoSteps + 1e-9)), 1, kTempoSteps);
    return static_cast<float>(steps) / static_cast<float>(kTempoSteps);
}

}  // namespace analysis
