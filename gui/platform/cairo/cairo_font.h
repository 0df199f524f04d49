#pragma once
#include <cairo.h>

#include <string>

#include "gui/platform/backend.h"

namespace VSTGUI::platform::cairo {

// A face resolved through fontconfig (so "Arial", "Courier New" and
// "Verdana" become their metric-compatible Liberation or DejaVu fonts) at a
// size in pixels.
class CairoFont final : public Font {
 public:
  // Null when fontconfig finds no font at all.
  static std::unique_ptr<CairoFont> create(const char* face, double sizePixels, FontStyle style);
  ~CairoFont() override;
  CairoFont(const CairoFont&) = delete;
  CairoFont& operator=(const CairoFont&) = delete;

  cairo_scaled_font_t* scaled(bool antialias) const { return antialias ? smooth_ : plain_; }
  bool underline() const { return underline_; }
  double size() const { return size_; }
  // The family fontconfig chose, for tests and diagnostics.
  const std::string& resolvedFamily() const { return family_; }

 private:
  CairoFont() = default;
  cairo_scaled_font_t* smooth_ = nullptr;
  cairo_scaled_font_t* plain_ = nullptr;
  bool underline_ = false;
  double size_ = 0;
  std::string family_;
};

}  // namespace VSTGUI::platform::cairo
