#include "gui/CBitmap.h"

#include <map>
#include <mutex>

#include "platform/Resource.h"

namespace gui {
namespace {

std::shared_ptr<const platform::Image> decodeResource(int id) {
    platform::Image image;
    if (const platform::ResourceBytes png = platform::findResource("PNG", id)) {
        if (platform::decodeImage(png.data, png.size, image))
            return std::make_shared<const platform::Image>(std::move(image));
    }
    if (const platform::ResourceBytes bitmap = platform::findBitmapResource(id)) {
        if (platform::decodeBitmapResource(bitmap.data, bitmap.size, image))
            return std::make_shared<const platform::Image>(std::move(image));
    }
    return nullptr;
}

// Every knob of the editor shows the same strip: it is decoded once while
// any bitmap of it lives, whichever instance's editor asks.
std::shared_ptr<const platform::Image> loadResource(int id) {
    static std::mutex mutex;
    static std::map<int, std::weak_ptr<const platform::Image>> cache;
    std::lock_guard<std::mutex> lock(mutex);
    std::weak_ptr<const platform::Image>& entry = cache[id];
    std::shared_ptr<const platform::Image> image = entry.lock();
    if (!image) {
        image = decodeResource(id);
        entry = image;
    }
    return image;
}

}  // namespace

CBitmap::CBitmap(int resourceId) : image_(loadResource(resourceId)) {}

CBitmap::CBitmap(platform::Image image)
    : image_(std::make_shared<const platform::Image>(std::move(image))) {}

PixelSurface CBitmap::surface() const {
    if (!isLoaded()) return {};
    // The surface type writes; a bitmap's is only ever read from.
    return {const_cast<std::uint32_t*>(image_->pixels.data()), image_->width, image_->height,
            image_->width};
}

void CBitmap::draw(CDrawContext& context, const CRect& rect, CPoint offset) const {
    if (isLoaded()) context.blend(surface(), rect, offset);
}

void CBitmap::drawTransparent(CDrawContext& context, const CRect& rect, CPoint offset) const {
    if (isLoaded()) context.blend(surface(), rect, offset, 255, true);
}

void CBitmap::drawAlphaBlend(CDrawContext& context, const CRect& rect, CPoint offset,
                             std::uint32_t alpha) const {
    if (isLoaded()) context.blend(surface(), rect, offset, alpha);
}

}  // namespace gui
