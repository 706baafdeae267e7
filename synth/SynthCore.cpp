#include "synth/SynthCore.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "modules/RealFft.h"
#include "modules/SharedMath.h"
#include "platform/LargeMemory.h"
#include "platform/MessageBox.h"
#include "platform/ModulePath.h"
#include "platform/NameCompare.h"
#include "synth/Float2String.h"
#include "synth/PaintRandom.h"
#include "synth/ParameterSteps.h"
#include "vst2/AEffEditor.h"

namespace synth {
SynthCore::SynthCore(audioMasterCallback hostCallback, int numHostParameters,
                     const ParameterDefinition* table, const SynthNames& names)
    : AudioEffectX(hostCallback, kNumPrograms, numHostParameters),
      numHostParameters_(numHostParameters < 0                    ? 0
                         : numHostParameters > kNumHostParameters ? kNumHostParameters
                                                                  : numHostParameters) {
    vstStrncpy(effectName_, names.effect, kMaxNameLength);
    vstStrncpy(productString_, names.product, kMaxNameLength);
    vstStrncpy(vendorString_, names.vendor, kMaxNameLength);

    PaintRandom::seed(5);  // the editor's spray draws from it
    controllerMap_ = std::make_unique<ControllerMap>(
        table, numHostParameters_, ControllerMap::iniPathFor(platform::ownModulePath()));

    for (int i = 0; i < kNumParameters; ++i) {
        ParameterEntry& e = entries_[i];
        e.definition = table[i];
        vstStrncpy(e.name, table[i].name, kMaxParameterNameLength);
        e.label[0] = 0;
        e.defaultValue = table[i].defaultValue;
        e.value.store(e.defaultValue, std::memory_order_relaxed);
        e.control = nullptr;
    }
    for (ProgramRecord& p : programs_) {
        for (int i = 0; i < kNumHostParameters; ++i)
            p.values[i].store(entries_[i].defaultValue, std::memory_order_relaxed);
        vstStrncpy(p.name, "None", kMaxProgramNameLength);
    }
    for (int c = 0; c < kNumMidiChannels; ++c)
        currentMidiPrograms_[c] = c;

    controlPeriod_ = sampleRateHz_ * 256 / 500;
    maxSubBlock_ =
        controlPeriod_ / 256 < audio::kMaxFrames ? controlPeriod_ / 256 : audio::kMaxFrames;
    tickAccumulator_ = 0;
    events_.clear();

    worker_ = std::make_unique<DeferredWorker>([this] { modules_.runDeferredWork(); });

    setProgram(0);
    // The shared tables are built on first use: here, never on the audio thread.
    math::tables();
    float warmLeft[1024] = {}, warmRight[1024] = {};
    fft::realFft(1024, warmLeft);
    fft::inverseRealFftPair(1024, warmLeft, warmRight);

    if (hostCallback) {
        setNumInputs(0);
        setNumOutputs(2);
        canProcessReplacing(true);
        isSynth(true);
        programsAreChunks(true);
    }
    voices_.monoMode = 0;
    voices_.resetVoices();
}

SynthCore::~SynthCore() {
    stopDeferredWork();
}

// ---- Parameters ----

void SynthCore::setParameter(VstInt32 index, float value) {
    if (index < 0 || index >= kNumParameters) return;
    // NaN (which no comparison catches) is taken as 0 with the values below.
    if (!(value > 0.f))
        value = 0.f;
    else if (value >= 1.f)
        value = 1.f;
    value = stepValue(value, entries_[index].definition.steps);
    entries_[index].value.store(value, std::memory_order_relaxed);
    if (index < numHostParameters_)
        programs_[getProgram()].values[index].store(value, std::memory_order_relaxed);
    if (editor) editor->setParameter(index, value);
    modules_.parameterChanged(index, value);
}

float SynthCore::getParameter(VstInt32 index) {
    if (index < 0 || index >= kNumParameters) return 0.f;
    return entries_[index].value.load(std::memory_order_relaxed);
}

void SynthCore::getParameterLabel(VstInt32, char* label) {
    label[0] = 0;
}

void SynthCore::getParameterDisplay(VstInt32 index, char* text) {
    if (index < 0 || index >= numHostParameters_) {
        text[0] = 0;
        return;
    }
    float2string(getParameter(index), text, kVstMaxParamStrLen);
}

void SynthCore::getParameterName(VstInt32 index, char* text) {
    if (index < 0 || index >= numHostParameters_) {
        text[0] = 0;
        return;
    }
    vstStrncpy(text, entries_[index].name, kMaxParameterNameLength);
}

int SynthCore::parameterIndex(const char* name) const {
    return name ? parameterIndex(std::string_view(name)) : -1;
}

int SynthCore::parameterIndex(std::string_view name) const {
    for (int i = 0; i < kNumParameters; ++i)
        if (platform::equalsIgnoringCase(name, entries_[i].name)) return i;
    return -1;
}

int SynthCore::findParameter(const char* name) {
    const int index = parameterIndex(name);
    if (index < 0)
        platform::showMessageBox(name ? name : "", "NotFound", platform::MessageButtons::Ok);
    return index;
}

audio::ValueInput SynthCore::bindParameter(const char* name) {
    const int index = findParameter(name);
    return index < 0 ? &audio::silent::missingParameter : &entries_[index].value;
}

void* SynthCore::allocateLarge(std::size_t bytes) {
    return platform::reserveLarge(bytes);
}

void SynthCore::releaseLarge(void* memory, std::size_t bytes) noexcept {
    platform::releaseLarge(memory, bytes);
}

bool SynthCore::confirm(const char* text, const char* caption) {
    return platform::showMessageBox(text, caption, platform::MessageButtons::OkCancel) ==
           platform::MessageAnswer::Ok;
}

// ---- Programs ----

void SynthCore::setProgram(VstInt32 program) {
    if (program < 0 || program >= kNumPrograms) return;
    AudioEffectX::setProgram(program);
    modules_.setProgramLoading(1);
    modules_.programChanged(program);
    // Through the virtual call, so every value is clamped, stepped, written
    // back into the record and announced as any other change.
    for (int i = 0; i < numHostParameters_; ++i)
        setParameter(i, programs_[program].values[i].load(std::memory_order_relaxed));
    modules_.setProgramLoading(0);
}

void SynthCore::setProgramName(char* name) {
    vstStrncpy(programs_[getProgram()].name, name, kMaxProgramNameLength);
}

void SynthCore::getProgramName(char* name) {
    vstStrncpy(name, programs_[getProgram()].name, kMaxProgramNameLength);
}

bool SynthCore::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (index < 0 || index >= kNumPrograms) {
        text[0] = 0;
        return false;
    }
    vstStrncpy(text, programs_[index].name, kMaxProgramNameLength);
    return true;
}

