#include "platform/EditorWindow.h"

#include <atomic>

namespace platform {
namespace detail {
std::unique_ptr<EditorWindow> createSystemEditorWindow(void* parent, int width, int height,
                                                       const std::uint32_t* pixels, int stride,
                                                       EditorWindowEvents& events);
}

namespace {
std::atomic<EditorWindowFactory> gFactory{nullptr};
}

std::unique_ptr<EditorWindow> createEditorWindow(void* parent, int width, int height,
                                                 const std::uint32_t* pixels, int stride,
                                                 EditorWindowEvents& events) {
    if (!parent) return nullptr;
    if (EditorWindowFactory factory = gFactory.load(std::memory_order_acquire))
        return factory(parent, width, height, pixels, stride, events);
    return detail::createSystemEditorWindow(parent, width, height, pixels, stride, events);
}

void setEditorWindowFactory(EditorWindowFactory factory) {
    gFactory.store(factory, std::memory_order_release);
}

}  // namespace platform
