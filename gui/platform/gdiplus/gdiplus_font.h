#pragma once
#include <string>

#include "gui/platform/backend.h"
#include "gui/platform/gdiplus/gdiplus_api.h"

namespace VSTGUI::platform::gdiplus {

// A GDI+ font of one family, size in pixels and style. A font that
// outlives the GDI+ run it was made in makes itself again in the next run
// instead of using (or deleting) objects of a library that was shut down.
class GdiplusFont final : public Font {
 public:
  // Null when the system has no family of that name.
  static std::unique_ptr<GdiplusFont> create(const char* face, double sizePixels, FontStyle style);
  ~GdiplusFont() override;
  GdiplusFont(const GdiplusFont&) = delete;
  GdiplusFont& operator=(const GdiplusFont&) = delete;

  // The font of the current run; null when it cannot be made now.
  Gdiplus::GpFont* font() const;

 private:
  GdiplusFont(std::wstring face, double size, int style)
      : face_(std::move(face)), size_(size), style_(style) {}
  bool make() const;
  void release() const;

  std::wstring face_;
  double size_;
  int style_;
  mutable Gdiplus::GpFontFamily* family_ = nullptr;
  mutable Gdiplus::GpFont* font_ = nullptr;
  mutable uint32_t session_ = 0;
};

}  // namespace VSTGUI::platform::gdiplus
