// A thread of the instance that does work the audio thread must not do
// itself (a wave-table rebuild costs milliseconds). The audio thread only
// wakes it, which neither locks nor waits.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "platform/Semaphore.h"

namespace synth {

class DeferredWorker {
  public:
    // Starts the thread; work runs on it after every wake.
    explicit DeferredWorker(std::function<void()> work);
    ~DeferredWorker();
    DeferredWorker(const DeferredWorker&) = delete;
    DeferredWorker& operator=(const DeferredWorker&) = delete;

    void wake() noexcept { wakeUp_.post(); }
    // Joins the thread after the work in progress; later wakes do nothing.
    void stop();

  private:
    std::function<void()> work_;
    std::atomic<bool> stopping_{false};
    platform::Semaphore wakeUp_;
    std::thread thread_;
};

}  // namespace synth
