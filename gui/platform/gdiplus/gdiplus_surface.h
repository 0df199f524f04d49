#pragma once
#include "gui/platform/backend.h"
#include "gui/platform/gdiplus/gdiplus_api.h"

namespace VSTGUI::platform::gdiplus {

// A drawing surface over a GDI+ graphics object, with its pen, fill brush
// and text brush. GDI+ takes integer coordinates as pixel centres, the
// convention of the backend interface, so coordinates pass unchanged.
class GdiplusSurface final : public Surface {
 public:
  // Takes the graphics object (null draws nothing). With a window, the
  // device context is given back to it when the surface goes.
  explicit GdiplusSurface(Gdiplus::GpGraphics* graphics, HWND window = nullptr, HDC windowDc = nullptr);
  ~GdiplusSurface() override;
  GdiplusSurface(const GdiplusSurface&) = delete;
  GdiplusSurface& operator=(const GdiplusSurface&) = delete;

  // A surface on a device context: a paint's, or one fetched from a window.
  static std::unique_ptr<GdiplusSurface> onDeviceContext(HDC dc, HWND owner = nullptr);

  // A world transform of the scale; strokes move by (scale - 1) / (2 scale)
  // units so that a line on unit pixel u covers exactly its device pixels,
  // as fills do.
  void setScale(double scale) override;
  double scale() const override { return scale_; }
  void setClip(const PixelRect& clip) override;
  void setAntialias(bool on) override;
  void setPenColor(CColor color) override;
  void setPenWidth(float width) override;
  void setPenDotted(bool dotted) override;
  void setFillColor(CColor color) override;
  void setTextColor(CColor color) override;

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
  // Opacity below 255 goes through a colour matrix that scales alpha.
  void drawImage(const Image& image, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t dx, int32_t dy,
                 uint8_t opacity) override;
  void drawImageScaled(const Image& image, double density, double sx, double sy, double w, double h,
                       double dx, double dy, uint8_t opacity) override;

  Gdiplus::GpGraphics* graphics() const { return graphics_; }

 private:
  // The arc path, filled or stroked.
  void arc(float x, float y, float width, float height, float startDegrees, float sweepDegrees, bool fill);

  Gdiplus::GpGraphics* graphics_;
  HWND window_;
  HDC windowDc_;
  Gdiplus::GpPen* pen_ = nullptr;
  Gdiplus::GpSolidFill* fill_ = nullptr;
  Gdiplus::GpSolidFill* text_ = nullptr;
  double scale_ = 1;
  float strokeShift_ = 0;  // units
};

}  // namespace VSTGUI::platform::gdiplus
