// Which MIDI controller moves which program parameter. Read from the ini file
// beside the plug-in file when the instance is built (defaults from the
// parameter table) and written back when it is destroyed; the user edits the
// file to reassign controllers.
#pragma once

#include <string>
#include <string_view>

#include "synth/ParameterDefinition.h"
#include "synth/Program.h"

class AudioEffect;

namespace synth {

class ControllerMap {
  public:
    static constexpr int kFreeSlot = 255;
    static constexpr int kMaxController = 127;  // MIDI data bytes have 7 bits
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

    // The controller number an ini value stands for, on every platform: the
    // decimal digits at its start (after an optional "+"); a value without
    // them, such as a word, nothing or a negative number, is 0 (no
    // controller). Numbers of kFreeSlot or more come back as kFreeSlot, which
    // leaves the parameter without a slot.
    static int controllerNumberFrom(std::string_view text);

    // Audio thread: moves every parameter assigned to controller number, a
    // MIDI data byte; numbers outside 1..127 (a malformed message) move nothing.
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
