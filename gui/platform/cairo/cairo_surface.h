#pragma once
#include <cairo.h>

#include "gui/platform/backend.h"

namespace VSTGUI::platform::cairo {

// A drawing surface over a cairo context. Strokes are moved by half a pixel
// so that integer coordinates are pixel centres, as on GDI+.
class CairoSurface final : public Surface {
 public:
  // Takes a reference to the target surface.
  explicit CairoSurface(cairo_surface_t* target);
  ~CairoSurface() override;
  CairoSurface(const CairoSurface&) = delete;
  CairoSurface& operator=(const CairoSurface&) = delete;

  void setScale(double scale) override;
  double scale() const override { return scale_; }
  void setClip(const PixelRect& clip) override;
  void setAntialias(bool on) override;
  void setPenColor(CColor color) override { pen_ = color; }
  void setPenWidth(float width) override { penWidth_ = width; }
  void setPenDotted(bool dotted) override { dotted_ = dotted; }
  void setFillColor(CColor color) override { fill_ = color; }
  void setTextColor(CColor color) override { text_ = color; }

  void fillRect(float x, float y, float width, float height) override;
  void strokeRect(float x, float y, float width, float height) override;
  void fillEllipse(float x, float y, float width, float height) override;
  void strokeEllipse(float x, float y, float width, float height) override;
  void fillArc(float x, float y, float width, float height, float startDegrees, float sweepDegrees) override;
  void strokeArc(float x, float y, float width, float height, float startDegrees,
                 float sweepDegrees) override;
  void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void drawText(const Font& font, const char* utf8, float x, float top, bool antialias) override;
  double measureText(const Font& font, const char* utf8) override;
  double fontHeight(const Font& font) override;
  void drawImage(const Image& image, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t dx, int32_t dy,
                 uint8_t opacity) override;
  void drawImageScaled(const Image& image, double density, double sx, double sy, double w, double h,
                       double dx, double dy, uint8_t opacity) override;

  // Pushes the drawing to the target (before reading or presenting it).
  void flush();

 private:
  void source(CColor color);
  void stroke();
  // Adds the ellipse (or an arc of it) inscribed in the box to the path.
  bool ellipsePath(float x, float y, float width, float height, double startDegrees, double sweepDegrees,
                   double inset);

  cairo_t* cr_;
  CColor pen_{0, 0, 0, 255};
  CColor fill_{0, 0, 0, 255};
  CColor text_{0, 0, 0, 255};
  double scale_ = 1;
  float penWidth_ = 1;
  bool dotted_ = false;
  bool antialias_ = false;
};

}  // namespace VSTGUI::platform::cairo
