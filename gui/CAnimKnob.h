// A knob shown as one image of a strip of equally tall images stacked top to
// bottom, picked by the value. The base rule maps the value v to image
// trunc(v x (n - 1)), so the last image stands for exactly the maximum;
// subclasses may pick otherwise (imageIndex). It is redrawn only when the
// image to show changes.
#pragma once

#include "gui/CKnob.h"

namespace gui {

class CAnimKnob : public CKnob {
  public:
    CAnimKnob(const CRect& size, CControlListener* listener, int tag, int subPixmaps,
              int heightOfOneImage, CBitmap* background, CPoint offset = {});

    void draw(CDrawContext& context) override;
    bool isDirty() const override;
    bool isTypeOf(const char* name) const override;

    int getNumSubPixmaps() const { return subPixmaps_; }
    int getHeightOfOneImage() const { return heightOfOneImage_; }
    // The image shown for the current value, 0 to subPixmaps - 1.
    virtual int imageIndex() const;

  protected:
    // Draws image index of the strip and remembers it as drawn.
    void drawImage(CDrawContext& context, int index);

    int subPixmaps_;
    int heightOfOneImage_;
    int lastDrawnImage_ = -1;
};

}  // namespace gui
