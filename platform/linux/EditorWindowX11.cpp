// The editor's window on Linux: a child of the host's X11 window (the XID
// the host passes), on a Display connection of the editor's own, so that
// nothing here depends on the host's Xlib use or threads. The host's idle
// calls read the events (hosts give a plug-in no event loop); the pixels go
// to the window with XShmPutImage where the server shares memory with us,
// else with XPutImage.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>

#include "platform/EditorWindow.h"

namespace platform::detail {
namespace {

// Xlib reports errors through one handler for the whole process. Around the
// few calls that may fail (a bad parent window, a refused shared segment)
// ours stands in, just long enough to see whether they failed.
class ErrorTrap {
  public:
    explicit ErrorTrap(Display* display) : display_(display) {
        failed_ = false;
        XSync(display_, False);
        previous_ = XSetErrorHandler(&ErrorTrap::handle);
    }
    ~ErrorTrap() { XSetErrorHandler(previous_); }
    bool failed() {
        XSync(display_, False);
        return failed_;
    }

  private:
    static int handle(Display*, XErrorEvent*) {
        failed_ = true;
        return 0;
    }
    static inline bool failed_ = false;
    Display* display_;
    int (*previous_)(Display*, XErrorEvent*) = nullptr;
};

int modifiersOf(unsigned state) {
    int word = 0;
    if (state & ShiftMask) word |= kWindowShift;
    if (state & ControlMask) word |= kWindowControl;
    if (state & Mod1Mask) word |= kWindowAlt;
    return word;
}

int buttonsOf(unsigned state) {
    int word = modifiersOf(state);
    if (state & Button1Mask) word |= kWindowLeft;
    if (state & Button2Mask) word |= kWindowMiddle;
    if (state & Button3Mask) word |= kWindowRight;
    return word;
}

int buttonBit(unsigned button) {
    switch (button) {
        case Button1:
            return kWindowLeft;
        case Button2:
            return kWindowMiddle;
        case Button3:
            return kWindowRight;
        default:
            return 0;
    }
}

int virtualKeyOf(KeySym key) {
    switch (key) {
        case XK_BackSpace:
            return kWindowKeyBack;
        case XK_Tab:
            return kWindowKeyTab;
        case XK_Return:
            return kWindowKeyReturn;
        case XK_KP_Enter:
            return kWindowKeyEnter;
        case XK_Escape:
            return kWindowKeyEscape;
        case XK_Left:
            return kWindowKeyLeft;
        case XK_Up:
            return kWindowKeyUp;
        case XK_Right:
            return kWindowKeyRight;
        case XK_Down:
            return kWindowKeyDown;
        case XK_Delete:
            return kWindowKeyDelete;
        default:
            return 0;
    }
}

class X11EditorWindow : public EditorWindow {
  public:
    X11EditorWindow(Display* display, const std::uint32_t* pixels, int width, int height,
                    int stride, EditorWindowEvents& events)
        : display_(display),
          pixels_(pixels),
          width_(width),
          height_(height),
          stride_(stride),
          events_(events) {}

    ~X11EditorWindow() override {
        if (image_) {
            if (shared_) {
                XShmDetach(display_, &segment_);
                XSync(display_, False);
                image_->data = nullptr;  // the segment is not Xlib's to free
                XDestroyImage(image_);
                shmdt(segment_.shmaddr);
            } else {
                XDestroyImage(image_);  // frees the pixels, which malloc gave
            }
        }
        if (gc_) XFreeGC(display_, gc_);
        if (window_) XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }

