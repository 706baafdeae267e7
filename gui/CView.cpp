#include "gui/CView.h"

#include <cstring>

namespace gui {

bool CView::isTypeOf(const char* name) const {
    return name && std::strcmp(name, "CView") == 0;
}

void CView::setBackground(CBitmap* background) {
    if (background) background->remember();
    background_ = SharedBitmap(background);
    setDirty();
}

}  // namespace gui
