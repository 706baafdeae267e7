// The picture inside Lumavox's program-form chunk, read and written through
// the instrument's own chunk reader and writer (instrument/StateChunk), so
// that the layout has one home: the tool only ever sees a chunk the plug-in
// gave it, and hands back one the same writer made.
#pragma once

#include <cstdint>
#include <vector>

namespace render {

// The program chunk's values and picture, as the instrument's reader finds them.
struct ProgramContents {
    std::vector<float> values;           // the host parameters, in index order
    std::vector<std::uint32_t> picture;  // 512 x 512 words 0x00RRGGBB, rows from the top
};

// Throws RenderError when chunk is not a whole Lumavox program chunk.
ProgramContents readProgramChunk(const std::vector<std::uint8_t>& chunk);
// The program chunk of contents, in the instrument's fixed size.
std::vector<std::uint8_t> writeProgramChunk(const ProgramContents& contents);

}  // namespace render
