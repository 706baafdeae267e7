// The editor's window on Windows: a Win32 child window of the host's HWND,
// painted on WM_PAINT from the editor's pixels. The mouse is captured while
// a button is held, so a drag goes on outside the window. A timer stands in
// for the host's idle calls when they stop coming (some hosts call them only
// while the mouse is over their own windows).
#include <windows.h>
#include <windowsx.h>

#include <cwchar>

#include "platform/EditorWindow.h"
#include "platform/win32/OwnModule.h"

namespace platform::detail {
namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerMilliseconds = 30;
// Host idle calls further apart than this and the timer idles the editor.
constexpr DWORD kIdleGapMilliseconds = 60;

int modifiers() {
    int word = 0;
    if (GetKeyState(VK_SHIFT) < 0) word |= kWindowShift;
    if (GetKeyState(VK_CONTROL) < 0) word |= kWindowControl;
    if (GetKeyState(VK_MENU) < 0) word |= kWindowAlt;
    return word;
}

int buttonsOf(WPARAM keys) {
    int word = 0;
    if (keys & MK_LBUTTON) word |= kWindowLeft;
    if (keys & MK_MBUTTON) word |= kWindowMiddle;
    if (keys & MK_RBUTTON) word |= kWindowRight;
    if (keys & MK_SHIFT) word |= kWindowShift;
    if (keys & MK_CONTROL) word |= kWindowControl;
    if (GetKeyState(VK_MENU) < 0) word |= kWindowAlt;
    return word;
}

int virtualKeyOf(WPARAM key) {
    switch (key) {
        case VK_BACK:
            return kWindowKeyBack;
        case VK_TAB:
            return kWindowKeyTab;
        case VK_RETURN:
            return kWindowKeyReturn;
        case VK_ESCAPE:
            return kWindowKeyEscape;
        case VK_LEFT:
            return kWindowKeyLeft;
        case VK_UP:
            return kWindowKeyUp;
        case VK_RIGHT:
            return kWindowKeyRight;
        case VK_DOWN:
            return kWindowKeyDown;
        case VK_DELETE:
            return kWindowKeyDelete;
        default:
            return 0;
    }
}

class Win32EditorWindow;

// One window class per loaded copy of the plug-in, named after its module
// handle, so that two copies (or two builds) never share a window procedure.
class WindowClass {
  public:
    static const wchar_t* acquire(WNDPROC procedure) {
        if (users_++ == 0) {
            std::swprintf(name_, sizeof name_ / sizeof name_[0], L"LumavoxEditor%p",
                          static_cast<void*>(ownModuleHandle()));
            WNDCLASSEXW c{};
            c.cbSize = sizeof c;
            c.style = CS_DBLCLKS;
            c.lpfnWndProc = procedure;
            c.hInstance = ownModuleHandle();
            c.hCursor = LoadCursor(nullptr, IDC_ARROW);
            c.lpszClassName = name_;
            RegisterClassExW(&c);
        }
        return name_;
    }
    static void release() {
        if (--users_ == 0) UnregisterClassW(name_, ownModuleHandle());
    }

  private:
    static inline int users_ = 0;
    static inline wchar_t name_[64] = {};
};

class Win32EditorWindow : public EditorWindow {
  public:
    Win32EditorWindow(const std::uint32_t* pixels, int width, int height, int stride,
                      EditorWindowEvents& events)
        : pixels_(pixels), width_(width), height_(height), stride_(stride), events_(events) {}

    ~Win32EditorWindow() override {
        if (window_) {
            KillTimer(window_, kTimerId);
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
        }
        if (registered_) WindowClass::release();
    }

    bool create(HWND parent) {
        if (!IsWindow(parent)) return false;
        const wchar_t* name = WindowClass::acquire(&Win32EditorWindow::procedure);
        registered_ = true;
        window_ = CreateWindowExW(0, name, L"Lumavox", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0,
                                  0, width_, height_, parent, nullptr, ownModuleHandle(), nullptr);
        if (!window_) return false;
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        lastHostIdle_ = GetTickCount();
        SetTimer(window_, kTimerId, kTimerMilliseconds, nullptr);
        return true;
    }

    void present(int left, int top, int right, int bottom) override {
        RECT r{left, top, right, bottom};
        InvalidateRect(window_, &r, FALSE);
        UpdateWindow(window_);  // paints now, from the pixels as they are
    }

