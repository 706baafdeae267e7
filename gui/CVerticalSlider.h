// A handle picture that slides up and down over a background: at the
// highest handle position the value is the maximum, at the lowest the
// minimum (positions are the handle's top edge, in frame coordinates).
#pragma once

#include "gui/CControl.h"

namespace gui {

class CVerticalSlider : public CControl {
  public:
    CVerticalSlider(const CRect& size, CControlListener* listener, int tag, int highestPosition,
                    int lowestPosition, CBitmap* handle, CBitmap* background, CPoint offset = {},
                    int style = 0);

    void setOffsetHandle(CPoint offset) { offsetHandle_ = offset, setDirty(); }
    void draw(CDrawContext& context) override;
    MouseResult onMouseDown(CPoint where, int buttons) override;
    void onMouseMoved(CPoint where, int buttons) override;
    bool onWheel(CPoint where, float distance, int buttons) override;
    bool isTypeOf(const char* name) const override;

    int handleTop() const;

  private:
    void follow(CPoint where);

    int highest_, lowest_;
    SharedBitmap handle_;
    CPoint offset_;
    CPoint offsetHandle_;
    int style_;
    int grip_ = 0;  // where on the handle the pointer took it
};

}  // namespace gui
