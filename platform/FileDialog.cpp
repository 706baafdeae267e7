#include "platform/FileDialog.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<FileDialogHook*> gHook{nullptr};
}

std::optional<std::filesystem::path> askForFile(const FileDialogRequest& request) {
    if (FileDialogHook* hook = gHook.load(std::memory_order_acquire)) return hook->ask(request);
    return detail::askSystemForFile(request);
}

void setFileDialogHook(FileDialogHook* hook) {
    gHook.store(hook, std::memory_order_release);
}

}  // namespace platform
