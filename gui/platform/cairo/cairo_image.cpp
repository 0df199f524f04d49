#include "gui/platform/cairo/cairo_image.h"

#include <cstring>

namespace VSTGUI::platform::cairo {

CColor CairoImage::pixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return {};
  cairo_surface_flush(surface_);
  const unsigned char* row =
      cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
  uint32_t v;
  std::memcpy(&v, row + 4 * x, 4);
  const uint32_t a = v >> 24;
  if (a == 0) return {0, 0, 0, 0};
  auto unpremultiply = [a](uint32_t c) { return static_cast<uint8_t>((c * 255 + a / 2) / a); };
  return {unpremultiply(v >> 16 & 0xFF), unpremultiply(v >> 8 & 0xFF), unpremultiply(v & 0xFF),
          static_cast<uint8_t>(a)};
}

bool CairoImage::writePng(const char* path) const {
  cairo_surface_flush(surface_);
  return cairo_surface_write_to_png(surface_, path) == CAIRO_STATUS_SUCCESS;
}

std::unique_ptr<CairoImage> CairoImage::fromSurface(cairo_surface_t* decoded) {
  if (!decoded || cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS) return nullptr;
  const int w = cairo_image_surface_get_width(decoded);
  const int h = cairo_image_surface_get_height(decoded);
  if (w <= 0 || h <= 0) return nullptr;
  cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  if (cairo_surface_status(copy) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(copy);
    return nullptr;
  }
  cairo_t* cr = cairo_create(copy);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, decoded, 0, 0);
  cairo_paint(cr);
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  if (!ok) {
    cairo_surface_destroy(copy);
    return nullptr;
  }
  return std::make_unique<CairoImage>(copy);
}

}  // namespace VSTGUI::platform::cairo
