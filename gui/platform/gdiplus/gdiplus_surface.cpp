#include "gui/platform/gdiplus/gdiplus_surface.h"

#include "gui/platform/gdiplus/gdiplus_font.h"
#include "gui/platform/gdiplus/gdiplus_image.h"

namespace VSTGUI::platform::gdiplus {

namespace {
constexpr Gdiplus::ARGB kOpaqueBlack = 0xFF000000;
}  // namespace

GdiplusSurface::GdiplusSurface(Gdiplus::GpGraphics* graphics, HWND window, HDC windowDc)
    : graphics_(graphics), window_(window), windowDc_(windowDc) {
  if (graphics_) {
    gp::GdipSetInterpolationMode(graphics_, Gdiplus::InterpolationModeLowQuality);
    gp::GdipSetPageUnit(graphics_, Gdiplus::UnitPixel);
    gp::GdipSetPixelOffsetMode(graphics_, Gdiplus::PixelOffsetModeNone);
    gp::GdipSetSmoothingMode(graphics_, Gdiplus::SmoothingModeNone);
  }
  gp::GdipCreatePen1(kOpaqueBlack, 1.0f, Gdiplus::UnitWorld, &pen_);
  gp::GdipCreateSolidFill(kOpaqueBlack, &fill_);
  gp::GdipCreateSolidFill(kOpaqueBlack, &text_);
}

GdiplusSurface::~GdiplusSurface() {
  if (text_) gp::GdipDeleteBrush(text_);
  if (fill_) gp::GdipDeleteBrush(fill_);
  if (pen_) gp::GdipDeletePen(pen_);
  if (graphics_) gp::GdipDeleteGraphics(graphics_);
  if (window_ && windowDc_) ReleaseDC(window_, windowDc_);
}

std::unique_ptr<GdiplusSurface> GdiplusSurface::onDeviceContext(HDC dc, HWND owner) {
  if (!dc) return nullptr;
  Gdiplus::GpGraphics* graphics = nullptr;
  if (gp::GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok) graphics = nullptr;
  return std::make_unique<GdiplusSurface>(graphics, owner, owner ? dc : nullptr);
}

void GdiplusSurface::setScale(double scale) {
  if (!(scale > 0) || scale > 1e6) return;
  scale_ = scale;
  strokeShift_ = scale == 1 ? 0.0f : static_cast<float>((scale - 1) / (2 * scale));
  if (!graphics_) return;
  gp::GdipResetWorldTransform(graphics_);
  if (scale != 1)
    gp::GdipScaleWorldTransform(graphics_, static_cast<Gdiplus::REAL>(scale),
                                static_cast<Gdiplus::REAL>(scale), Gdiplus::MatrixOrderAppend);
}

void GdiplusSurface::setClip(const PixelRect& clip) {
  if (!graphics_) return;
  // An empty rectangle clips everything away.
  const INT w = clip.width > 0 ? clip.width : 0;
  const INT h = clip.height > 0 ? clip.height : 0;
  gp::GdipSetClipRectI(graphics_, clip.x, clip.y, w, h, Gdiplus::CombineModeReplace);
}

void GdiplusSurface::setAntialias(bool on) {
  if (graphics_)
    gp::GdipSetSmoothingMode(graphics_, on ? Gdiplus::SmoothingModeAntiAlias : Gdiplus::SmoothingModeNone);
}

void GdiplusSurface::setPenColor(CColor color) {
  if (pen_) gp::GdipSetPenColor(pen_, toArgb(color));
}

void GdiplusSurface::setPenWidth(float width) {
  if (pen_) gp::GdipSetPenWidth(pen_, width);
}

void GdiplusSurface::setPenDotted(bool dotted) {
  if (pen_) gp::GdipSetPenDashStyle(pen_, dotted ? Gdiplus::DashStyleDot : Gdiplus::DashStyleSolid);
}

void GdiplusSurface::setFillColor(CColor color) {
  if (fill_) gp::GdipSetSolidFillColor(fill_, toArgb(color));
}

void GdiplusSurface::setTextColor(CColor color) {
  if (text_) gp::GdipSetSolidFillColor(text_, toArgb(color));
}

void GdiplusSurface::fillRect(float x, float y, float width, float height) {
  if (graphics_ && fill_) gp::GdipFillRectangle(graphics_, fill_, x, y, width, height);
}

void GdiplusSurface::strokeRect(float x, float y, float width, float height) {
  if (graphics_ && pen_)
    gp::GdipDrawRectangle(graphics_, pen_, x + strokeShift_, y + strokeShift_, width, height);
}

void GdiplusSurface::fillEllipse(float x, float y, float width, float height) {
  if (graphics_ && fill_) gp::GdipFillEllipse(graphics_, fill_, x, y, width, height);
}

void GdiplusSurface::strokeEllipse(float x, float y, float width, float height) {
  if (graphics_ && pen_)
    gp::GdipDrawEllipse(graphics_, pen_, x + strokeShift_, y + strokeShift_, width, height);
}

void GdiplusSurface::arc(float x, float y, float width, float height, float startDegrees, float sweepDegrees,
                         bool fill) {
  if (!graphics_) return;
  Gdiplus::GpPath* path = nullptr;
  if (gp::GdipCreatePath(Gdiplus::FillModeAlternate, &path) != Gdiplus::Ok) return;
  const float shift = fill ? 0.0f : strokeShift_;
  gp::GdipAddPathArc(path, x + shift, y + shift, width, height, startDegrees, sweepDegrees);
  if (fill) {
    if (fill_) gp::GdipFillPath(graphics_, fill_, path);
  } else if (pen_) {
    gp::GdipDrawPath(graphics_, pen_, path);
  }
  gp::GdipDeletePath(path);
}

void GdiplusSurface::fillArc(float x, float y, float width, float height, float startDegrees,
                             float sweepDegrees) {
  arc(x, y, width, height, startDegrees, sweepDegrees, true);
}

void GdiplusSurface::strokeArc(float x, float y, float width, float height, float startDegrees,
                               float sweepDegrees) {
  arc(x, y, width, height, startDegrees, sweepDegrees, false);
}

void GdiplusSurface::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!graphics_ || !pen_) return;
  if (strokeShift_ == 0) {
    gp::GdipDrawLineI(graphics_, pen_, x1, y1, x2, y2);
    return;
  }
  const float d = strokeShift_;
  gp::GdipDrawLine(graphics_, pen_, static_cast<float>(x1) + d, static_cast<float>(y1) + d,
                   static_cast<float>(x2) + d, static_cast<float>(y2) + d);
}