    bool create(Window parent) {
        XWindowAttributes parentAttributes;
        {
            ErrorTrap trap(display_);
            const Status found = XGetWindowAttributes(display_, parent, &parentAttributes);
            if (trap.failed() || !found) return false;
        }
        visual_ = parentAttributes.visual;
        depth_ = parentAttributes.depth;
        XSetWindowAttributes attributes{};
        attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                                PointerMotionMask | KeyPressMask | StructureNotifyMask;
        attributes.background_pixel = 0;
        attributes.border_pixel = 0;
        attributes.colormap = parentAttributes.colormap;
        {
            ErrorTrap trap(display_);
            window_ =
                XCreateWindow(display_, parent, 0, 0, static_cast<unsigned>(width_),
                              static_cast<unsigned>(height_), 0, depth_, InputOutput, visual_,
                              CWEventMask | CWBackPixel | CWBorderPixel | CWColormap, &attributes);
            if (trap.failed()) window_ = 0;
        }
        if (!window_) return false;
        gc_ = XCreateGC(display_, window_, 0, nullptr);
        if (!createImage()) return false;
        XMapWindow(display_, window_);
        XFlush(display_);
        return true;
    }

    void present(int left, int top, int right, int bottom) override {
        left = left < 0 ? 0 : left, top = top < 0 ? 0 : top;
        right = right > width_ ? width_ : right, bottom = bottom > height_ ? height_ : bottom;
        if (right <= left || bottom <= top) return;
        copyToImage(left, top, right, bottom);
        const unsigned w = static_cast<unsigned>(right - left),
                       h = static_cast<unsigned>(bottom - top);
        if (shared_) {
            XShmPutImage(display_, window_, gc_, image_, left, top, left, top, w, h, False);
            XSync(display_, False);  // the server has read the segment before we write it again
        } else {
            XPutImage(display_, window_, gc_, image_, left, top, left, top, w, h);
            XFlush(display_);
        }
    }

    void processEvents() override {
        int exposedLeft = width_, exposedTop = height_, exposedRight = 0, exposedBottom = 0;
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            switch (event.type) {
                case Expose: {
                    const XExposeEvent& e = event.xexpose;
                    if (e.x < exposedLeft) exposedLeft = e.x;
                    if (e.y < exposedTop) exposedTop = e.y;
                    if (e.x + e.width > exposedRight) exposedRight = e.x + e.width;
                    if (e.y + e.height > exposedBottom) exposedBottom = e.y + e.height;
                    break;
                }
                case ButtonPress: {
                    const XButtonEvent& e = event.xbutton;
                    const int held = buttonsOf(e.state);
                    if (e.button == Button4 || e.button == Button5) {
                        events_.mouseWheel(e.x, e.y, e.button == Button4 ? 1.f : -1.f, held);
                    } else if (const int bit = buttonBit(e.button)) {
                        events_.mouseDown(e.x, e.y, held | bit);
                    }
                    break;
                }
                case ButtonRelease: {
                    const XButtonEvent& e = event.xbutton;
                    if (const int bit = buttonBit(e.button))
                        events_.mouseUp(e.x, e.y, buttonsOf(e.state) & ~bit);
                    break;
                }
                case MotionNotify:
                    events_.mouseMoved(event.xmotion.x, event.xmotion.y,
                                       buttonsOf(event.xmotion.state));
                    break;
                case KeyPress: {
                    char text[8] = {};
                    KeySym key = 0;
                    const int length =
                        XLookupString(&event.xkey, text, sizeof text - 1, &key, nullptr);
                    const int character = length == 1 ? static_cast<unsigned char>(text[0]) : 0;
                    const int virtualKey = virtualKeyOf(key);
                    if (character || virtualKey)
                        events_.keyDown(virtualKey ? 0 : character, virtualKey,
                                        modifiersOf(event.xkey.state));
                    break;
                }
                default:
                    break;
            }
        }
        if (exposedRight > exposedLeft && exposedBottom > exposedTop)
            present(exposedLeft, exposedTop, exposedRight, exposedBottom);
    }

    void hostIdled() override {}

    int mouseButtons() override {
        int x, y;
        return queryPointer(x, y);
    }

    void mousePosition(int& x, int& y) override { queryPointer(x, y); }

    std::uintptr_t nativeHandle() const override { return window_; }

  private:
    int queryPointer(int& x, int& y) {
        Window root, child;
        int rootX, rootY;
        unsigned state = 0;
        x = y = 0;
        if (!XQueryPointer(display_, window_, &root, &child, &rootX, &rootY, &x, &y, &state))
            return 0;
        return buttonsOf(state);
    }

