// The synth framework under the instrument: the parameter table, the four
// programs, the MIDI event queue and the voices, the block loop with its 2 ms
// control tick, the module chain and the MIDI controller map. It answers the
// host's requests; the instrument above it supplies the table and the modules.
//
// Threads, per entry point:
//  - audio thread: processReplacing, processEvents (and, through MIDI
//    controllers, setParameterAutomated). These never allocate, lock or wait.
//  - host control threads: everything else (parameters, programs, names,
//    chunks, sample rate); setParameter may also come from the audio thread.
#pragma once

#include <atomic>
#include <memory>
#include <string_view>

#include "modules/Module.h"
#include "modules/ModuleHost.h"
#include "synth/ControllerMap.h"
#include "synth/DeferredWorker.h"
#include "synth/EventQueue.h"
#include "synth/ModuleList.h"
#include "synth/ParameterDefinition.h"
#include "synth/ParameterEntry.h"
#include "synth/Program.h"
#include "synth/VoiceManager.h"
#include "vst2/AudioEffectX.h"

namespace synth {

constexpr int kNumParameters = 38;  // 27 for the host, then the editor's own
constexpr int kNumMidiChannels = 16;
constexpr int kMaxNameLength = 31;

// The sample rates the block loop accepts; a host's rate outside them is held
// at the nearest one (a rate near 0 would make the control period 0).
constexpr float kMinSampleRate = 1000.f;
constexpr float kMaxSampleRate = 768000.f;

// The delay line of the effects is 2^20 samples; the delay base stays inside it.
constexpr int kMaxDelayBase = (1 << 20) - 1;

struct SynthNames {
    const char* effect;
    const char* product;
    const char* vendor;
};

class SynthCore : public AudioEffectX, public audio::ModuleHost {
  public:
    SynthCore(audioMasterCallback hostCallback, int numHostParameters,
              const ParameterDefinition* table, const SynthNames& names);
    ~SynthCore() override;

    // Block processing (audio thread).
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;
    VstInt32 processEvents(VstEvents* events) override;
    void setSampleRate(float rate) override;
    void setBlockSize(VstInt32 size) override;
    // Host control thread: asks for MIDI, and the first time also whether the
    // host sends time information, as hosts expect to be asked before the
    // block loop asks for the time (it asks every sub-block, whatever the
    // answer: a host that says no may still know the tempo).
    void resume() override;

    // Parameters (any thread).
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    // The entry named name (any letter case), or -1 after telling the user
    // with a "NotFound" box. Host control threads only.
    int findParameter(const char* name);
    // The address a module input bound to name reads: the entry's current
    // value, or a shared 0 when the name is missing (after the box).
    audio::ValueInput bindParameter(const char* name);

    // Programs (host control threads).
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool beginSetProgram() override { return true; }
    bool endSetProgram() override { return true; }

    // Identity and capabilities.
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return 1000; }
    VstInt32 canDo(char* text) override;
    VstInt32 getMidiProgramName(VstInt32 channel, MidiProgramName* name) override;
    VstInt32 getCurrentMidiProgram(VstInt32 channel, MidiProgramName* name) override;
    VstInt32 getMidiProgramCategory(VstInt32 channel, MidiProgramCategory* category) override;
    bool hasMidiProgramsChanged(VstInt32 /*channel*/) override { return false; }
    bool getMidiKeyName(VstInt32 channel, MidiKeyName* keyName) override;

    // The instrument's state chunk.
    VstInt32 getChunk(void** data, bool isPreset) override = 0;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override = 0;
    // Called by the editor after one of its text fields changed.
    virtual void textChanged(int index, void* control) = 0;

    // ModuleHost.
    void registerModule(audio::Module& module) override { modules_.add(module); }
    int parameterIndex(const char* name) const override;
    // The same for a name that need not end in a NUL (a key in a chunk).
    int parameterIndex(std::string_view name) const;
    const int* voiceActive() const override { return voices_.active; }
    int delayBase() const override { return delayBase_; }
    bool isEditorOpen() const override { return editorOpen_.load(std::memory_order_relaxed); }
    // The editor, when its window opens and closes (the wave display is
    // drawn only while someone can see it).
    void setEditorOpen(bool open) { editorOpen_.store(open, std::memory_order_relaxed); }
    bool confirm(const char* text, const char* caption) override;
    // True on the host's audio thread unless the host renders offline.
    bool onAudioThread() const override;
    void requestDeferredWork() override { worker_->wake(); }
    void* allocateLarge(std::size_t bytes) override;
    void releaseLarge(void* memory, std::size_t bytes) noexcept override;

    // Read access for the instrument, its state chunk and the tests.
    const ParameterEntry& entry(int index) const { return entries_[index]; }
    // The editor's: it keeps each entry's control there while its window is open.
    ParameterEntry* entries() { return entries_; }
    ProgramRecord& program(int index) { return programs_[index]; }
    int numHostParameters() const { return numHostParameters_; }
    VoiceManager& voices() { return voices_; }
    ModuleList& modules() { return modules_; }
    const ControllerMap& controllerMap() const { return *controllerMap_; }
    int sampleRateHz() const { return sampleRateHz_; }
    int controlPeriod() const { return controlPeriod_; }
    int maxSubBlock() const { return maxSubBlock_; }
    int pendingEvents() const { return events_.size(); }

  protected:
    // Waits for deferred work in progress and ends the worker; the instrument
    // calls it before it destroys its modules.
    void stopDeferredWork() { worker_->stop(); }

  private:
    void applyEvent(const VstMidiEvent& event);
    void applyDueEvents();
    void updateDelayBase();
    void renderSubBlock(float* left, float* right, int frames, int tick) noexcept;

    char effectName_[kMaxNameLength + 1] = {};
    char productString_[kMaxNameLength + 1] = {};
    char vendorString_[kMaxNameLength + 1] = {};
    int numHostParameters_;

    // Block processing.
    int sampleRateHz_ = 48000;
    int controlPeriod_ = 0;    // samples in 2 ms, in 1/256 sample
    int tickAccumulator_ = 0;  // in 1/256 sample
    int maxSubBlock_ = 1;
    int blockPosition_ = 0;  // frames rendered since the last processEvents
    int delayBase_ = 0;
    bool askedForTimeInfo_ = false;

    ModuleList modules_;
    VoiceManager voices_;
    EventQueue events_;
    std::unique_ptr<ControllerMap> controllerMap_;
    std::unique_ptr<DeferredWorker> worker_;
    ParameterEntry entries_[kNumParameters];
    ProgramRecord programs_[kNumPrograms];
    int currentMidiPrograms_[kNumMidiChannels] = {};
    std::atomic<bool> editorOpen_{false};
    // The thread that ran processReplacing last, as a thread-local address.
    std::atomic<const void*> audioThread_{nullptr};
};

}  // namespace synth