void GdiplusSurface::drawText(const Font& font, const char* utf8, float x, float top, bool antialias) {
  Gdiplus::GpFont* platformFont = static_cast<const GdiplusFont&>(font).font();
  if (!graphics_ || !text_ || !platformFont || !utf8) return;
  gp::GdipSetTextRenderingHint(graphics_, antialias ? Gdiplus::TextRenderingHintClearTypeGridFit
                                                    : Gdiplus::TextRenderingHintSystemDefault);
  const std::wstring wide = widenUtf8(utf8);
  // A layout box of no size: the text is not wrapped or cut.
  const Gdiplus::RectF layout(x, top, 0, 0);
  gp::GdipDrawString(graphics_, wide.c_str(), static_cast<INT>(wide.size()), platformFont, &layout, nullptr,
                     text_);
}

double GdiplusSurface::measureText(const Font& font, const char* utf8) {
  Gdiplus::GpFont* platformFont = static_cast<const GdiplusFont&>(font).font();
  if (!graphics_ || !platformFont || !utf8) return 0;
  const std::wstring wide = widenUtf8(utf8);
  const Gdiplus::RectF unbounded(0, 0, 0, 0);
  Gdiplus::RectF box(0, 0, 0, 0);
  if (gp::GdipMeasureString(graphics_, wide.c_str(), static_cast<INT>(wide.size()), platformFont, &unbounded,
                            nullptr, &box, nullptr, nullptr) != Gdiplus::Ok)
    return 0;
  return box.Width;
}

double GdiplusSurface::fontHeight(const Font& font) {
  Gdiplus::GpFont* platformFont = static_cast<const GdiplusFont&>(font).font();
  if (!graphics_ || !platformFont) return 0;
  Gdiplus::REAL dpi = 96;
  gp::GdipGetDpiY(graphics_, &dpi);
  Gdiplus::REAL height = 0;
  gp::GdipGetFontHeightGivenDPI(platformFont, dpi, &height);
  return height;
}

