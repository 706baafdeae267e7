#include "platform/MessageBox.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<MessageBoxHook*> gHook{nullptr};
}

MessageAnswer showMessageBox(const char* text, const char* caption, MessageButtons buttons) {
    if (!text) text = "";
    if (!caption) caption = "";
    if (MessageBoxHook* hook = gHook.load(std::memory_order_acquire))
        return hook->show(text, caption, buttons);
    return detail::showPlatformMessageBox(text, caption, buttons);
}

void setMessageBoxHook(MessageBoxHook* hook) {
    gHook.store(hook, std::memory_order_release);
}

}  // namespace platform
