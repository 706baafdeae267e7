#pragma once

#include <stdexcept>
#include <string>

namespace render {

// Everything the user can get wrong (a file, an option, a plug-in that does
// not play along) ends in one of these; main prints its text on one line.
class RenderError : public std::runtime_error {
  public:
    explicit RenderError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace render
