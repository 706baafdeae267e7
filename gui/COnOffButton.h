// A button that toggles between 0 and 1 on every press; its picture holds
// two images stacked, off then on.
#pragma once

#include "gui/CControl.h"

namespace gui {

class COnOffButton : public CControl {
  public:
    COnOffButton(const CRect& size, CControlListener* listener, int tag, CBitmap* background,
                 int style = 0);

    void draw(CDrawContext& context) override;
    MouseResult onMouseDown(CPoint where, int buttons) override;
    bool isTypeOf(const char* name) const override;

  private:
    int style_;
};

}  // namespace gui
