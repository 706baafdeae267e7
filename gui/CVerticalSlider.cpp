#include "gui/CVerticalSlider.h"

#include <cstring>

namespace gui {

CVerticalSlider::CVerticalSlider(const CRect& size, CControlListener* listener, int tag,
                                 int highestPosition, int lowestPosition, CBitmap* handle,
                                 CBitmap* background, CPoint offset, int style)
    : CControl(size, listener, tag, background),
      highest_(highestPosition),
      lowest_(lowestPosition),
      offset_(offset),
      style_(style) {
    if (handle) handle->remember();
    handle_ = SharedBitmap(handle);
}

int CVerticalSlider::handleTop() const {
    const float span = max_ - min_;
    const float share = span != 0.f ? (value_ - min_) / span : 0.f;
    return lowest_ - static_cast<int>(share * static_cast<float>(lowest_ - highest_) + 0.5f);
}

void CVerticalSlider::draw(CDrawContext& context) {
    if (CBitmap* picture = getBackground()) picture->draw(context, size_, offset_);
    if (handle_) {
        const int top = handleTop() + offsetHandle_.v;
        const CRect r(size_.left + offsetHandle_.h, top,
                      size_.left + offsetHandle_.h + handle_->getWidth(),
                      top + handle_->getHeight());
        handle_->drawTransparent(context, r.intersection(size_),
                                 {0, r.intersection(size_).top - r.top});
    }
    setDirty(false);
}

void CVerticalSlider::follow(CPoint where) {
    if (lowest_ == highest_) return;
    const int top = where.v - grip_;
    const float share = static_cast<float>(lowest_ - top) / static_cast<float>(lowest_ - highest_);
    const float old = value_;
    value_ = min_ + share * (max_ - min_);
    bounceValue();
    if (value_ != old) {
        setDirty();
        valueChanged();
    }
}

MouseResult CVerticalSlider::onMouseDown(CPoint where, int buttons) {
    if (!(buttons & kLButton)) return MouseResult::kNotHandled;
    if (checkDefaultValue(buttons)) return MouseResult::kHandled;
    const int handleHeight = handle_ ? handle_->getHeight() : 0;
    const int top = handleTop();
    // Taken by the handle, it keeps its grip; elsewhere it jumps there.
    grip_ = where.v >= top && where.v < top + handleHeight ? where.v - top : handleHeight / 2;
    follow(where);
    return MouseResult::kCapture;
}

void CVerticalSlider::onMouseMoved(CPoint where, int buttons) {
    if (buttons & kLButton) follow(where);
}

bool CVerticalSlider::onWheel(CPoint, float distance, int buttons) {
    const float old = value_;
    value_ += distance * (max_ - min_) * (buttons & kShift ? 0.01f : 0.1f);
    bounceValue();
    if (value_ != old) {
        setDirty();
        valueChanged();
    }
    return true;
}

bool CVerticalSlider::isTypeOf(const char* name) const {
    return (name && std::strcmp(name, "CVerticalSlider") == 0) || CControl::isTypeOf(name);
}

}  // namespace gui
