#include "gui/CKnob.h"

#include <atomic>
#include <cmath>
#include <cstring>

namespace gui {
namespace {
std::atomic<int> gKnobMode{kCircularMode};
}

CKnob::CKnob(const CRect& size, CControlListener* listener, int tag, CBitmap* background,
             CBitmap* handle, CPoint offset)
    : CControl(size, listener, tag, background), offset_(offset) {
    if (handle) handle->remember();
    handle_ = SharedBitmap(handle);
}

void CKnob::setKnobMode(int mode) {
    gKnobMode.store(mode, std::memory_order_relaxed);
}

int CKnob::getKnobMode() {
    return gKnobMode.load(std::memory_order_relaxed);
}

CPoint CKnob::valueToPoint() const {
    const float span = max_ - min_;
    const float alpha = (span != 0.f ? (value_ - min_) / span : 0.f) * rangeAngle_ + startAngle_;
    const float radius = static_cast<float>(size_.width()) * 0.5f;
    return {static_cast<int>(radius + std::cos(alpha) * (radius - inset_) + 0.5f),
            static_cast<int>(radius - std::sin(alpha) * (radius - inset_) + 0.5f)};
}

void CKnob::draw(CDrawContext& context) {
    if (CBitmap* picture = getBackground()) {
        if (transparent_)
            picture->drawTransparent(context, size_, offset_);
        else
            picture->draw(context, size_, offset_);
    }
    const CPoint tip = valueToPoint();
    const CPoint centre{size_.left + size_.width() / 2, size_.top + size_.height() / 2};
    context.drawLine(centre, {size_.left + tip.h, size_.top + tip.v}, 0xFFFFFF);
    setDirty(false);
}

float CKnob::valueOfAngle(CPoint where) const {
    const float dx = static_cast<float>(where.h - (size_.left + size_.width() / 2));
    const float dy = static_cast<float>((size_.top + size_.height() / 2) - where.v);
    const float alpha = std::atan2(dy, dx);
    float turned = alpha - startAngle_;
    // The way round the range goes (a negative range turns clockwise).
    const float twoPi = 6.2831855f;
    if (rangeAngle_ < 0.f) {
        while (turned > 0.f)
            turned -= twoPi;
    } else {
        while (turned < 0.f)
            turned += twoPi;
    }
    return min_ + (max_ - min_) * (rangeAngle_ != 0.f ? turned / rangeAngle_ : 0.f);
}

void CKnob::moveTo(float value) {
    const float old = value_;
    value_ = value;
    bounceValue();
    if (value_ != old) {
        setDirty();
        valueChanged();
    }
}

MouseResult CKnob::onMouseDown(CPoint where, int buttons) {
    if (!(buttons & kLButton)) return MouseResult::kNotHandled;
    if (checkDefaultValue(buttons)) return MouseResult::kHandled;
    firstPoint_ = where;
    firstValue_ = value_;
    firstButtons_ = buttons;
    if (getKnobMode() == kCircularMode) moveTo(valueOfAngle(where));
    return MouseResult::kCapture;
}

void CKnob::onMouseMoved(CPoint where, int buttons) {
    if (!(buttons & kLButton)) return;
    switch (getKnobMode()) {
        case kLinearMode: {
            // A change of Shift mid-gesture starts the count afresh from here.
            if ((buttons & kShift) != (firstButtons_ & kShift)) {
                firstPoint_ = where;
                firstValue_ = value_;
                firstButtons_ = buttons;
            }
            float range = kLinearRange;
            if (buttons & kShift) range *= kZoomFactor;
            const float diff =
                static_cast<float>((firstPoint_.v - where.v) + (where.h - firstPoint_.h));
            moveTo(firstValue_ + diff * (max_ - min_) / range);
            break;
        }
        case kRelativCircularMode: {
            const float turned = valueOfAngle(where) - valueOfAngle(firstPoint_);
            firstPoint_ = where;
            // A jump across the gap between the range's ends is no turn.
            if (std::fabs(turned) < 0.5f * (max_ - min_)) moveTo(value_ + turned);
            break;
        }
        default:
            moveTo(valueOfAngle(where));
            break;
    }
}

bool CKnob::onWheel(CPoint, float distance, int buttons) {
    const float step = buttons & kShift ? kWheelIncrement * 0.1f : kWheelIncrement;
    moveTo(value_ + distance * step * (max_ - min_));
    return true;
}

bool CKnob::onKeyDown(const KeyCode& key) {
    float direction = 0.f;
    if (key.virtualKey == kKeyUp || key.virtualKey == kKeyRight) direction = 1.f;
    if (key.virtualKey == kKeyDown || key.virtualKey == kKeyLeft) direction = -1.f;
    if (direction == 0.f) return false;
    return onWheel({}, direction, key.modifiers);
}

bool CKnob::isTypeOf(const char* name) const {
    return (name && std::strcmp(name, "CKnob") == 0) || CControl::isTypeOf(name);
}

}  // namespace gui
