// A counting semaphore whose post never locks or waits, so the audio thread
// may wake a worker with it. POSIX sem_post and Windows ReleaseSemaphore are
// both lock-free for the caller (the standard library's semaphores are not,
// on every platform we build for).
#pragma once

#include <memory>

namespace platform {

class Semaphore {
  public:
    Semaphore();
    ~Semaphore();
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    void post();  // any thread, the audio thread included
    void wait();  // blocks; never on the audio thread

  private:
    struct Native;
    std::unique_ptr<Native> native_;
};

}  // namespace platform
