#include "tools/lumavox-render/EffectTail.h"

#include <algorithm>
#include <cmath>

namespace render {
namespace {

// Lumavox's effects as their parameters are documented: DlyTime picks one of
// ten note values of a whole note at the host's tempo; the delay line holds
// 2^20 samples; the chorus taps reach 1600 samples back; RevTime sets the
// time the reverb takes to fall by 60 dB, from 0.1 to 4 s.
constexpr double kNoteValues[10] = {1.0 / 32, 1.0 / 24, 1.0 / 16, 1.0 / 12, 1.0 / 8,
                                    1.0 / 6,  1.0 / 4,  1.0 / 3,  1.0 / 2,  1.0};
constexpr double kDelayLineSamples = (1 << 20) - 1;
constexpr double kChorusReachSamples = 1600;

}  // namespace

double quietWindowSeconds(const PluginSession& session, double bpm, double sampleRate) {
    const auto value = [&](const char* name) {
        const int index = session.parameterIndex(name);
        return index < 0 ? -1.f : session.parameterValue(index);
    };
    double longestDelay = 0.0, decay = 0.0;
    if (value("DlyLv") > 0.f) {
        const float time = std::clamp(value("DlyTime"), 0.f, 1.f);
        const double wholeNote = std::min(240.0 / bpm, kDelayLineSamples / sampleRate);
        longestDelay = wholeNote * kNoteValues[static_cast<int>(9 * time)];
    }
    if (value("ChrsLv") > 0.f)
        longestDelay = std::max(longestDelay, kChorusReachSamples / sampleRate);
    const float reverbTime = value("RevTime");
    if (value("RevLevel") > 0.f && reverbTime > 0.f) decay = reverbTime * 3.9 + 0.1;
    return std::max(kMinimumQuietSeconds, longestDelay + decay);
}

}  // namespace render