void GdiplusSurface::drawImage(const Image& image, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t dx,
                               int32_t dy, uint8_t opacity) {
  if (!graphics_ || w <= 0 || h <= 0) return;
  Gdiplus::GpImage* picture = static_cast<const GdiplusImage&>(image).image();
  if (!picture) return;

  Gdiplus::GpImageAttributes* attributes = nullptr;
  gp::GdipCreateImageAttributes(&attributes);
  if (opacity == 255) {
    gp::GdipDrawImageRectRectI(graphics_, picture, dx, dy, w, h, sx, sy, w, h, Gdiplus::UnitPixel, nullptr,
                               nullptr, nullptr);
  } else if (attributes) {
    // Every pixel's alpha times opacity / 255; colours unchanged.
    Gdiplus::ColorMatrix matrix = {};
    matrix.m[0][0] = 1.0f;
    matrix.m[1][1] = 1.0f;
    matrix.m[2][2] = 1.0f;
    matrix.m[3][3] = static_cast<Gdiplus::REAL>(opacity / 255.0);
    gp::GdipSetImageAttributesColorMatrix(attributes, Gdiplus::ColorAdjustTypeBitmap, TRUE, &matrix, nullptr,
                                          Gdiplus::ColorMatrixFlagsDefault);
    // The source area first goes into a picture of its own, drawn whole.
    Gdiplus::GpBitmap* area = nullptr;
    if (gp::GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, &area) == Gdiplus::Ok) {
      Gdiplus::GpGraphics* areaGraphics = nullptr;
      if (gp::GdipGetImageGraphicsContext(area, &areaGraphics) == Gdiplus::Ok) {
        gp::GdipGraphicsClear(areaGraphics, 0);
        gp::GdipDrawImageRectRectI(areaGraphics, picture, 0, 0, w, h, sx, sy, w, h, Gdiplus::UnitPixel,
                                   nullptr, nullptr, nullptr);
        gp::GdipDeleteGraphics(areaGraphics);
        gp::GdipDrawImageRectRectI(graphics_, area, dx, dy, w, h, 0, 0, w, h, Gdiplus::UnitPixel, attributes,
                                   nullptr, nullptr);
      }
      gp::GdipDisposeImage(area);
    }
  }
  if (attributes) gp::GdipDisposeImageAttributes(attributes);
}

void GdiplusSurface::drawImageScaled(const Image& image, double density, double sx, double sy, double w,
                                     double h, double dx, double dy, uint8_t opacity) {
  if (!graphics_ || !(w > 0) || !(h > 0) || !(density > 0) || opacity == 0) return;
  Gdiplus::GpImage* picture = static_cast<const GdiplusImage&>(image).image();
  if (!picture) return;
  Gdiplus::GpImageAttributes* attributes = nullptr;
  gp::GdipCreateImageAttributes(&attributes);
  if (attributes) {
    // Filtering near the source's edges repeats its own pixels rather than
    // fading into transparency.
    gp::GdipSetImageAttributesWrapMode(attributes, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
    if (opacity != 255) {
      Gdiplus::ColorMatrix matrix = {};
      matrix.m[0][0] = 1.0f;
      matrix.m[1][1] = 1.0f;
      matrix.m[2][2] = 1.0f;
      matrix.m[3][3] = static_cast<Gdiplus::REAL>(opacity / 255.0);
      gp::GdipSetImageAttributesColorMatrix(attributes, Gdiplus::ColorAdjustTypeBitmap, TRUE, &matrix,
                                            nullptr, Gdiplus::ColorMatrixFlagsDefault);
    }
  }
  const bool oneToOne = density == scale_;
  gp::GdipSetInterpolationMode(graphics_, oneToOne ? Gdiplus::InterpolationModeNearestNeighbor
                                                   : Gdiplus::InterpolationModeHighQualityBicubic);
  gp::GdipSetPixelOffsetMode(graphics_, Gdiplus::PixelOffsetModeHalf);
  const auto f = [](double v) { return static_cast<Gdiplus::REAL>(v); };
  gp::GdipDrawImageRectRect(graphics_, picture, f(dx), f(dy), f(w), f(h), f(sx * density), f(sy * density),
                            f(w * density), f(h * density), Gdiplus::UnitPixel, attributes, nullptr, nullptr);
  gp::GdipSetPixelOffsetMode(graphics_, Gdiplus::PixelOffsetModeNone);
  gp::GdipSetInterpolationMode(graphics_, Gdiplus::InterpolationModeLowQuality);
  if (attributes) gp::GdipDisposeImageAttributes(attributes);
}

}  // namespace VSTGUI::platform::gdiplus
