// A rotary control. The mouse turns it in one of three modes, chosen for the
// whole editor: circular (the value follows the pointer's angle around the
// centre), relative circular (it follows the change of that angle), or
// linear (moving the pointer up or right by kLinearRange pixels covers the
// whole range; with Shift ten times finer). The wheel and the arrow keys step
// it by a tenth of the range (with Shift, a hundredth).
#pragma once

#include "gui/CControl.h"

namespace gui {

enum KnobMode { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

class CKnob : public CControl {
  public:
    static constexpr float kLinearRange = 200.f;
    static constexpr float kZoomFactor = 10.f;
    static constexpr float kWheelIncrement = 0.1f;

    CKnob(const CRect& size, CControlListener* listener, int tag, CBitmap* background,
          CBitmap* handle, CPoint offset = {});

    // The mode of every knob (the host chooses it for the editor).
    static void setKnobMode(int mode);
    static int getKnobMode();

    void draw(CDrawContext& context) override;
    MouseResult onMouseDown(CPoint where, int buttons) override;
    void onMouseMoved(CPoint where, int buttons) override;
    bool onWheel(CPoint where, float distance, int buttons) override;
    bool onKeyDown(const KeyCode& key) override;
    bool isTypeOf(const char* name) const override;

    // Radians; angles run counterclockwise from the right, as on paper.
    void setStartAngle(float angle) { startAngle_ = angle, setDirty(); }
    void setRangeAngle(float angle) { rangeAngle_ = angle, setDirty(); }
    float getStartAngle() const { return startAngle_; }
    float getRangeAngle() const { return rangeAngle_; }
    // Where the handle of the value stands, relative to the view's corner.
    CPoint valueToPoint() const;

  protected:
    CPoint offset_;
    SharedBitmap handle_;

  private:
    float valueOfAngle(CPoint where) const;
    void moveTo(float value);

    float startAngle_ = 3.1415927f * 0.75f;
    float rangeAngle_ = 3.1415927f * 1.5f;
    int inset_ = 3;
    // The gesture in progress.
    CPoint firstPoint_;
    float firstValue_ = 0.f;
    int firstButtons_ = 0;
};

}  // namespace gui
