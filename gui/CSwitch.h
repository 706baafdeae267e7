// A control of a few positions, shown as one image of a strip (image k for
// position k) and set by where the mouse presses or drags across it: along
// its width (CHorizontalSwitch) or its height (CVerticalSwitch). Position k
// of n is the value k / (n - 1).
#pragma once

#include "gui/CControl.h"

namespace gui {

class CSwitch : public CControl {
  public:
    CSwitch(const CRect& size, CControlListener* listener, int tag, int subPixmaps,
            int heightOfOneImage, int positions, CBitmap* background, CPoint offset, bool vertical);

    void draw(CDrawContext& context) override;
    MouseResult onMouseDown(CPoint where, int buttons) override;
    void onMouseMoved(CPoint where, int buttons) override;

    int position() const;
    int getPositions() const { return positions_; }

  private:
    void follow(CPoint where);

    int subPixmaps_;
    int heightOfOneImage_;
    int positions_;
    CPoint offset_;
    bool vertical_;
};

class CHorizontalSwitch : public CSwitch {
  public:
    CHorizontalSwitch(const CRect& size, CControlListener* listener, int tag, int subPixmaps,
                      int heightOfOneImage, int positions, CBitmap* background, CPoint offset = {})
        : CSwitch(size, listener, tag, subPixmaps, heightOfOneImage, positions, background, offset,
                  false) {}
    bool isTypeOf(const char* name) const override;
};

class CVerticalSwitch : public CSwitch {
  public:
    CVerticalSwitch(const CRect& size, CControlListener* listener, int tag, int subPixmaps,
                    int heightOfOneImage, int positions, CBitmap* background, CPoint offset = {})
        : CSwitch(size, listener, tag, subPixmaps, heightOfOneImage, positions, background, offset,
                  true) {}
    bool isTypeOf(const char* name) const override;
};

}  // namespace gui
