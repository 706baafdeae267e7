#include "synth/DeferredWorker.h"

namespace synth {

DeferredWorker::DeferredWorker(std::function<void()> work) : work_(std::move(work)) {
    thread_ = std::thread([this] {
        for (;;) {
            wakeUp_.wait();
            if (stopping_.load(std::memory_order_acquire)) return;
            work_();
        }
    });
}

DeferredWorker::~DeferredWorker() {
    stop();
}

void DeferredWorker::stop() {
    if (!thread_.joinable()) return;
    stopping_.store(true, std::memory_order_release);
    wakeUp_.post();
    thread_.join();
}

}  // namespace synth
