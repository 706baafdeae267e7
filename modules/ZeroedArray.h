// The large arrays of an instance (pictures, wave tables) in memory from
// calloc. Fresh pages from the system read as zero until they are written,
// so calloc need not clear them, and an instance pays for the pages of such
// an array as it writes them instead of all at once when it is made (a page
// fault each, which is most of what making an instance costs). Each element
// is default-initialised in place: its own member initialisers run, and what
// it leaves uninitialised stays zero. Not for memory that the audio thread
// writes first: its page faults would come on that thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>

namespace audio {

template <typename T>
class ZeroedArray {
    static_assert(std::is_trivially_destructible_v<T>);

  public:
    explicit ZeroedArray(std::size_t count)
        : block_(std::calloc(count * sizeof(T) + alignof(T), 1)) {
        if (!block_) throw std::bad_alloc();
        const auto at = reinterpret_cast<std::uintptr_t>(block_);
        data_ = reinterpret_cast<T*>((at + alignof(T) - 1) / alignof(T) * alignof(T));
        for (std::size_t i = 0; i < count; ++i)
            new (data_ + i) T;
    }
    ~ZeroedArray() { std::free(block_); }
    ZeroedArray(const ZeroedArray&) = delete;
    ZeroedArray& operator=(const ZeroedArray&) = delete;

    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

  private:
    void* block_;
    T* data_;
};

}  // namespace audio
