#include "modules/MoEgAR.h"

#include <cmath>

#include "modules/SharedMath.h"

namespace audio {

MoEgAR::MoEgAR(ModuleHost& host) : Module(host) {
    updateTiming();
}

void MoEgAR::parameterChanged(int, float) {
    updateTiming();
}

void MoEgAR::updateTiming() {
    const int ticks = static_cast<int>(std::lround(math::fastPow2(read(attack) * 12.f)));
    attackTicks_.store(ticks < 1 ? 1 : ticks, std::memory_order_relaxed);
    attackStep_.store(1.f / static_cast<float>(ticks < 1 ? 1 : ticks), std::memory_order_relaxed);
    // The level falls by the ratio (Release x 0.89 + 0.01) every 100 ticks.
    const double ratio = static_cast<double>(read(release) * 0.89f + 0.01f);
    releaseFactor_.store(static_cast<float>(std::pow(10.0, std::log10(ratio) / 100.0)),
                         std::memory_order_relaxed);
}

void MoEgAR::process(int, int ticks) noexcept {
    if (!ticks) return;
    const int* active = owner.voiceActive();
    const float step = attackStep_.load(std::memory_order_relaxed);
    const float factor = releaseFactor_.load(std::memory_order_relaxed);
    const int length = attackTicks_.load(std::memory_order_relaxed);
    for (int i = kVoices - 1; i >= 0; --i) {
        if (!active[i]) continue;
        const float g = gate[i];
        if (g == 0.f) {
            level_[i] *= factor;
            if (stage_[i] == kHold) stage_[i] = kIdle;
        } else {
            // A release during the attack leaves the stage alone, so a new
            // note on the voice continues the attack from the decayed level.
            if (stage_[i] == kIdle) {
                level_[i] = 0.f;
                stage_[i] = kAttack;
                attackCounter_[i] = 0;
            }
            if (stage_[i] == kAttack) {
                level_[i] += step * g;
                if (++attackCounter_[i] >= length) stage_[i] = kHold;
            }
        }
        if (level_[i] > 1.f) level_[i] = 1.f;
        if (level_[i] < 1e-20f) level_[i] = 0.f;
    }
}

}  // namespace audio
