#include <windows.h>

#include "platform/LargeMemory.h"

namespace platform {

// Committed memory is zero until written; large pages would need a privilege
// that users do not have.
void* reserveLarge(std::size_t bytes) {
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void releaseLarge(void* memory, std::size_t) noexcept {
    if (memory) VirtualFree(memory, 0, MEM_RELEASE);
}

}  // namespace platform
