#include "gui/platform/cairo/cairo_backend.h"

#include <cairo.h>
#include <dlfcn.h>

#include <cstring>

#include "gui/platform/cairo/cairo_font.h"
#include "gui/platform/cairo/cairo_image.h"
#include "gui/platform/cairo/cairo_surface.h"

namespace VSTGUI::platform::cairo {

namespace {

struct MemoryReader {
  const unsigned char* data;
  size_t size;
  size_t position;
};

cairo_status_t readFromMemory(void* closure, unsigned char* out, unsigned int length) {
  auto* reader = static_cast<MemoryReader*>(closure);
  if (length > reader->size - reader->position) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, reader->data + reader->position, length);
  reader->position += length;
  return CAIRO_STATUS_SUCCESS;
}

// The maximum picture side we make: larger requests are refused, not attempted.
constexpr int32_t kMaxSide = 32767;

}  // namespace

const void* CairoBackend::moduleHandle() const {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&readFromMemory), &info) && info.dli_fbase) return info.dli_fbase;
  return nullptr;
}

std::unique_ptr<Font> CairoBackend::createFont(const char* face, double sizePixels, FontStyle style) {
  return CairoFont::create(face, sizePixels, style);
}

std::unique_ptr<Image> CairoBackend::decodeImage(const unsigned char* data, size_t size) {
  if (!data || size < 8) return nullptr;
  MemoryReader reader{data, size, 0};
  cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(readFromMemory, &reader);
  std::unique_ptr<Image> image = CairoImage::fromSurface(decoded);
  cairo_surface_destroy(decoded);
  return image;
}

std::unique_ptr<Image> CairoBackend::loadImageFile(const char* path) {
  if (!path || !*path) return nullptr;
  cairo_surface_t* decoded = cairo_image_surface_create_from_png(path);
  std::unique_ptr<Image> image = CairoImage::fromSurface(decoded);
  cairo_surface_destroy(decoded);
  return image;
}

std::unique_ptr<Image> CairoBackend::createImage(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return std::make_unique<CairoImage>(surface);
}

std::unique_ptr<Surface> CairoBackend::createImageSurface(Image& image) {
  return std::make_unique<CairoSurface>(static_cast<CairoImage&>(image).surface());
}

std::unique_ptr<Window> CairoBackend::createChildWindow(void*, const char*, const char*, int32_t, int32_t,
                                                        WindowListener&) {
  return nullptr;
}

std::string resolvedFamily(const char* face) {
  auto font = CairoFont::create(face, 12, FontStyle::kRegular);
  return font ? font->resolvedFamily() : std::string();
}

}  // namespace VSTGUI::platform::cairo
