// One plug-in instance, driven the way a host drives it: loaded from its
// binary, opened and set up, its state changed through programs, parameters
// and chunks, switched on for the render and closed at the end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/lumavox-render/PresetFile.h"
#include "tools/lumavox-render/RenderHost.h"
#include "tools/vsthost/PluginInstance.h"

namespace render {

// Lumavox.so or Lumavox.dll in the folder of the running program.
std::string defaultPluginPath();

class PluginSession {
  public:
    // Loads and opens the plug-in and gives it the sample rate and block
    // size. Throws RenderError naming path.
    PluginSession(const std::string& path, double sampleRate, int blockSize);
    ~PluginSession();  // switches the plug-in off and closes it
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    const AEffect& effect() const { return *plugin_->effect(); }
    const vsthost::PluginInstance& plugin() const { return *plugin_; }
    RenderHost& host() { return host_; }

    void switchOn();
    void switchOff();

    int programCount() const { return effect().numPrograms; }
    int parameterCount() const { return effect().numParams; }
    std::string programName(int program) const;
    std::string parameterName(int index) const;
    std::string parameterDisplay(int index) const;
    void selectProgram(int program);
    // The parameter of that name (any letter case); throws naming option.
    int findParameter(const std::string& name, const std::string& option) const;
    // The same, or -1.
    int parameterIndex(const std::string& name) const;
    float parameterValue(int index) const;
    void setParameter(int index, float value);
    int currentProgram() const;

    // file names the preset in messages.
    void loadPreset(const PresetFile& preset, const std::string& file);
    PresetFile saveProgram();
    PresetFile saveBank();
    // The current program's picture, 512 x 512 words 0x00RRGGBB, rows from
    // the top, through the program chunk; Lumavox only (RenderError otherwise).
    std::vector<std::uint32_t> picture();
    void replacePicture(const std::vector<std::uint32_t>& picture);
    // Throws RenderError unless the plug-in is Lumavox, with pictures.
    void requirePictures() const;

    // The programs' names and the values of their parameters, as the host
    // sees them (rounded to what a person reads); program -1: all of them,
    // which selects each in turn and then the current one again.
    void list(std::FILE* out, int program);

  private:
    bool takesChunks() const { return (effect().flags & effFlagsProgramChunks) != 0; }
    std::vector<std::uint8_t> chunk(int index, const char* what);
    void setChunk(int index, const std::vector<std::uint8_t>& data);
    void loadParameters(const PresetProgram& program);
    PresetProgram currentParameters() const;

    RenderHost host_;
    std::unique_ptr<vsthost::PluginLibrary> library_;
    std::unique_ptr<vsthost::PluginInstance> plugin_;
    bool on_ = false;
};

}  // namespace render
