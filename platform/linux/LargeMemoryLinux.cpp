#include <sys/mman.h>

#include <cstdint>

#include "platform/LargeMemory.h"

namespace platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t rounded(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

}  // namespace

void* reserveLarge(std::size_t bytes) {
    const std::size_t size = rounded(bytes);
    // One huge page more than needed, so that an aligned run lies inside.
    void* raw =
        mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start) munmap(raw, aligned - start);
    const std::uintptr_t end = start + size + kHugePage;
    if (end > aligned + size)
        munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    void* memory = reinterpret_cast<void*>(aligned);
    madvise(memory, size, MADV_HUGEPAGE);  // advice only: without it, small pages
    return memory;
}

void releaseLarge(void* memory, std::size_t bytes) noexcept {
    if (memory) munmap(memory, rounded(bytes));
}

}  // namespace platform
