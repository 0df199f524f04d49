#include "gui/platform/gdiplus/gdiplus_image.h"

#include "gui/platform/gdiplus/gdiplus_session.h"

namespace VSTGUI::platform::gdiplus {

namespace {
// The largest picture side we make: larger requests are refused, not attempted.
constexpr int32_t kMaxSide = 32767;

// GDI+'s built-in PNG encoder.
constexpr CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
}  // namespace

GdiplusImage::GdiplusImage(Gdiplus::GpBitmap* bitmap) : bitmap_(bitmap), session_(currentSession()) {}

GdiplusImage::~GdiplusImage() {
  if (bitmap_ && session_ == currentSession()) gp::GdipDisposeImage(bitmap_);
}

int32_t GdiplusImage::width() const {
  UINT w = 0;
  if (gp::GdipGetImageWidth(bitmap_, &w) != Gdiplus::Ok) return 0;
  return static_cast<int32_t>(w);
}

int32_t GdiplusImage::height() const {
  UINT h = 0;
  if (gp::GdipGetImageHeight(bitmap_, &h) != Gdiplus::Ok) return 0;
  return static_cast<int32_t>(h);
}

CColor GdiplusImage::pixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return CColor{};
  Gdiplus::ARGB argb = 0;
  if (gp::GdipBitmapGetPixel(bitmap_, x, y, &argb) != Gdiplus::Ok) return CColor{};
  return fromArgb(argb);
}

bool GdiplusImage::writePng(const char* path) const {
  if (!path || !*path) return false;
  const std::wstring wide = widenUtf8(path);
  if (wide.empty()) return false;
  return gp::GdipSaveImageToFile(bitmap_, wide.c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
}

std::unique_ptr<GdiplusImage> GdiplusImage::createArgb(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (gp::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Gdiplus::Ok)
    return nullptr;
  auto image = std::make_unique<GdiplusImage>(bitmap);
  // Memory that GDI+ allocates is not promised to be cleared.
  Gdiplus::GpGraphics* graphics = nullptr;
  if (gp::GdipGetImageGraphicsContext(bitmap, &graphics) == Gdiplus::Ok) {
    gp::GdipGraphicsClear(graphics, 0);
    gp::GdipDeleteGraphics(graphics);
  }
  return image;
}

std::unique_ptr<GdiplusImage> GdiplusImage::copyOf(Gdiplus::GpImage* source) {
  UINT w = 0;
  UINT h = 0;
  if (!source || gp::GdipGetImageWidth(source, &w) != Gdiplus::Ok ||
      gp::GdipGetImageHeight(source, &h) != Gdiplus::Ok)
    return nullptr;
  auto copy = createArgb(static_cast<int32_t>(w), static_cast<int32_t>(h));
  if (!copy) return nullptr;
  Gdiplus::GpGraphics* graphics = nullptr;
  if (gp::GdipGetImageGraphicsContext(copy->bitmap_, &graphics) != Gdiplus::Ok) return nullptr;
  // Pixels as they are, alpha included, not blended onto the empty copy.
  gp::GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceCopy);
  const auto sw = static_cast<INT>(w);
  const auto sh = static_cast<INT>(h);
  const Gdiplus::GpStatus status = gp::GdipDrawImageRectRectI(graphics, source, 0, 0, sw, sh, 0, 0, sw, sh,
                                                              Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
  gp::GdipDeleteGraphics(graphics);
  if (status != Gdiplus::Ok) return nullptr;
  return copy;
}

}  // namespace VSTGUI::platform::gdiplus