// ---- Identity and capabilities ----

bool SynthCore::getOutputProperties(VstInt32 index, VstPinProperties* properties) {
    if (index < 0 || index > 1) return false;
    std::snprintf(properties->label, sizeof properties->label, "%s%1d", effectName_,
                  static_cast<int>(index + 1));
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}

bool SynthCore::getEffectName(char* name) {
    vstStrncpy(name, effectName_, kVstMaxEffectNameLen - 1);
    return true;
}

bool SynthCore::getVendorString(char* text) {
    vstStrncpy(text, vendorString_, kVstMaxVendorStrLen - 1);
    return true;
}

bool SynthCore::getProductString(char* text) {
    vstStrncpy(text, productString_, kVstMaxProductStrLen - 1);
    return true;
}

VstInt32 SynthCore::canDo(char* text) {
    static const char* const kCapabilities[] = {"receiveVstEvents", "receiveVstMidiEvent",
                                                "midiProgramNames"};
    for (const char* capability : kCapabilities)
        if (std::strcmp(text, capability) == 0) return 1;
    return -1;
}

namespace {
void fillBasicProgram(MidiProgramName* p) {
    vstStrncpy(p->name, "Basic", kVstMaxNameLen - 1);
    p->midiProgram = 0;
    p->midiBankMsb = -1;  // no bank
    p->midiBankLsb = -1;
    p->reserved = 0;
    p->parentCategoryIndex = 0;
    p->flags = 0;
}
}  // namespace

VstInt32 SynthCore::getMidiProgramName(VstInt32, MidiProgramName* name) {
    if (name->thisProgramIndex < 0 || name->thisProgramIndex > 127) return 0;
    fillBasicProgram(name);
    return 1;
}

VstInt32 SynthCore::getCurrentMidiProgram(VstInt32 channel, MidiProgramName* name) {
    if (channel < 0 || channel >= kNumMidiChannels || !name) return -1;
    const int program = currentMidiPrograms_[channel];
    name->thisProgramIndex = program;
    fillBasicProgram(name);
    return program;
}

VstInt32 SynthCore::getMidiProgramCategory(VstInt32, MidiProgramCategory* category) {
    vstStrncpy(category->name, "None", kVstMaxNameLen - 1);
    category->parentCategoryIndex = -1;
    category->flags = 0;
    return 1;
}

bool SynthCore::getMidiKeyName(VstInt32, MidiKeyName* keyName) {
    keyName->keyName[0] = 0;
    keyName->reserved = 0;
    keyName->flags = 0;
    return false;
}

}  // namespace synth
