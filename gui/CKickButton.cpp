#include "gui/CKickButton.h"

#include <cstring>

namespace gui {

CKickButton::CKickButton(const CRect& size, CControlListener* listener, int tag,
                         CBitmap* background, CPoint offset)
    : CControl(size, listener, tag, background), offset_(offset) {}

void CKickButton::draw(CDrawContext& context) {
    if (CBitmap* picture = getBackground()) {
        const CPoint from{offset_.h, offset_.v + (value_ == max_ ? size_.height() : 0)};
        if (transparent_)
            picture->drawTransparent(context, size_, from);
        else
            picture->draw(context, size_, from);
    }
    setDirty(false);
}

void CKickButton::follow(float value) {
    if (value == value_) return;
    value_ = value;
    setDirty();
    valueChanged();
}

MouseResult CKickButton::onMouseDown(CPoint, int buttons) {
    if (!(buttons & kLButton)) return MouseResult::kNotHandled;
    follow(max_);
    return MouseResult::kCapture;
}

void CKickButton::onMouseMoved(CPoint where, int buttons) {
    follow((buttons & kLButton) && size_.pointInside(where) ? max_ : min_);
}

void CKickButton::onMouseUp(CPoint, int) {
    follow(min_);
}

bool CKickButton::isTypeOf(const char* name) const {
    return (name && std::strcmp(name, "CKickButton") == 0) || CControl::isTypeOf(name);
}

}  // namespace gui
