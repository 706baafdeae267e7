// What a module may ask of the instrument that owns it. The synth framework
// implements it; module tests use a small fake. Keeping this narrow is what
// lets the modules know nothing of the host, the platform or the editor.
#pragma once

#include <cstddef>
#include <cstdlib>

namespace audio {

class Module;

class ModuleHost {
  public:
    virtual ~ModuleHost() = default;

    // Construction only: appends the module to the chain, in creation order.
    virtual void registerModule(Module& module) = 0;
    // Index of the parameter with this name (any letter case), or -1.
    virtual int parameterIndex(const char* name) const = 0;

    // Audio thread: the voice manager's eight active flags.
    virtual const int* voiceActive() const = 0;
    // Audio thread: the tempo delay base in samples, refreshed every sub-block.
    virtual int delayBase() const = 0;
    // Audio thread: whether the editor window is showing, so that the wave
    // display is drawn only for someone to see it.
    virtual bool isEditorOpen() const = 0;

    // Any thread: whether the caller is the audio thread of a real-time run
    // (inside its render calls or between them), where nothing may take long.
    virtual bool onAudioThread() const = 0;
    // Any thread, lock-free: asks for every module's runDeferredWork to be
    // called soon on a thread of the instance's own.
    virtual void requestDeferredWork() = 0;

    // Construction and destruction: memory for a large array, zero until
    // written, aligned to at least 16 bytes; null when there is none. The
    // framework takes it straight from the system (platform/LargeMemory.h).
    virtual void* allocateLarge(std::size_t bytes) { return std::calloc(bytes, 1); }
    virtual void releaseLarge(void* memory, std::size_t /*bytes*/) noexcept { std::free(memory); }

    // Control threads: a modal OK/Cancel question to the user; true for OK.
    virtual bool confirm(const char* text, const char* caption) = 0;
};

}  // namespace audio
