// Base of the sound modules. A module reads its inputs through pointers to
// values owned elsewhere (parameter values, voice arrays, other modules'
// buffers) and writes only its own outputs. Until the instrument binds an
// input, it points at one of the process-wide silent defaults below, so an
// unbound module plays silence instead of failing.
#pragma once

#include <atomic>
#include <cstdint>

#include "modules/ModuleHost.h"
#include "modules/StereoBuffer.h"

namespace audio {

constexpr int kVoices = 8;

// A parameter's current value: written by any thread, read by the modules.
using ParameterValue = std::atomic<float>;
static_assert(ParameterValue::is_always_lock_free);

using ValueInput = const ParameterValue*;  // one parameter value, 0..1
using VoiceInput = const float*;           // kVoices floats, indexed by voice
using BufferInput = const StereoBuffer*;

namespace silent {
extern const ParameterValue value;
extern const float voices[kVoices];
extern const StereoBuffer buffer;
// What a binding to a parameter name that does not exist reads.
extern const ParameterValue missingParameter;
}  // namespace silent

inline float read(ValueInput input) {
    return input->load(std::memory_order_relaxed);
}

class Module {
  public:
    explicit Module(ModuleHost& host);
    virtual ~Module() = default;
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    virtual std::int32_t getModuleTag() { return 0; }
    // Host control thread, while processing is suspended.
    virtual void setSampleRate(int rate) { sampleRate = rate; }
    // Control threads: the current program changed (0..3).
    virtual void programChanged(int /*program*/) {}
    // Any thread, after every accepted parameter change.
    virtual void parameterChanged(int /*index*/, float /*value*/) {}
    // Audio thread: render frames (1..kMaxFrames); ticks is 1 when a 2 ms
    // control tick is due in this sub-block. Allocates nothing, locks nothing.
    virtual void process(int /*frames*/, int /*ticks*/) noexcept {}
    // Control threads: 1 before a program's values are pushed, 0 after.
    virtual void setProgramLoading(int /*loading*/) {}
    // The instance's worker thread, after a requestDeferredWork: finish what
    // the audio thread asked for but could not do itself.
    virtual void runDeferredWork() {}

    int getSampleRate() const { return sampleRate; }

  protected:
    ModuleHost& owner;
    int sampleRate = 44100;
};

}  // namespace audio
