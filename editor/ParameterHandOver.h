// How a parameter change reaches the editor's controls from whatever thread
// made it (a MIDI controller on the audio thread, the host's automation, a
// chunk): the change is only recorded here, in one atomic value per entry
// and a mask of the entries changed, and the editor's own thread takes the
// changes in its idle pass. Recording neither locks nor waits nor allocates.
// A command entry keeps a separate mark of having been pressed, so that a
// press and its release between two idle passes still run the command once.
#pragma once

#include <atomic>
#include <cstdint>

namespace editor {

class ParameterHandOver {
  public:
    static constexpr int kCapacity = 64;

    // Any thread.
    void record(int index, float value, bool command) noexcept {
        if (index < 0 || index >= kCapacity) return;
        values_[index].store(value, std::memory_order_relaxed);
        const std::uint32_t bit = 1u << (index % 32);
        if (command) commands_[index / 32].fetch_or(bit, std::memory_order_release);
        changed_[index / 32].fetch_or(bit, std::memory_order_release);
    }

    // The editor's thread: calls take(index, value, commanded) for every entry
    // changed since the last drain, in index order.
    template <class Take>
    void drain(Take&& take) {
        for (int word = 0; word < kWords; ++word) {
            std::uint32_t changed = changed_[word].exchange(0, std::memory_order_acquire);
            const std::uint32_t commands = commands_[word].exchange(0, std::memory_order_acquire);
            changed |= commands;
            while (changed) {
                const int bit = __builtin_ctz(changed);
                changed &= changed - 1;
                const int index = 32 * word + bit;
                take(index, values_[index].load(std::memory_order_relaxed), (commands >> bit) & 1u);
            }
        }
    }

    // Forgets everything recorded (the editor reads every value anew on open).
    void clear() {
        for (int word = 0; word < kWords; ++word) {
            changed_[word].store(0, std::memory_order_relaxed);
            commands_[word].store(0, std::memory_order_relaxed);
        }
    }

  private:
    static constexpr int kWords = kCapacity / 32;
    std::atomic<float> values_[kCapacity] = {};
    std::atomic<std::uint32_t> changed_[kWords] = {};
    std::atomic<std::uint32_t> commands_[kWords] = {};
};

}  // namespace editor
