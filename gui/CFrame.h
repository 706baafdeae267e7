// The editor's surface: owns the views, draws them into one pixel buffer of
// the editor's size and shows the buffer in the native window. The frame
// draws its background and every view once when it opens; after that, each
// idle pass draws the views that report themselves dirty (with the
// background under each one that is not opaque) and shows only the part of
// the window that drawing changed.
//
// Threads: the host's user-interface thread only.
#pragma once

#include <memory>
#include <vector>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CView.h"
#include "gui/PixelSurface.h"
#include "platform/EditorWindow.h"

namespace gui {

// What the frame calls when the window's own timer stands in for the host's
// idle calls.
class FrameIdler {
  public:
    virtual ~FrameIdler() = default;
    virtual void idleFromFrame() = 0;
};

class CFrame : private platform::EditorWindowEvents {
  public:
    // Makes the native window as a child of parentWindow; with no window
    // (isOpen false) the frame only draws into its buffer.
    CFrame(const CRect& size, void* parentWindow, FrameIdler* idler);
    ~CFrame() override;
    CFrame(const CFrame&) = delete;
    CFrame& operator=(const CFrame&) = delete;

    bool isOpen() const { return window_ != nullptr; }
    platform::EditorWindow* window() const { return window_.get(); }

    // The frame takes a reference of its own.
    void setBackground(CBitmap* background);
    // The frame takes over the caller's reference.
    void addView(CView* view);
    const std::vector<CView*>& views() const { return views_; }
    CView* viewAt(CPoint where) const;

    // Reads the window's events, draws what is dirty and shows what changed.
    void idle();
    // Draws everything now (the buffer then holds the whole editor).
    void drawAll();
    const PixelBuffer& buffer() const { return buffer_; }
    // What the last idle or drawAll showed.
    CRect lastShown() const { return lastShown_; }

    // Input, in frame coordinates (the window's events arrive here too).
    void onMouseDown(CPoint where, int buttons);
    void onMouseMoved(CPoint where, int buttons);
    void onMouseUp(CPoint where, int buttons);
    bool onWheel(CPoint where, float distance, int buttons);
    bool onKeyDown(const KeyCode& key);

    // The view that holds the mouse (between a press and the last release).
    CView* mouseView() const { return captured_; }

  private:
    void mouseDown(int x, int y, int buttons) override { onMouseDown({x, y}, buttons); }
    void mouseMoved(int x, int y, int buttons) override { onMouseMoved({x, y}, buttons); }
    void mouseUp(int x, int y, int buttons) override { onMouseUp({x, y}, buttons); }
    void mouseWheel(int x, int y, float distance, int buttons) override {
        onWheel({x, y}, distance, buttons);
    }
    void keyDown(int character, int virtualKey, int modifiers) override {
        onKeyDown({character, virtualKey, modifiers});
    }
    void timerIdle() override;

    void drawView(CView& view);
    void show(const CRect& rect);
    void setFocus(CView* view);

    CRect size_;
    FrameIdler* idler_;
    PixelBuffer buffer_;
    CDrawContext context_;
    SharedBitmap background_;
    std::vector<CView*> views_;
    CView* captured_ = nullptr;
    CView* focus_ = nullptr;
    CPoint lastPointer_;
    CRect lastShown_;
    bool drawnOnce_ = false;
    std::unique_ptr<platform::EditorWindow> window_;
};

}  // namespace gui
