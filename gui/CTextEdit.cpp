#include "gui/CTextEdit.h"

#include <cstring>

namespace gui {

CTextEdit::CTextEdit(const CRect& size, CControlListener* listener, int tag, const char* text,
                     CBitmap* background, int style)
    : CControl(size, listener, tag, background), style_(style) {
    setText(text);
}

void CTextEdit::setText(const char* text) {
    text_ = text ? text : "";
    if (text_.size() > kMaxLength) text_.resize(kMaxLength);
    setDirty();
}

void CTextEdit::setFontColor(int red, int green, int blue, int) {
    fontColour_ =
        static_cast<std::uint32_t>((red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF));
    setDirty();
}

void CTextEdit::draw(CDrawContext& context) {
    if (CBitmap* picture = getBackground()) picture->draw(context, size_, {});
    const CRect saved = context.clipRect();
    context.setClipRect(saved.intersection(size_));
    const int textTop = size_.top + (size_.height() - 7) / 2;
    const int width = drawSmallText(context, size_.left + 3, textTop, text_.c_str(), fontColour_);
    if (editing_)  // the caret
        context.fillRect({size_.left + 3 + width, textTop - 1, size_.left + 4 + width, textTop + 8},
                         fontColour_);
    context.setClipRect(saved);
    setDirty(false);
}

MouseResult CTextEdit::onMouseDown(CPoint, int buttons) {
    if (!(buttons & kLButton)) return MouseResult::kNotHandled;
    return MouseResult::kHandled;  // the frame gives the keys to the view it pressed
}

void CTextEdit::takeFocus(bool focus) {
    if (focus == editing_) return;
    editing_ = focus;
    if (focus) {
        before_ = text_;
    } else if (text_ != before_) {
        valueChanged();
    }
    setDirty();
}

bool CTextEdit::onKeyDown(const KeyCode& key) {
    if (!editing_) return false;
    if (key.virtualKey == kKeyReturn || key.virtualKey == kKeyEnter) {
        editing_ = false;
        setDirty();
        valueChanged();
        before_ = text_;
    } else if (key.virtualKey == kKeyEscape) {
        text_ = before_;
        editing_ = false;
        setDirty();
    } else if (key.virtualKey == kKeyBack) {
        if (!text_.empty()) text_.pop_back();
        setDirty();
    } else if (key.character >= 32 && key.character < 127 && text_.size() < kMaxLength) {
        text_.push_back(static_cast<char>(key.character));
        setDirty();
    } else {
        return false;
    }
    return true;
}

bool CTextEdit::isTypeOf(const char* name) const {
    return (name && std::strcmp(name, "CTextEdit") == 0) || CControl::isTypeOf(name);
}

}  // namespace gui
