// A minimal VST 2.4 host side: load a plug-in binary, create an instance
// through its entry point and talk to it only through the AEffect record.
// Used by the render tool and by the tests that check the built plug-in.
#pragma once

#include <memory>
#include <string>

#include "vst2/Vst2Abi.h"

namespace vsthost {

using EntryPoint = AEffect*(VSTCALLBACK*)(audioMasterCallback);

// What the host answers the plug-in's requests with.
class HostBehaviour {
  public:
    virtual ~HostBehaviour() = default;
    virtual VstIntPtr onHostCall(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt) = 0;
};

class PluginLibrary {
  public:
    // Null, with the reason in error, when the file is not a loadable plug-in.
    static std::unique_ptr<PluginLibrary> open(const std::string& path, std::string* error);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    EntryPoint entryPoint() const { return entry_; }
    // The entry point under another exported name, or null.
    EntryPoint symbol(const char* name) const;
    const std::string& path() const { return path_; }

  private:
    PluginLibrary() = default;
    void* handle_ = nullptr;
    EntryPoint entry_ = nullptr;
    std::string path_;
};

class PluginInstance {
  public:
    // Calls the entry point with a callback that forwards to behaviour. Null,
    // with the reason in error, when the plug-in returns no valid record.
    static std::unique_ptr<PluginInstance> create(EntryPoint entry, HostBehaviour& behaviour,
                                                  std::string* error);
    // Closes the instance (effClose), unless release() was called.
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect* effect() const { return effect_; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.f) const;
    void setParameter(int index, float value) const;
    float getParameter(int index) const;
    void processReplacing(float** inputs, float** outputs, int frames) const;
    std::string stringOf(VstInt32 opcode, VstInt32 index = 0, int bufferSize = 256) const;

    // Closes the instance now; the record must not be used afterwards.
    void close();

  private:
    PluginInstance(AEffect* effect) : effect_(effect) {}
    AEffect* effect_;
};

// The callback handed to every entry point: forwards to the behaviour of the
// instance (or of the instance being created).
VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                   VstIntPtr value, void* ptr, float opt);

}  // namespace vsthost
