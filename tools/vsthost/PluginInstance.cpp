#include "tools/vsthost/PluginInstance.h"

#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vsthost {
namespace {

// During the entry point the plug-in has no record yet to tell us which host
// it belongs to; the behaviour of the instance being created answers.
thread_local HostBehaviour* tCreating = nullptr;

HostBehaviour* behaviourOf(AEffect* effect) {
    if (effect && effect->resvd1) return reinterpret_cast<HostBehaviour*>(effect->resvd1);
    return tCreating;
}

}  // namespace

VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                   VstIntPtr value, void* ptr, float opt) {
    HostBehaviour* behaviour = behaviourOf(effect);
    return behaviour ? behaviour->onHostCall(effect, opcode, index, value, ptr, opt) : 0;
}

std::unique_ptr<PluginLibrary> PluginLibrary::open(const std::string& path, std::string* error) {
    std::unique_ptr<PluginLibrary> library(new PluginLibrary);
    library->path_ = path;
#if defined(_WIN32)
    library->handle_ = LoadLibraryA(path.c_str());
    if (!library->handle_) {
        *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
#else
    library->handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library->handle_) {
        const char* reason = dlerror();
        *error = "cannot load " + path + ": " + (reason ? reason : "unknown reason");
        return nullptr;
    }
#endif
    library->entry_ = library->symbol("VSTPluginMain");
    if (!library->entry_) library->entry_ = library->symbol("main");
    if (!library->entry_) {
        *error = path + " is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main";
        return nullptr;
    }
    return library;
}

EntryPoint PluginLibrary::symbol(const char* name) const {
#if defined(_WIN32)
    return reinterpret_cast<EntryPoint>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)));
#else
    return reinterpret_cast<EntryPoint>(dlsym(handle_, name));
#endif
}

PluginLibrary::~PluginLibrary() {
    if (!handle_) return;
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
}

std::unique_ptr<PluginInstance> PluginInstance::create(EntryPoint entry, HostBehaviour& behaviour,
                                                       std::string* error) {
    HostBehaviour* previous = tCreating;
    tCreating = &behaviour;
    AEffect* effect = entry ? entry(hostCallback) : nullptr;
    tCreating = previous;
    if (!effect) {
        *error = "the plug-in created no instance";
        return nullptr;
    }
    if (effect->magic != kEffectMagic || !effect->dispatcher) {
        *error = "the plug-in returned a record that is not a VST 2.4 effect";
        return nullptr;
    }
    effect->resvd1 = reinterpret_cast<VstIntPtr>(&behaviour);
    return std::unique_ptr<PluginInstance>(new PluginInstance(effect));
}

PluginInstance::~PluginInstance() {
    close();
}

void PluginInstance::close() {
    if (!effect_) return;
    effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.f);
    effect_ = nullptr;
}

VstIntPtr PluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) const {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void PluginInstance::setParameter(int index, float value) const {
    effect_->setParameter(effect_, index, value);
}

float PluginInstance::getParameter(int index) const {
    return effect_->getParameter(effect_, index);
}

void PluginInstance::processReplacing(float** inputs, float** outputs, int frames) const {
    effect_->processReplacing(effect_, inputs, outputs, frames);
}

std::string PluginInstance::stringOf(VstInt32 opcode, VstInt32 index, int bufferSize) const {
    std::vector<char> buffer(static_cast<size_t>(bufferSize), 0);
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = 0;
    return buffer.data();
}

}  // namespace vsthost
