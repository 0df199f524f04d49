// PNG encoding through cairo's image surfaces.
#include "host/png_writer.h"
#include "host/output_file.h"

#include <cairo.h>

#include <cstring>
#include <vector>

#include "host/host_error.h"

namespace vornhost {

namespace {

cairo_status_t ToMemory(void* closure, const unsigned char* data, unsigned int length) {
  auto* png = static_cast<std::vector<unsigned char>*>(closure);
  png->insert(png->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

void WritePng(const std::string& path, const WindowImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    throw HostError("cannot write " + path + ": the image is empty");
  OutputFile output(path);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    throw HostError("cannot write " + path + ": out of memory");
  }
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
  for (int y = 0; y < image.height; ++y)
    std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride,
                image.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width),
                rowBytes);
  cairo_surface_mark_dirty(surface);

  std::vector<unsigned char> png;
  const cairo_status_t status = cairo_surface_write_to_png_stream(surface, ToMemory, &png);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS)
    throw HostError("cannot write " + path + ": " + cairo_status_to_string(status));
  output.WriteAll(reinterpret_cast<const char*>(png.data()), png.size());
  output.Commit();
}

}  // namespace vornhost
