// The audio thread's promise: processEvents and processReplacing allocate
// nothing and take no lock. This binary replaces the global allocation
// functions and pthread_mutex_lock with counting ones, then renders notes,
// controllers and automation (which move parameters and ask for wave-table
// rebuilds) and pitch bend through the whole instrument.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "instrument/Lumavox.h"
#include "tests/support/TestSynth.h"

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
std::atomic<long> gLocks{0};
thread_local bool tOnRenderThread = false;

void* countedAllocation(std::size_t size) {
    if (gCounting && tOnRenderThread) ++gAllocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) {
    return countedAllocation(size);
}
void* operator new[](std::size_t size) {
    return countedAllocation(size);
}
void* operator new(std::size_t size, std::align_val_t align) {
    if (gCounting && tOnRenderThread) ++gAllocations;
    const std::size_t a = static_cast<std::size_t>(align);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) {
    return operator new(size, align);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}

extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex) {
    using Lock = int (*)(pthread_mutex_t*);
    static Lock real = reinterpret_cast<Lock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    if (gCounting && tOnRenderThread) ++gLocks;
    return real(mutex);
}

namespace {

using testsupport::EventList;
using testsupport::midiEvent;

TEST(Realtime, RenderingWithEventsAllocatesNothingAndLocksNothing) {
    lumavox::Lumavox synth(nullptr);
    synth.setSampleRate(44100);
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    EventList events;
    for (int k = 0; k < 10; ++k)
        events.add(midiEvent(k * 40, 0x90, 48 + k * 3, 100));
    events.add(midiEvent(100, 0xB0, 14, 90));   // Tune: asks for a rebuild
    events.add(midiEvent(200, 0xB0, 15, 30));   // Range
    events.add(midiEvent(250, 0xB0, 91, 100));  // RevLevel: new reverb gains
    events.add(midiEvent(300, 0xE0, 0, 100));
    events.add(midiEvent(400, 0xB0, 64, 127));
    EventList releases;
    for (int k = 0; k < 10; ++k)
        releases.add(midiEvent(k * 30, 0x80, 48 + k * 3, 0));
    releases.add(midiEvent(10, 0xB0, 123, 0));

    VstEvents* notes = events.get();  // the host's lists, made before rendering
    VstEvents* offs = releases.get();
    const int tune = synth.parameterIndex("Tune");
    const int range = synth.parameterIndex("Range");

    tOnRenderThread = true;
    gCounting = true;
    for (int block = 0; block < 400; ++block) {
        if (block % 100 == 0) synth.processEvents(notes);
        if (block % 100 == 50) synth.processEvents(offs);
        // Hosts automate from their audio thread too, between blocks.
        if (block % 100 == 70) synth.setParameter(tune, 0.01f * static_cast<float>(block % 7));
        if (block % 100 == 80) synth.setParameter(range, 0.6f);
        synth.processReplacing(nullptr, outputs, 512);
    }
    gCounting = false;
    tOnRenderThread = false;
    EXPECT_EQ(gAllocations.load(), 0);
    EXPECT_EQ(gLocks.load(), 0);
}

}  // namespace
