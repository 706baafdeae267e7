// A button that is 1 while it is pressed with the pointer inside and 0 when
// the pointer leaves it or the button is released; its picture holds two
// images stacked, up then pressed.
#pragma once

#include "gui/CControl.h"

namespace gui {

class CKickButton : public CControl {
  public:
    CKickButton(const CRect& size, CControlListener* listener, int tag, CBitmap* background,
                CPoint offset = {});

    void draw(CDrawContext& context) override;
    MouseResult onMouseDown(CPoint where, int buttons) override;
    void onMouseMoved(CPoint where, int buttons) override;
    void onMouseUp(CPoint where, int buttons) override;
    bool isTypeOf(const char* name) const override;

  private:
    void follow(float value);

    CPoint offset_;
};

}  // namespace gui
