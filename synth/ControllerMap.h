// Which MIDI controller moves which program parameter. Read from the ini file
// beside the plug-in file when the instance is built (defaults from the
// parameter table) and written back when it is destroyed; the user edits the
// file to reassign controllers.
#pragma once

#include <string>

#include "synth/ParameterDefinition.h"
#include "synth/Program.h"

class AudioEffect;

namespace synth {

class ControllerMap {
  public:
    static constexpr int kFreeSlot = 255;
    static constexpr const char* kSection = "midicc";

    // count program parameters, named and defaulted by definitions; an empty
    // iniPath reads nothing and writes nothing.
    ControllerMap(const ParameterDefinition* definitions, int count, std::string iniPath);
    ~ControllerMap();
    ControllerMap(const ControllerMap&) = delete;
    ControllerMap& operator=(const ControllerMap&) = delete;

    // The ini file of a plug-in file: its extension replaced by ".ini" (or
    // ".ini" appended when the file name has none).
    static std::string iniPathFor(const std::string& modulePath);

    // Audio thread: moves every parameter assigned to controller number.
    void apply(int number, float value, AudioEffect& effect) const;

    // The controller of a parameter, 0 when it has none.
    int controllerOf(int parameter) const;
    const std::string& iniPath() const { return iniPath_; }

  private:
    void insert(int number, int parameter);

    const ParameterDefinition* definitions_;
    int count_;
    std::string iniPath_;
    int controllers_[kNumHostParameters];  // sorted ascending, kFreeSlot when free
    int parameters_[kNumHostParameters];
};

}  // namespace synth
