#include "gui/cbitmap.h"

#include <cmath>

#include "gui/cdraw_context.h"
#include "gui/gdiplus_globals.h"
#include "gui/resources.h"
#include "gui/ui_scale.h"

namespace VSTGUI {

CBitmap::CBitmap(const CResourceDescription& description) : description_(description) {
  GDIPlusGlobals::enter();
  loadFromResource(description);
}

CBitmap::CBitmap(CFrame* /*frame*/, double width, double height) {
  GDIPlusGlobals::enter();
  image_ = platform::activeBackend().createImage(truncToInt(width), truncToInt(height));
  width_ = width;
  height_ = height;
}

CBitmap::CBitmap(std::unique_ptr<platform::Image> decoded) {
  GDIPlusGlobals::enter();
  takeImage(std::move(decoded));
}

CBitmap::~CBitmap() {
  dispose();
  GDIPlusGlobals::exit();
}

CBitmap* CBitmap::loadFromFile(const char* path) {
  if (!path) return nullptr;
  // The library must run while the file decodes; the new bitmap holds its own entry.
  GDIPlusGlobals::enter();
  std::unique_ptr<platform::Image> image = platform::activeBackend().loadImageFile(path);
  CBitmap* bitmap = image ? new CBitmap(std::move(image)) : nullptr;
  GDIPlusGlobals::exit();
  return bitmap;
}

void CBitmap::takeImage(std::unique_ptr<platform::Image> image) {
  image_ = std::move(image);
  width_ = image_ ? image_->width() : 0;
  height_ = image_ ? image_->height() : 0;
}

void CBitmap::dispose() {
  image_.reset();
  dense_.reset();
  denseLooked_ = false;
  denseNumber_ = -1;
  fitted_.reset();
  fittedScale_ = 0;
  noAlpha_ = false;
  width_ = 0;
  height_ = 0;
}

bool CBitmap::loadFromResource(const CResourceDescription& description) {
  dispose();
  const unsigned char* data = nullptr;
  size_t size = 0;
  bool found = false;
  if (description.type == CResourceDescription::kStringType)
    found = FindImageResourceByName(description.name.c_str(), &data, &size);
  else
    found = FindImageResource(description.id & 0xFFFF, &data, &size);

  platform::Backend& backend = platform::activeBackend();
  if (found && data && size > 0) {
    if (description.type == CResourceDescription::kIntegerType)
      denseNumber_ = (description.id & 0xFFFF) + kDoubleDensityPicture;
    // A resource that does not decode leaves the picture empty; the
    // platform's own loader is only asked when nothing was found.
    takeImage(backend.decodeImage(data, size));
  } else {
    const bool byName = description.type == CResourceDescription::kStringType;
    takeImage(backend.loadModuleBitmap(description.id & 0xFFFF, byName ? description.name.c_str() : nullptr));
  }
  return true;
}

void CBitmap::draw(CDrawContext* context, const CRect& dest, const CPoint& source) {
  drawAlphaBlend(context, dest, source, 255);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& dest, const CPoint& source) {
  drawAlphaBlend(context, dest, source, 255);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& dest, const CPoint& source,
                             uint8_t opacity) {
  if (!image_ || !context || !context->getSurface()) return;
  const int32_t w = truncToInt(dest.right - dest.left);
  const int32_t h = truncToInt(dest.bottom - dest.top);
  if (w <= 0 || h <= 0) return;
  const CPoint& offset = context->getOffset();
  const int32_t x = truncToInt(dest.left) + truncToInt(offset.x);
  const int32_t y = truncToInt(dest.top) + truncToInt(offset.y);
  const int32_t sx = truncToInt(source.x);
  const int32_t sy = truncToInt(source.y);
  const double scale = context->getScale();
  if (scale != 1) {
    platform::Image* dense = denseImage();
    const platform::Image* picture = dense ? dense : image_.get();
    double density = dense ? 2.0 : 1.0;
    if (density != scale) {
      if (platform::Image* fitted = fittedImage(*picture, density, scale)) {
        picture = fitted;
        density = scale;
      }
    }
    context->getSurface()->drawImageScaled(*picture, density, sx, sy, w, h, x, y, opacity);
    return;
  }
  context->getSurface()->drawImage(*image_, sx, sy, w, h, x, y, opacity);
}

platform::Image* CBitmap::fittedImage(const platform::Image& source, double density, double scale) {
  if (fitted_ && fittedScale_ == scale) return fitted_.get();
  fitted_.reset();
  fittedScale_ = scale;
  platform::Backend& backend = platform::activeBackend();
  const auto units = [density](int32_t pixels) { return static_cast<int32_t>(std::ceil(pixels / density)); };
  const int32_t w = units(source.width());
  const int32_t h = units(source.height());
  fitted_ = backend.createImage(ScaledLength(w, scale), ScaledLength(h, scale));
  if (!fitted_) return nullptr;
  if (std::unique_ptr<platform::Surface> surface = backend.createImageSurface(*fitted_)) {
    surface->setScale(scale);
    surface->drawImageScaled(source, density, 0, 0, w, h, 0, 0, 255);
  }
  return fitted_.get();
}

platform::Image* CBitmap::denseImage() {
  if (denseLooked_) return dense_.get();
  denseLooked_ = true;
  if (!image_ || denseNumber_ < 0) return nullptr;
  const int number = denseNumber_;
  const unsigned char* data = nullptr;
  size_t size = 0;
  if (!FindImageResource(number, &data, &size) || !data || size == 0) return nullptr;
  dense_ = platform::activeBackend().decodeImage(data, size);
  // A twin that is not exactly twice the picture would misplace every
  // source rectangle: the picture itself is drawn instead.
  if (dense_ && (dense_->width() != 2 * image_->width() || dense_->height() != 2 * image_->height()))
    dense_.reset();
  return dense_.get();
}

}  // namespace VSTGUI
