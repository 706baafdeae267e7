#include <windows.h>

#include "platform/Semaphore.h"

namespace platform {

struct Semaphore::Native {
    HANDLE handle;
};

Semaphore::Semaphore()
    : native_(std::make_unique<Native>(Native{CreateSemaphoreA(nullptr, 0, 0x7FFFFFFF, nullptr)})) {
}
Semaphore::~Semaphore() {
    CloseHandle(native_->handle);
}
void Semaphore::post() {
    ReleaseSemaphore(native_->handle, 1, nullptr);
}
void Semaphore::wait() {
    WaitForSingleObject(native_->handle, INFINITE);
}

}  // namespace platform
