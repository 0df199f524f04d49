#include "gui/platform/gdiplus/gdiplus_backend.h"

#include "gui/platform/gdiplus/gdiplus_api.h"
#include "gui/platform/gdiplus/gdiplus_font.h"
#include "gui/platform/gdiplus/gdiplus_image.h"
#include "gui/platform/gdiplus/gdiplus_session.h"
#include "gui/platform/gdiplus/gdiplus_surface.h"
#include "gui/platform/gdiplus/resource_stream.h"

namespace VSTGUI::platform::gdiplus {

namespace {
// [gui] Touched only where GDIPlusGlobals starts and stops the library.
ULONG_PTR gToken = 0;
uint32_t gSession = 0;
uint32_t gLastSession = 0;
int gStartups = 0;
int gShutdowns = 0;

// File paths reach GDI+ as at most this many characters.
constexpr size_t kMaxPathCharacters = 32767;
}  // namespace

uint32_t currentSession() {
  return gSession;
}

bool startSession() {
  if (gSession != 0) return true;
  // Version 1, no debug callback, GDI+'s background thread and external
  // codecs not suppressed.
  Gdiplus::GdiplusStartupInput input;
  input.GdiplusVersion = 1;
  input.DebugEventCallback = nullptr;
  input.SuppressBackgroundThread = FALSE;
  input.SuppressExternalCodecs = FALSE;
  if (Gdiplus::GdiplusStartup(&gToken, &input, nullptr) != Gdiplus::Ok) return false;
  gSession = ++gLastSession;
  ++gStartups;
  return true;
}

void endSession() {
  if (gSession == 0) return;
  Gdiplus::GdiplusShutdown(gToken);
  gToken = 0;
  gSession = 0;
  ++gShutdowns;
}

void GdiplusBackend::startup() {
  startSession();
}

void GdiplusBackend::shutdown() {
  endSession();
}

int GdiplusBackend::startupCount() {
  return gStartups;
}

int GdiplusBackend::shutdownCount() {
  return gShutdowns;
}

const void* GdiplusBackend::moduleHandle() const {
  return codeModule();
}

std::unique_ptr<Font> GdiplusBackend::createFont(const char* face, double sizePixels, FontStyle style) {
  return GdiplusFont::create(face, sizePixels, style);
}

std::unique_ptr<Image> GdiplusBackend::decodeImage(const unsigned char* data, size_t size) {
  if (!data || size == 0 || size > 0xFFFFFFFFu || currentSession() == 0) return nullptr;
  auto* stream = new ResourceStream(data, static_cast<ULONG>(size));
  Gdiplus::GpBitmap* bitmap = nullptr;
  const Gdiplus::GpStatus status = gp::GdipCreateBitmapFromStreamICM(stream, &bitmap);
  // The decoder holds its own reference for as long as it needs the bytes.
  stream->Release();
  if (status != Gdiplus::Ok || !bitmap) return nullptr;
  return std::make_unique<GdiplusImage>(bitmap);
}

std::unique_ptr<Image> GdiplusBackend::loadImageFile(const char* path) {
  if (!path || !*path || currentSession() == 0) return nullptr;
  const std::wstring wide = widenNarrow(path, kMaxPathCharacters);
  if (wide.empty()) return nullptr;
  Gdiplus::GpBitmap* decoded = nullptr;
  if (gp::GdipCreateBitmapFromFile(wide.c_str(), &decoded) != Gdiplus::Ok || !decoded) return nullptr;
  std::unique_ptr<GdiplusImage> copy = GdiplusImage::copyOf(decoded);
  gp::GdipDisposeImage(decoded);
  return copy;
}

std::unique_ptr<Image> GdiplusBackend::loadModuleBitmap(int32_t number, const char* name) {
  if (currentSession() == 0) return nullptr;
  std::wstring wideName;
  const WCHAR* resource = MAKEINTRESOURCEW(number & 0xFFFF);
  if (name) {
    wideName = widenNarrow(name, kMaxPathCharacters);
    resource = wideName.c_str();
  }
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (gp::GdipCreateBitmapFromResource(codeModule(), resource, &bitmap) != Gdiplus::Ok || !bitmap)
    return nullptr;
  return std::make_unique<GdiplusImage>(bitmap);
}

std::unique_ptr<Image> GdiplusBackend::createImage(int32_t width, int32_t height) {
  if (currentSession() == 0) return nullptr;
  return GdiplusImage::createArgb(width, height);
}

std::unique_ptr<Surface> GdiplusBackend::createImageSurface(Image& image) {
  Gdiplus::GpGraphics* graphics = nullptr;
  if (gp::GdipGetImageGraphicsContext(static_cast<GdiplusImage&>(image).image(), &graphics) != Gdiplus::Ok)
    graphics = nullptr;
  return std::make_unique<GdiplusSurface>(graphics);
}

std::unique_ptr<Window> GdiplusBackend::createChildWindow(void*, const char*, const char*, int32_t, int32_t,
                                                          WindowListener&) {
  return nullptr;
}

}  // namespace VSTGUI::platform::gdiplus