    void processEvents() override {}  // the system calls the window procedure itself

    void hostIdled() override { lastHostIdle_ = GetTickCount(); }

    int mouseButtons() override {
        int word = modifiers();
        // The physical buttons, whichever way round the user has swapped them.
        const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
        if (GetAsyncKeyState(swapped ? VK_RBUTTON : VK_LBUTTON) < 0) word |= kWindowLeft;
        if (GetAsyncKeyState(VK_MBUTTON) < 0) word |= kWindowMiddle;
        if (GetAsyncKeyState(swapped ? VK_LBUTTON : VK_RBUTTON) < 0) word |= kWindowRight;
        return word;
    }

    void mousePosition(int& x, int& y) override {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(window_, &p);
        x = p.x;
        y = p.y;
    }

    std::uintptr_t nativeHandle() const override {
        return reinterpret_cast<std::uintptr_t>(window_);
    }

  private:
    void paint() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = stride_;
        info.bmiHeader.biHeight = -height_;  // rows from the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width_), static_cast<DWORD>(height_), 0, 0,
                          0, static_cast<UINT>(height_), pixels_, &info, DIB_RGB_COLORS);
        EndPaint(window_, &ps);
    }

    void button(UINT message, WPARAM keys, LPARAM where) {
        const int x = GET_X_LPARAM(where), y = GET_Y_LPARAM(where);
        const int held = buttonsOf(keys);
        const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ||
                          message == WM_MBUTTONDOWN || message == WM_LBUTTONDBLCLK ||
                          message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
        if (down) {
            if (GetCapture() != window_) SetCapture(window_);
            SetFocus(window_);
            events_.mouseDown(x, y, held);
        } else {
            if (!(held & (kWindowLeft | kWindowMiddle | kWindowRight)) && GetCapture() == window_)
                ReleaseCapture();
            events_.mouseUp(x, y, held);
        }
    }

    LRESULT handle(UINT message, WPARAM w, LPARAM l) {
        switch (message) {
            case WM_PAINT:
                paint();
                return 0;
            case WM_ERASEBKGND:
                return 1;  // every pixel is painted
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDBLCLK:
            case WM_MBUTTONDBLCLK:
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
            case WM_MBUTTONUP:
                button(message, w, l);
                return 0;
            case WM_MOUSEMOVE:
                events_.mouseMoved(GET_X_LPARAM(l), GET_Y_LPARAM(l), buttonsOf(w));
                return 0;
            case WM_MOUSEWHEEL: {
                POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};  // screen coordinates
                ScreenToClient(window_, &p);
                events_.mouseWheel(p.x, p.y,
                                   static_cast<float>(GET_WHEEL_DELTA_WPARAM(w)) / WHEEL_DELTA,
                                   buttonsOf(GET_KEYSTATE_WPARAM(w)));
                return 0;
            }
            case WM_KEYDOWN:
                if (const int key = virtualKeyOf(w)) {
                    events_.keyDown(0, key, modifiers());
                    return 0;
                }
                break;
            case WM_CHAR:
                if (w >= 32 && w < 127) {
                    events_.keyDown(static_cast<int>(w), 0, modifiers());
                    return 0;
                }
                break;
            case WM_TIMER:
                if (w == kTimerId && GetTickCount() - lastHostIdle_ > kIdleGapMilliseconds) {
                    events_.timerIdle();
                    return 0;
                }
                break;
            default:
                break;
        }
        return DefWindowProcW(window_, message, w, l);
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<Win32EditorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!self) return DefWindowProcW(window, message, w, l);
        return self->handle(message, w, l);
    }

    HWND window_ = nullptr;
    bool registered_ = false;
    DWORD lastHostIdle_ = 0;
    const std::uint32_t* pixels_;
    int width_, height_, stride_;
    EditorWindowEvents& events_;
};

}  // namespace

std::unique_ptr<EditorWindow> createSystemEditorWindow(void* parent, int width, int height,
                                                       const std::uint32_t* pixels, int stride,
                                                       EditorWindowEvents& events) {
    auto window = std::make_unique<Win32EditorWindow>(pixels, width, height, stride, events);
    if (!window->create(static_cast<HWND>(parent))) return nullptr;
    return window;
}

}  // namespace platform::detail
