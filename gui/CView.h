// A rectangle of the editor that draws itself and may take the mouse and
// keys. Views belong to the frame, which holds one reference to each.
//
// Every call comes on the editor's (the host's user-interface) thread.
// Mouse handling is by events: a view that answers a press with kCapture
// gets every move and the release until the last button goes up, wherever
// the pointer is; a second button pressed or released meanwhile arrives as a
// move with the new button word.
#pragma once

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CReferenceCounter.h"
#include "gui/Geometry.h"
#include "gui/Input.h"

namespace gui {

class CFrame;

enum class MouseResult { kNotHandled, kHandled, kCapture };

class CView : public CReferenceCounter {
  public:
    explicit CView(const CRect& size) : size_(size) {}

    virtual void draw(CDrawContext& /*context*/) {}
    // Whether the frame must draw the view at its next idle pass.
    virtual bool isDirty() const { return dirty_; }
    virtual void setDirty(bool dirty = true) { dirty_ = dirty; }
    // A view that covers its whole rectangle with opaque pixels every time it
    // draws needs nothing of the background under it.
    virtual bool isOpaque() const { return false; }
    virtual bool isTypeOf(const char* name) const;

    // where: frame coordinates; buttons: the button word after the event.
    virtual MouseResult onMouseDown(CPoint /*where*/, int /*buttons*/) {
        return MouseResult::kNotHandled;
    }
    virtual void onMouseMoved(CPoint /*where*/, int /*buttons*/) {}
    virtual void onMouseUp(CPoint /*where*/, int /*buttons*/) {}
    // distance: wheel notches, positive away from the user.
    virtual bool onWheel(CPoint /*where*/, float /*distance*/, int /*buttons*/) { return false; }
    virtual bool onKeyDown(const KeyCode& /*key*/) { return false; }
    // The frame gives keys to one view at a time; this one now has them, or not.
    virtual void takeFocus(bool /*focus*/) {}

    const CRect& getViewSize() const { return size_; }
    void setTransparency(bool transparent) { transparent_ = transparent; }
    bool getTransparency() const { return transparent_; }
    // The view takes its own reference.
    void setBackground(CBitmap* background);
    CBitmap* getBackground() const { return background_.get(); }

    CFrame* getFrame() const { return frame_; }
    void attached(CFrame* frame) { frame_ = frame; }

  protected:
    ~CView() override = default;

    CRect size_;
    SharedBitmap background_;
    bool transparent_ = false;
    bool dirty_ = true;
    CFrame* frame_ = nullptr;
};

}  // namespace gui
