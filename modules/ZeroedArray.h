// The large arrays of an instance (delay lines, pictures, wave tables) in
// memory that the module's host takes from the system (allocateLarge). Fresh
// pages read as zero until they are written, so nothing clears them, and an
// instance pays for the pages of such an array as it writes them instead of
// all at once when it is made (a page fault each, which is most of what
// making an instance costs). Each element is default-initialised in place:
// its own member initialisers run, and what it leaves uninitialised stays
// zero. Memory that the audio thread writes must have its pages mapped when
// it is made (Pages::Now), or their page faults would come on that thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>

#include "modules/ModuleHost.h"

namespace audio {

template <typename T>
class ZeroedArray {
    static_assert(std::is_trivially_destructible_v<T>);

  public:
    enum class Pages { OnFirstWrite, Now };

    // Pages::Now maps every page here, on the constructing thread: for what
    // the audio thread writes.
    ZeroedArray(ModuleHost& host, std::size_t count, Pages pages = Pages::OnFirstWrite)
        : host_(host), bytes_(count * sizeof(T) + alignof(T)), block_(host.allocateLarge(bytes_)) {
        if (!block_) throw std::bad_alloc();
        if (pages == Pages::Now) {
            auto* bytes = static_cast<volatile unsigned char*>(block_);
            for (std::size_t i = 0; i < bytes_; i += 4096)
                bytes[i] = 0;  // zero already: writing it only maps the page
        }
        const auto at = reinterpret_cast<std::uintptr_t>(block_);
        data_ = reinterpret_cast<T*>((at + alignof(T) - 1) / alignof(T) * alignof(T));
        for (std::size_t i = 0; i < count; ++i)
            new (data_ + i) T;
    }
    ~ZeroedArray() { host_.releaseLarge(block_, bytes_); }
    ZeroedArray(const ZeroedArray&) = delete;
    ZeroedArray& operator=(const ZeroedArray&) = delete;

    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

  private:
    ModuleHost& host_;
    std::size_t bytes_;
    void* block_;
    T* data_;
};

}  // namespace audio
