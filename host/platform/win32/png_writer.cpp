// PNG encoding with GDI+'s own encoder.
#include "host/png_writer.h"
#include "host/output_file.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <objidl.h>
#include <windows.h>
// gdiplus.h uses min and max without defining them under NOMINMAX.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "host/host_error.h"

namespace vornhost {

namespace {

constexpr CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// GDI+ for the length of one picture.
class GdiplusRun {
 public:
  GdiplusRun() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~GdiplusRun() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  bool ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

}  // namespace

void WritePng(const std::string& path, const WindowImage& image) {
  namespace gp = Gdiplus::DllExports;
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    throw HostError("cannot write " + path + ": the image is empty");
  std::error_code kind;
  const auto target = std::filesystem::status(path, kind);
  if (std::filesystem::exists(target) && !std::filesystem::is_regular_file(target))
    throw HostError("cannot write " + path + ": it exists and is not a regular file");

  GdiplusRun gdiplus;
  if (!gdiplus.ok()) throw HostError("cannot write " + path + ": GDI+ does not start");
  Gdiplus::GpBitmap* bitmap = nullptr;
  // The words are 0xAARRGGBB, GDI+'s own 32-bit ARGB layout.
  auto* pixels = reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(image.pixels.data()));
  if (gp::GdipCreateBitmapFromScan0(image.width, image.height, image.width * 4, PixelFormat32bppARGB, pixels,
                                    &bitmap) != Gdiplus::Ok)
    throw HostError("cannot write " + path + ": out of memory");

  const std::string temporary = path + ".part";
  const std::wstring wide = std::filesystem::path(temporary).wstring();
  const Gdiplus::GpStatus status = gp::GdipSaveImageToFile(bitmap, wide.c_str(), &kPngEncoder, nullptr);
  gp::GdipDisposeImage(bitmap);
  if (status != Gdiplus::Ok) {
    std::remove(temporary.c_str());
    throw HostError("cannot write " + path + ": GDI+ status " + std::to_string(static_cast<int>(status)));
  }
  const std::string failure = MoveIntoPlace(temporary, path);
  if (!failure.empty()) throw HostError("cannot write " + path + ": " + failure);
}

}  // namespace vornhost
