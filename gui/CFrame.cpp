#include "gui/CFrame.h"

namespace gui {

CFrame::CFrame(const CRect& size, void* parentWindow, FrameIdler* idler)
    : size_(size),
      idler_(idler),
      buffer_(size.width(), size.height(), 0xFF000000u),
      context_(buffer_.surface()) {
    window_ = platform::createEditorWindow(parentWindow, size.width(), size.height(),
                                           buffer_.data(), buffer_.width(), *this);
}

CFrame::~CFrame() {
    window_.reset();  // no more events from here on
    for (CView* view : views_)
        view->forget();
}

void CFrame::setBackground(CBitmap* background) {
    if (background) background->remember();
    background_ = SharedBitmap(background);
    drawnOnce_ = false;
}

void CFrame::addView(CView* view) {
    if (!view) return;
    view->attached(this);
    views_.push_back(view);
    view->setDirty();
}

CView* CFrame::viewAt(CPoint where) const {
    // The last view added lies on top.
    for (auto it = views_.rbegin(); it != views_.rend(); ++it)
        if ((*it)->getViewSize().pointInside(where)) return *it;
    return nullptr;
}

void CFrame::drawView(CView& view) {
    const CRect area = view.getViewSize().intersection(buffer_.surface().bounds());
    if (area.isEmpty()) return;
    context_.setClipRect(area);
    // A view that may leave pixels as they were, or blends over them, is
    // drawn over the background, never over its own last picture.
    if (!view.isOpaque()) {
        context_.fillRect(area, 0);
        if (background_) background_->draw(context_, area, {area.left, area.top});
    }
    view.draw(context_);
    context_.setClipRect(buffer_.surface().bounds());
}

void CFrame::drawAll() {
    context_.setClipRect(buffer_.surface().bounds());
    context_.fillRect(buffer_.surface().bounds(), 0);
    if (background_) background_->draw(context_, buffer_.surface().bounds(), {});
    for (CView* view : views_) {
        view->setDirty();  // what it drew before is gone
        drawView(*view);
    }
    drawnOnce_ = true;
    context_.takeTouched();
    show(buffer_.surface().bounds());
}

void CFrame::idle() {
    if (window_) {
        window_->hostIdled();
        window_->processEvents();
    }
    if (!drawnOnce_) {
        drawAll();
        return;
    }
    for (CView* view : views_)
        if (view->isDirty()) drawView(*view);
    show(context_.takeTouched());
}

void CFrame::timerIdle() {
    if (idler_)
        idler_->idleFromFrame();
    else
        idle();
}

void CFrame::show(const CRect& rect) {
    lastShown_ = rect;
    if (window_ && !rect.isEmpty()) window_->present(rect.left, rect.top, rect.right, rect.bottom);
}

void CFrame::setFocus(CView* view) {
    if (view == focus_) return;
    if (focus_) focus_->takeFocus(false);
    focus_ = view;
    if (focus_) focus_->takeFocus(true);
}

void CFrame::onMouseDown(CPoint where, int buttons) {
    lastPointer_ = where;
    if (captured_) {  // another button while one is held
        captured_->onMouseMoved(where, buttons);
        return;
    }
    CView* view = viewAt(where);
    setFocus(view);
    if (!view) return;
    if (view->onMouseDown(where, buttons) == MouseResult::kCapture) captured_ = view;
}

void CFrame::onMouseMoved(CPoint where, int buttons) {
    lastPointer_ = where;
    if (captured_) captured_->onMouseMoved(where, buttons);
}

void CFrame::onMouseUp(CPoint where, int buttons) {
    lastPointer_ = where;
    if (!captured_) return;
    if (buttons & (kLButton | kMButton | kRButton)) {
        captured_->onMouseMoved(where, buttons);  // one of several buttons went up
        return;
    }
    CView* view = captured_;
    captured_ = nullptr;
    view->onMouseUp(where, buttons);
}

bool CFrame::onWheel(CPoint where, float distance, int buttons) {
    lastPointer_ = where;
    CView* view = captured_ ? captured_ : viewAt(where);
    return view && view->onWheel(where, distance, buttons);
}

// Keys go to the view the user last pressed, else to the one under the pointer.
bool CFrame::onKeyDown(const KeyCode& key) {
    if (focus_ && focus_->onKeyDown(key)) return true;
    CView* view = viewAt(lastPointer_);
    return view && view != focus_ && view->onKeyDown(key);
}

}  // namespace gui
