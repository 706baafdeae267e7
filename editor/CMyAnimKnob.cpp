#include "editor/CMyAnimKnob.h"

namespace editor {

int CMyAnimKnob::imageIndex() const {
    if (value_ < 0.f || !(value_ == value_)) return 0;  // below 0, or NaN
    const int k = static_cast<int>(static_cast<float>(subPixmaps_) * value_);
    return k >= subPixmaps_ ? subPixmaps_ - 1 : k;
}

}  // namespace editor
