// Hands the newest of a stream of large values (a set of wave tables, a
// display picture) from one writer to one reader, lock-free and wait-free on
// both sides. There are three slots: the writer fills its back slot and
// swaps it into the middle; the reader swaps the middle into its front slot
// when a newer one is there. Neither ever touches the other's slot, so the
// reader never sees a half-written value and nobody waits.
//
// Only the indices live here; the owner keeps the three slots. Writers that
// may be several threads serialise themselves (the owner holds a mutex).
#pragma once

#include <atomic>
#include <cstdint>

namespace audio {

class TripleBuffer {
  public:
    // Writer: the slot to fill next.
    int back() const { return back_; }
    // Writer: the slot it published last (readable by both sides, written by none).
    int lastPublished() const { return lastPublished_; }
    // Writer: makes the back slot the newest value.
    void publish() {
        lastPublished_ = back_;
        const std::uint8_t old =
            middle_.exchange(static_cast<std::uint8_t>(back_ | kFresh), std::memory_order_acq_rel);
        back_ = old & kIndexMask;
    }

    // Reader: takes the newest value if there is one; true when it changed.
    bool update() {
        if (!(middle_.load(std::memory_order_relaxed) & kFresh)) return false;
        const std::uint8_t old =
            middle_.exchange(static_cast<std::uint8_t>(front_), std::memory_order_acq_rel);
        front_ = old & kIndexMask;
        return true;
    }
    // Reader: the slot to read.
    int front() const { return front_; }

  private:
    static constexpr std::uint8_t kIndexMask = 3;
    static constexpr std::uint8_t kFresh = 4;

    std::atomic<std::uint8_t> middle_{1};
    int back_ = 0;
    int lastPublished_ = 1;  // the middle slot holds the (empty) initial value
    int front_ = 2;
};

}  // namespace audio
