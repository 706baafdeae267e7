// The picture inside the instrument's program-form chunk: after the ID word
// and the key=value strings (ended by "Spctr="), 512 x 512 pixels of three
// bytes (blue, green, red), rows from the top.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace render {

// Replaces the picture of chunk (as effGetChunk gave it for the current
// program) by picture, 0x00RRGGBB words, rows from the top. Throws RenderError
// when the chunk is empty or has no room for a picture.
void replaceChunkPicture(std::vector<std::uint8_t>& chunk, std::int32_t pluginId,
                         const std::uint32_t* picture);

}  // namespace render
