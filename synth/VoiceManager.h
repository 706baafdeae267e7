// The eight voices: which key each plays, its pitch with glide and bend, its
// gate and held level. The sound modules read the per-voice arrays through
// their addresses. Audio thread only.
#pragma once

#include "modules/Module.h"

namespace synth {

using audio::kVoices;

// One semitone is 1/120; a pitch value p sounds at 2^(10 p + 3) Hz.
float pitchOfKey(int key);

class VoiceManager {
  public:
    void noteOn(int key, int velocity);
    void noteOff(int key);
    void setSustain(int value);
    // The 14-bit bend from its two data bytes, scaled by the bend range.
    void pitchBend(int lsb, int msb);
    // Ages and pitches to zero; gates, levels and active flags stay.
    void resetVoices();
    // Every 2 ms control tick: glide, bend, and freeing voices whose
    // envelope has died away.
    void controlStep();

    // Inputs, bound by the instrument.
    audio::ValueInput mono = &audio::silent::value;
    audio::ValueInput glide = &audio::silent::value;
    audio::ValueInput bendRange = &audio::silent::value;
    audio::VoiceInput envelopeLevel = audio::silent::voices;

    int monoMode = 0;
    int sustain = 0;  // 0 or 64
    float bendOffset = 0.f;
    int note[kVoices] = {};
    int age[kVoices] = {};
    float targetPitch[kVoices] = {};
    float currentPitch[kVoices] = {};
    float gate[kVoices] = {};
    float heldLevel[kVoices] = {};
    int active[kVoices] = {};
    float trigger[kVoices] = {};
    float outputPitch[kVoices] = {};

  private:
    int chooseVoice() const;
};

}  // namespace synth