    // Our pixels are 0xAARRGGBB in memory order B, G, R, A: what a 24- or
    // 32-bit TrueColor visual takes as it is (with the top byte opaque for a
    // 32-bit one). Other visuals get each pixel converted.
    bool directVisual() const {
        return image_->bits_per_pixel == 32 && visual_->red_mask == 0xFF0000 &&
               visual_->green_mask == 0xFF00 && visual_->blue_mask == 0xFF &&
               image_->byte_order == LSBFirst;
    }

    bool createImage() {
        if (XShmQueryExtension(display_)) {
            image_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap,
                                     nullptr, &segment_, static_cast<unsigned>(width_),
                                     static_cast<unsigned>(height_));
            if (image_) {
                segment_.shmid =
                    shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * height_,
                           IPC_CREAT | 0600);
                void* address = segment_.shmid >= 0 ? shmat(segment_.shmid, nullptr, 0) : nullptr;
                if (address && address != reinterpret_cast<void*>(-1)) {
                    segment_.shmaddr = image_->data = static_cast<char*>(address);
                    segment_.readOnly = False;
                    ErrorTrap trap(display_);
                    const Status attached = XShmAttach(display_, &segment_);
                    shared_ = attached && !trap.failed();
                    // Removed now, the segment goes away with its last user.
                    shmctl(segment_.shmid, IPC_RMID, nullptr);
                    if (!shared_) shmdt(address);
                } else if (segment_.shmid >= 0) {
                    shmctl(segment_.shmid, IPC_RMID, nullptr);
                }
                if (!shared_) {
                    image_->data = nullptr;
                    XDestroyImage(image_);
                    image_ = nullptr;
                }
            }
        }
        if (!image_) {
            // A server elsewhere, or one without shared memory: the pixels travel.
            const int pad = 32;
            image_ =
                XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                             static_cast<unsigned>(width_), static_cast<unsigned>(height_), pad, 0);
            if (!image_) return false;
            image_->data =
                static_cast<char*>(std::calloc(static_cast<std::size_t>(image_->bytes_per_line),
                                               static_cast<std::size_t>(height_)));
            if (!image_->data) return false;
        }
        direct_ = directVisual();
        return true;
    }

    void copyToImage(int left, int top, int right, int bottom) {
        for (int y = top; y < bottom; ++y) {
            const std::uint32_t* from = pixels_ + static_cast<std::ptrdiff_t>(y) * stride_;
            if (direct_) {
                auto* to =
                    reinterpret_cast<std::uint32_t*>(image_->data + y * image_->bytes_per_line);
                for (int x = left; x < right; ++x)
                    to[x] = from[x] | 0xFF000000u;
            } else {
                for (int x = left; x < right; ++x) {
                    const std::uint32_t p = from[x];
                    const unsigned long pixel = scale(p >> 16, visual_->red_mask) |
                                                scale(p >> 8, visual_->green_mask) |
                                                scale(p, visual_->blue_mask);
                    XPutPixel(image_, x, y, pixel);
                }
            }
        }
    }

    // An 8-bit channel into the bits of a mask.
    static unsigned long scale(std::uint32_t channel, unsigned long mask) {
        if (!mask) return 0;
        int shift = 0, bits = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        while ((mask >> (shift + bits)) & 1)
            ++bits;
        const unsigned long value = (channel & 0xFF) >> (bits < 8 ? 8 - bits : 0);
        return (value << shift) & mask;
    }

    Display* display_;
    Window window_ = 0;
    GC gc_ = nullptr;
    Visual* visual_ = nullptr;
    int depth_ = 24;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    bool shared_ = false;
    bool direct_ = false;
    const std::uint32_t* pixels_;
    int width_, height_, stride_;
    EditorWindowEvents& events_;
};

}  // namespace

std::unique_ptr<EditorWindow> createSystemEditorWindow(void* parent, int width, int height,
                                                       const std::uint32_t* pixels, int stride,
                                                       EditorWindowEvents& events) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    auto window = std::make_unique<X11EditorWindow>(display, pixels, width, height, stride, events);
    if (!window->create(static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent))))
        return nullptr;
    return window;
}

}  // namespace platform::detail
