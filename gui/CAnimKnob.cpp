#include "gui/CAnimKnob.h"

#include <cstring>

namespace gui {

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int tag, int subPixmaps,
                     int heightOfOneImage, CBitmap* background, CPoint offset)
    : CKnob(size, listener, tag, background, nullptr, offset),
      subPixmaps_(subPixmaps > 0 ? subPixmaps : 1),
      heightOfOneImage_(heightOfOneImage) {}

int CAnimKnob::imageIndex() const {
    if (!(value_ >= 0.f)) return 0;
    const int k = static_cast<int>(value_ * static_cast<float>(subPixmaps_ - 1));
    return k < subPixmaps_ ? k : subPixmaps_ - 1;
}

void CAnimKnob::drawImage(CDrawContext& context, int index) {
    if (CBitmap* picture = getBackground()) {
        const CPoint from{offset_.h, offset_.v + index * heightOfOneImage_};
        if (transparent_)
            picture->drawTransparent(context, size_, from);
        else
            picture->draw(context, size_, from);
    }
    lastDrawnImage_ = index;
    setDirty(false);
}

void CAnimKnob::draw(CDrawContext& context) {
    drawImage(context, imageIndex());
}

// Setting a value that shows the same image again draws nothing.
bool CAnimKnob::isDirty() const {
    return CKnob::isDirty() && imageIndex() != lastDrawnImage_;
}

bool CAnimKnob::isTypeOf(const char* name) const {
    return (name && std::strcmp(name, "CAnimKnob") == 0) || CKnob::isTypeOf(name);
}

}  // namespace gui
