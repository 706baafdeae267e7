// A line of text over a background picture. A click gives it the keys:
// typed characters are added, Backspace takes the last one away, Return
// (or Enter) ends the edit and tells the listener, Escape puts the text
// back as it was. The text is drawn in a small built-in font.
#pragma once

#include <cstdint>
#include <string>

#include "gui/CControl.h"

namespace gui {

class CTextEdit : public CControl {
  public:
    static constexpr std::size_t kMaxLength = 255;

    CTextEdit(const CRect& size, CControlListener* listener, int tag, const char* text,
              CBitmap* background, int style = 0);

    void setText(const char* text);
    const char* getText() const { return text_.c_str(); }
    // 8-bit channels.
    void setFontColor(int red, int green, int blue, int alpha = 255);
    bool isEditing() const { return editing_; }

    void draw(CDrawContext& context) override;
    MouseResult onMouseDown(CPoint where, int buttons) override;
    bool onKeyDown(const KeyCode& key) override;
    void takeFocus(bool focus) override;
    bool isTypeOf(const char* name) const override;

  private:
    std::string text_;
    std::string before_;  // the text when the edit began
    std::uint32_t fontColour_ = 0xFFFFFF;
    int style_;
    bool editing_ = false;
};

// The built-in font, for whoever needs a few words on screen: text from x, y
// (its top left), in colour. Returns the width drawn.
int drawSmallText(CDrawContext& context, int x, int y, const char* text, std::uint32_t colour);

}  // namespace gui
