#pragma once
#include "gui/platform/backend.h"
#include "gui/platform/gdiplus/gdiplus_api.h"

namespace VSTGUI::platform::gdiplus {

// A picture as a GDI+ bitmap (owned).
class GdiplusImage final : public Image {
 public:
  explicit GdiplusImage(Gdiplus::GpBitmap* bitmap);
  ~GdiplusImage() override;
  GdiplusImage(const GdiplusImage&) = delete;
  GdiplusImage& operator=(const GdiplusImage&) = delete;

  int32_t width() const override;
  int32_t height() const override;
  CColor pixel(int32_t x, int32_t y) const override;
  // A UTF-8 path; written with GDI+'s PNG encoder.
  bool writePng(const char* path) const override;

  Gdiplus::GpBitmap* bitmap() const { return bitmap_; }
  Gdiplus::GpImage* image() const { return bitmap_; }

  // A transparent 32-bit ARGB picture; null when it cannot be made.
  static std::unique_ptr<GdiplusImage> createArgb(int32_t width, int32_t height);
  // A 32-bit ARGB copy of the whole picture, independent of the source (and
  // of the file or stream it came from); null when the copy fails.
  static std::unique_ptr<GdiplusImage> copyOf(Gdiplus::GpImage* source);

 private:
  Gdiplus::GpBitmap* bitmap_;
  uint32_t session_;
};

}  // namespace VSTGUI::platform::gdiplus
