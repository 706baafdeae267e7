// A picture of the plug-in's resources (or of pixels handed to it), shared
// by the views that draw it. Loading by id takes the "PNG" resource of that
// id if there is one, else the bitmap resource; decoded pixels are shared
// between all bitmaps of the same id while any of them lives.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/CDrawContext.h"
#include "gui/CReferenceCounter.h"
#include "gui/Geometry.h"
#include "platform/ImageCodec.h"

namespace gui {

class CBitmap : public CReferenceCounter {
  public:
    // A resource id that names no picture (or one that cannot be decoded)
    // gives an empty bitmap: it draws nothing and is 0 x 0.
    explicit CBitmap(int resourceId);
    explicit CBitmap(platform::Image image);

    int getWidth() const { return image_ ? image_->width : 0; }
    int getHeight() const { return image_ ? image_->height : 0; }
    bool isLoaded() const { return image_ && image_->width > 0; }
    // The pixels as a read-only surface (0 x 0 when not loaded).
    PixelSurface surface() const;

    // Into rect from offset on: by each pixel's alpha (opaque pixels are copied).
    void draw(CDrawContext& context, const CRect& rect, CPoint offset = {}) const;
    // The same, leaving out pure magenta, the transparency colour of old pictures.
    void drawTransparent(CDrawContext& context, const CRect& rect, CPoint offset = {}) const;
    // The same as draw, with every pixel's alpha scaled by alpha (0..255).
    void drawAlphaBlend(CDrawContext& context, const CRect& rect, CPoint offset,
                        std::uint32_t alpha) const;

  private:
    ~CBitmap() override = default;

    std::shared_ptr<const platform::Image> image_;
};

// Holds one reference for its lifetime; the usual owner of a bitmap.
class SharedBitmap {
  public:
    SharedBitmap() = default;
    explicit SharedBitmap(CBitmap* bitmap) : bitmap_(bitmap) {}  // takes that reference
    SharedBitmap(const SharedBitmap& o) : bitmap_(o.bitmap_) {
        if (bitmap_) bitmap_->remember();
    }
    SharedBitmap& operator=(SharedBitmap o) {
        std::swap(bitmap_, o.bitmap_);
        return *this;
    }
    ~SharedBitmap() {
        if (bitmap_) bitmap_->forget();
    }
    CBitmap* get() const { return bitmap_; }
    CBitmap* operator->() const { return bitmap_; }
    CBitmap& operator*() const { return *bitmap_; }
    explicit operator bool() const { return bitmap_ != nullptr; }

  private:
    CBitmap* bitmap_ = nullptr;
};

}  // namespace gui
