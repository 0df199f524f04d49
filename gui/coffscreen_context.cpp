#include "gui/coffscreen_context.h"

#include "gui/ui_scale.h"

namespace VSTGUI {

COffscreenContext::COffscreenContext(CFrame* frame, double width, double height, CColor background,
                                     double scale)
    : CDrawContext(frame, nullptr, nullptr), width_(width), height_(height), background_(background) {
  if (scale != 0) setScale(ClampScale(scale));
  setClipRectRaw(CRect(0, 0, width, height).normalize());
  if (getScale() == 1)
    bitmap_ = new CBitmap(frame, truncToInt(width), truncToInt(height));
  else
    bitmap_ = new CBitmap(frame, ScaledLength(truncToInt(width), getScale()),
                          ScaledLength(truncToInt(height), getScale()));
  if (platform::Image* image = bitmap_->getPlatformImage())
    adoptSurface(platform::activeBackend().createImageSurface(*image));
  // The surface arrives after the base set the initial state: hand it over.
  if (platform::Surface* s = getSurface()) {
    s->setPenColor(getFrameColor());
    s->setPenWidth(static_cast<float>(getLineWidth()));
    s->setPenDotted(getLineStyle() == kLineOnOffDash);
    s->setFillColor(getFillColor());
    s->setTextColor(getFontColor());
  }
}

COffscreenContext::~COffscreenContext() {
  // The surface draws into the bitmap's picture: it goes first.
  adoptSurface(nullptr);
  bitmap_->forget();
}

CColor COffscreenContext::pixelAt(int32_t x, int32_t y) const {
  platform::Image* image = bitmap_->getPlatformImage();
  return image ? image->pixel(x, y) : CColor{};
}

bool COffscreenContext::writePng(const char* path) const {
  platform::Image* image = bitmap_->getPlatformImage();
  return image && path && image->writePng(path);
}

}  // namespace VSTGUI
