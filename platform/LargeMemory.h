// Memory for an instance's large arrays (delay lines, pictures, wave tables)
// straight from the system: zero until written and never shared with the
// heap. On Linux it is aligned to 2 MB and marked for transparent huge pages,
// so the first touch of each 2 MB costs one page fault instead of 512, which
// is most of what making an instance costs.
#pragma once

#include <cstddef>

namespace platform {

// Null when the system has no memory to give. Control threads.
void* reserveLarge(std::size_t bytes);
// Gives back what reserveLarge(bytes) returned.
void releaseLarge(void* memory, std::size_t bytes) noexcept;

}  // namespace platform
