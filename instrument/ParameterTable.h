#pragma once

#include "synth/ParameterDefinition.h"

namespace lumavox {

// The instrument's parameters, one row each: 27 the host sees (and programs
// store), then the editor's own controls.
extern const synth::ParameterDefinition kParameterTable[];
extern const int kParameterTableSize;

}  // namespace lumavox
