#pragma once

#include <string>

#include "tools/lumavox-render/RenderError.h"

namespace render {

// The message of the RenderError that attempt throws, or "(no error)".
template <typename Attempt>
std::string errorText(Attempt&& attempt) {
    try {
        attempt();
    } catch (const RenderError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace render
