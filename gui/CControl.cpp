#include "gui/CControl.h"

#include <cstring>

namespace gui {

CControl::CControl(const CRect& size, CControlListener* listener, int tag, CBitmap* background)
    : CView(size), listener_(listener), tag_(tag) {
    setBackground(background);
}

void CControl::setValue(float value) {
    if (value == value_) return;
    value_ = value;
    setDirty();
}

bool CControl::isTypeOf(const char* name) const {
    return (name && std::strcmp(name, "CControl") == 0) || CView::isTypeOf(name);
}

void CControl::bounceValue() {
    if (value_ > max_) value_ = max_;
    if (value_ < min_ || !(value_ == value_)) value_ = min_;  // NaN too
}

void CControl::valueChanged() {
    if (listener_) listener_->valueChanged(this);
}

bool CControl::checkDefaultValue(int buttons) {
    if ((buttons & (kLButton | kControl)) != (kLButton | kControl)) return false;
    setValue(defaultValue_);
    valueChanged();
    return true;
}

}  // namespace gui
