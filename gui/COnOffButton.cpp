#include "gui/COnOffButton.h"

#include <cstring>

namespace gui {

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, int tag,
                           CBitmap* background, int style)
    : CControl(size, listener, tag, background), style_(style) {}

void COnOffButton::draw(CDrawContext& context) {
    if (CBitmap* picture = getBackground()) {
        // Only the value 1 shows "on": a value between (set by a host)
        // is shown, like it plays, as off.
        const CPoint from{0, value_ == max_ ? size_.height() : 0};
        if (transparent_)
            picture->drawTransparent(context, size_, from);
        else
            picture->draw(context, size_, from);
    }
    setDirty(false);
}

MouseResult COnOffButton::onMouseDown(CPoint, int buttons) {
    if (!(buttons & kLButton)) return MouseResult::kNotHandled;
    value_ = static_cast<int>(value_) ? min_ : max_;
    setDirty();
    valueChanged();
    return MouseResult::kHandled;
}

bool COnOffButton::isTypeOf(const char* name) const {
    return (name && std::strcmp(name, "COnOffButton") == 0) || CControl::isTypeOf(name);
}

}  // namespace gui
