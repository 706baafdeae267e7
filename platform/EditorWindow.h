// The editor's native window: a child of the window the host gives, showing
// a block of 32-bit pixels (0x00RRGGBB, rows from the top) that the editor
// draws, and reporting the mouse, the wheel and keys. One backend per
// system: an X11 child window on its own Display connection (Linux), a
// Win32 child window (Windows).
//
// Threads: everything here runs on the host's user-interface thread, the
// one that opens, idles and closes the editor.
#pragma once

#include <cstdint>
#include <memory>

namespace platform {

// The button word that reaches the editor: buttons and modifier keys held
// after the event.
enum WindowButtons : int {
    kWindowLeft = 1,
    kWindowMiddle = 2,
    kWindowRight = 4,
    kWindowShift = 8,
    kWindowControl = 16,
    kWindowAlt = 32,
};

// Keys other than characters, as the host's key requests name them.
enum WindowKeys : int {
    kWindowKeyBack = 1,
    kWindowKeyTab = 2,
    kWindowKeyReturn = 4,
    kWindowKeyEscape = 6,
    kWindowKeyLeft = 11,
    kWindowKeyUp = 12,
    kWindowKeyRight = 13,
    kWindowKeyDown = 14,
    kWindowKeyEnter = 19,
    kWindowKeyDelete = 22,
};

class EditorWindowEvents {
  public:
    virtual ~EditorWindowEvents() = default;
    // Window coordinates; buttons as held after the event.
    virtual void mouseDown(int x, int y, int buttons) = 0;
    virtual void mouseMoved(int x, int y, int buttons) = 0;
    virtual void mouseUp(int x, int y, int buttons) = 0;
    // distance in notches, positive away from the user.
    virtual void mouseWheel(int x, int y, float distance, int buttons) = 0;
    virtual void keyDown(int character, int virtualKey, int modifiers) = 0;
    // The window's own timer, when the host's idle calls have stopped coming.
    virtual void timerIdle() = 0;
};

class EditorWindow {
  public:
    virtual ~EditorWindow() = default;
    // Shows the part of the pixels from (left, top) to (right, bottom), now.
    virtual void present(int left, int top, int right, int bottom) = 0;
    // Delivers whatever arrived for the window (where the system does not
    // deliver it by itself).
    virtual void processEvents() = 0;
    // The host's idle call came; the window's timer waits.
    virtual void hostIdled() = 0;
    // The current buttons and pointer position in window coordinates.
    virtual int mouseButtons() = 0;
    virtual void mousePosition(int& x, int& y) = 0;
    // The X11 Window id or the HWND.
    virtual std::uintptr_t nativeHandle() const = 0;
};

// pixels: width x height, stride pixels per row, valid as long as the window;
// the window paints from them whenever the system asks it to. Null when the
// window cannot be made (no parent, no display).
std::unique_ptr<EditorWindow> createEditorWindow(void* parent, int width, int height,
                                                 const std::uint32_t* pixels, int stride,
                                                 EditorWindowEvents& events);

// Tests put a window of their own in place of the system's (for a parent that
// is not null); null restores it.
using EditorWindowFactory = std::unique_ptr<EditorWindow> (*)(void* parent, int width, int height,
                                                              const std::uint32_t* pixels,
                                                              int stride,
                                                              EditorWindowEvents& events);
void setEditorWindowFactory(EditorWindowFactory factory);

}  // namespace platform
