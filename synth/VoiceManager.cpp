#include "synth/VoiceManager.h"

#include "modules/SharedMath.h"

namespace synth {

float pitchOfKey(int key) {
    const float p = static_cast<float>(key) / 120.f + 0.003135971f;
    return p > 1.f ? 1.f : p;
}

// The first free voice from the top, else the released voice that has waited
// longest; held notes are never stolen (-1: the note is dropped).
int VoiceManager::chooseVoice() const {
    int chosen = -1;
    for (int v = kVoices - 1; v >= 0; --v) {
        if (!active[v]) return v;
        if (gate[v] == 0.f && (chosen < 0 || age[v] > age[chosen])) chosen = v;
    }
    return chosen;
}

void VoiceManager::noteOn(int key, int velocity) {
    const int m = static_cast<int>(audio::read(mono) * 1.f);
    if (m != monoMode) {
        resetVoices();
        monoMode = m;
    }
    const float pitch = pitchOfKey(key);
    const float level = static_cast<float>(velocity) * 0.007874016f;
    // Mono mode always plays voice 0 and keeps its current pitch, so the
    // control step glides from the previous note.
    const int v = monoMode ? 0 : chooseVoice();
    if (v < 0) return;
    active[v] = 1;
    note[v] = key;
    targetPitch[v] = pitch;
    gate[v] = level;
    heldLevel[v] = level;
    trigger[v] = 1.f;
}

void VoiceManager::noteOff(int key) {
    if (monoMode) {
        if (key != note[0]) return;
        gate[0] = 0.f;
        if (!sustain) heldLevel[0] = 0.f;
        return;
    }
    for (int v = kVoices - 1; v >= 0; --v) {
        if (gate[v] == 0.f) {
            ++age[v];
        } else if (note[v] == key) {
            gate[v] = 0.f;
            age[v] = 0;
            if (!sustain) heldLevel[v] = 0.f;
        }
    }
}

void VoiceManager::setSustain(int value) {
    sustain = value & 64;
    if (sustain) return;
    for (int v = 0; v < kVoices; ++v)
        if (gate[v] == 0.f) heldLevel[v] = 0.f;
}

void VoiceManager::pitchBend(int lsb, int msb) {
    const float b = static_cast<float>((msb & 0x7F) * 128 + (lsb & 0x7F)) / 16384.f;
    bendOffset = (b - 0.5f) * audio::read(bendRange) * 0.1f * 2.f;
}

void VoiceManager::resetVoices() {
    for (int v = 0; v < kVoices; ++v) {
        age[v] = 0;
        targetPitch[v] = 0.f;
        currentPitch[v] = 0.f;
    }
}

void VoiceManager::controlStep() {
    const float g = 1.f / math::fastPow10(3.f * audio::read(glide));
    for (int v = kVoices - 1; v >= 0; --v) {
        currentPitch[v] = currentPitch[v] + (targetPitch[v] - currentPitch[v]) * g;
        outputPitch[v] = currentPitch[v] + bendOffset;
        if (envelopeLevel[v] == 0.f) active[v] = 0;
        trigger[v] = 0.f;
    }
}

}  // namespace synth
