#include <semaphore.h>

#include <cerrno>

#include "platform/Semaphore.h"

namespace platform {

struct Semaphore::Native {
    sem_t semaphore;
};

Semaphore::Semaphore() : native_(std::make_unique<Native>()) {
    sem_init(&native_->semaphore, 0, 0);
}
Semaphore::~Semaphore() {
    sem_destroy(&native_->semaphore);
}
void Semaphore::post() {
    sem_post(&native_->semaphore);
}
void Semaphore::wait() {
    while (sem_wait(&native_->semaphore) != 0 && errno == EINTR) {
    }
}

}  // namespace platform
