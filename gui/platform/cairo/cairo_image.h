#pragma once
#include <cairo.h>

#include "gui/platform/backend.h"

namespace VSTGUI::platform::cairo {

// A picture as a cairo ARGB32 image surface (premultiplied in memory).
class CairoImage final : public Image {
 public:
  // Takes the surface's reference; it must be an ARGB32 image surface.
  explicit CairoImage(cairo_surface_t* surface) : surface_(surface) {}
  ~CairoImage() override { cairo_surface_destroy(surface_); }
  CairoImage(const CairoImage&) = delete;
  CairoImage& operator=(const CairoImage&) = delete;

  int32_t width() const override { return cairo_image_surface_get_width(surface_); }
  int32_t height() const override { return cairo_image_surface_get_height(surface_); }
  CColor pixel(int32_t x, int32_t y) const override;
  bool writePng(const char* path) const override;
  cairo_surface_t* surface() const { return surface_; }

  // A copy of any cairo surface as ARGB32; null when it is in error or empty.
  static std::unique_ptr<CairoImage> fromSurface(cairo_surface_t* decoded);

 private:
  cairo_surface_t* surface_;
};

}  // namespace VSTGUI::platform::cairo
