// A view with a value (0 to 1 in this editor), a default value and a tag,
// that tells its listener when the user changed the value. Setting the
// value from outside only stores it (and marks the view dirty when it
// changed): it does not call the listener, so nothing loops.
#pragma once

#include "gui/CView.h"

namespace gui {

class CControl;

class CControlListener {
  public:
    virtual ~CControlListener() = default;
    // The user moved the control.
    virtual void valueChanged(CControl* control) = 0;
    virtual int controlModifierClicked(CControl* /*control*/, int /*buttons*/) { return 0; }
};

class CControl : public CView {
  public:
    CControl(const CRect& size, CControlListener* listener, int tag, CBitmap* background = nullptr);

    virtual void setValue(float value);
    float getValue() const { return value_; }
    void setDefaultValue(float value) { defaultValue_ = value; }
    float getDefaultValue() const { return defaultValue_; }
    void setMin(float min) { min_ = min; }
    void setMax(float max) { max_ = max; }
    float getMin() const { return min_; }
    float getMax() const { return max_; }
    int getTag() const { return tag_; }
    CControlListener* getListener() const { return listener_; }

    bool isTypeOf(const char* name) const override;

  protected:
    // Holds the value within min and max.
    void bounceValue();
    // Tells the listener.
    void valueChanged();
    // Control and the left button together put the default value back.
    bool checkDefaultValue(int buttons);

    CControlListener* listener_;
    int tag_;
    float value_ = 0.f;
    float defaultValue_ = 0.5f;
    float min_ = 0.f;
    float max_ = 1.f;
};

}  // namespace gui
