#include "gui/CSwitch.h"

#include <cstring>

namespace gui {

CSwitch::CSwitch(const CRect& size, CControlListener* listener, int tag, int subPixmaps,
                 int heightOfOneImage, int positions, CBitmap* background, CPoint offset,
                 bool vertical)
    : CControl(size, listener, tag, background),
      subPixmaps_(subPixmaps > 0 ? subPixmaps : 1),
      heightOfOneImage_(heightOfOneImage),
      positions_(positions > 0 ? positions : 1),
      offset_(offset),
      vertical_(vertical) {}

int CSwitch::position() const {
    if (positions_ < 2 || !(value_ > min_)) return 0;
    const float span = max_ - min_;
    const int k =
        static_cast<int>((value_ - min_) / span * static_cast<float>(positions_ - 1) + 0.5f);
    return k < positions_ ? k : positions_ - 1;
}

void CSwitch::draw(CDrawContext& context) {
    if (CBitmap* picture = getBackground()) {
        const int image = position() < subPixmaps_ ? position() : subPixmaps_ - 1;
        const CPoint from{offset_.h, offset_.v + image * heightOfOneImage_};
        if (transparent_)
            picture->drawTransparent(context, size_, from);
        else
            picture->draw(context, size_, from);
    }
    setDirty(false);
}

void CSwitch::follow(CPoint where) {
    const int extent = vertical_ ? size_.height() : size_.width();
    const int along = vertical_ ? where.v - size_.top : where.h - size_.left;
    if (extent <= 0) return;
    int k = along * positions_ / extent;
    if (along < 0) k = 0;
    if (k >= positions_) k = positions_ - 1;
    const float value = positions_ > 1 ? min_ + (max_ - min_) * static_cast<float>(k) /
                                                    static_cast<float>(positions_ - 1)
                                       : min_;
    if (value == value_) return;
    value_ = value;
    setDirty();
    valueChanged();
}

MouseResult CSwitch::onMouseDown(CPoint where, int buttons) {
    if (!(buttons & kLButton)) return MouseResult::kNotHandled;
    follow(where);
    return MouseResult::kCapture;
}

void CSwitch::onMouseMoved(CPoint where, int buttons) {
    if (buttons & kLButton) follow(where);
}

bool CHorizontalSwitch::isTypeOf(const char* name) const {
    return (name && std::strcmp(name, "CHorizontalSwitch") == 0) || CControl::isTypeOf(name);
}

bool CVerticalSwitch::isTypeOf(const char* name) const {
    return (name && std::strcmp(name, "CVerticalSwitch") == 0) || CControl::isTypeOf(name);
}

}  // namespace gui
