// The VST 2.x extensions of the plug-in base: events, capabilities, names and
// MIDI program information, with the neutral default answers that hosts
// expect from a plug-in that does not override them.
#pragma once

#include "vst2/AudioEffect.h"

class AudioEffectX : public AudioEffect {
  public:
    AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                         float opt) override;

    // A synth asks the host for MIDI whenever it is switched on.
    void resume() override;

    // Audio thread.
    // events may be null: no events this block.
    virtual VstInt32 processEvents(VstEvents* /*events*/) { return 0; }

    // Host control thread.
    virtual bool canParameterBeAutomated(VstInt32 /*index*/) { return true; }
    virtual bool string2parameter(VstInt32 /*index*/, char* /*text*/) { return false; }
    virtual bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/) {
        return false;
    }
    virtual bool getInputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) {
        return false;
    }
    virtual bool getOutputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) {
        return false;
    }
    virtual VstPlugCategory getPlugCategory();
    virtual bool getEffectName(char* /*name*/) { return false; }
    virtual bool getVendorString(char* /*text*/) { return false; }
    virtual bool getProductString(char* /*text*/) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstInt32 canDo(char* /*text*/) { return 0; }
    virtual VstInt32 getTailSize() { return 0; }
    virtual bool getParameterProperties(VstInt32 /*index*/, VstParameterProperties* /*p*/) {
        return false;
    }
    virtual VstInt32 getVstVersion() { return 2400; }
    virtual VstInt32 getMidiProgramName(VstInt32 /*channel*/, MidiProgramName* /*name*/) {
        return 0;
    }
    virtual VstInt32 getCurrentMidiProgram(VstInt32 /*channel*/, MidiProgramName* /*name*/) {
        return -1;
    }
    virtual VstInt32 getMidiProgramCategory(VstInt32 /*channel*/, MidiProgramCategory* /*c*/) {
        return 0;
    }
    virtual bool hasMidiProgramsChanged(VstInt32 /*channel*/) { return false; }
    virtual bool getMidiKeyName(VstInt32 /*channel*/, MidiKeyName* /*keyName*/) { return false; }
    virtual bool beginSetProgram() { return false; }
    virtual bool endSetProgram() { return false; }
    virtual bool setBypass(bool /*onOff*/) { return false; }

    // Setup and host services.
    void isSynth(bool state = true) { setFlag(effFlagsIsSynth, state); }
    void wantEvents(VstInt32 filter = 1) { callHost(audioMasterWantMidi, 0, filter); }
    // The host's answer to a capability query: 1 yes, -1 no, 0 it does not
    // know (also what a host without a callback answers).
    VstInt32 canHostDo(const char* text) {
        return static_cast<VstInt32>(callHost(audioMasterCanDo, 0, 0, const_cast<char*>(text)));
    }
    // May answer null: a host need not know the time. Audio thread.
    VstTimeInfo* getTimeInfo(VstInt32 filter) {
        return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
    }
};
