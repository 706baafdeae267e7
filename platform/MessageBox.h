// Modal message boxes: the only way the instrument speaks to the user outside
// its editor. Windows uses MessageBoxA; Linux shows a dialog program when a
// display is present and falls back to standard error. Tests and command-line
// tools divert every box through a hook.
#pragma once

namespace platform {

enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

class MessageBoxHook {
  public:
    virtual ~MessageBoxHook() = default;
    virtual MessageAnswer show(const char* text, const char* caption, MessageButtons buttons) = 0;
};

// Blocks the calling thread until the user has answered. Never call it on the
// audio thread.
MessageAnswer showMessageBox(const char* text, const char* caption, MessageButtons buttons);

// Process-wide; null restores the platform's own boxes.
void setMessageBoxHook(MessageBoxHook* hook);

namespace detail {
MessageAnswer showPlatformMessageBox(const char* text, const char* caption, MessageButtons buttons);
}

}  // namespace platform
