// PNG encoding through cairo's image surfaces.
#include "host/png_writer.h"
#include "host/output_file.h"

#include <cairo.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "host/host_error.h"

namespace vornhost {

namespace {

cairo_status_t ToFile(void* closure, const unsigned char* data, unsigned int length) {
  return std::fwrite(data, 1, length, static_cast<std::FILE*>(closure)) == length ? CAIRO_STATUS_SUCCESS
                                                                                  : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

void WritePng(const std::string& path, const WindowImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    throw HostError("cannot write " + path + ": the image is empty");
  // The rename would replace a device or a directory entry by the picture.
  std::error_code kind;
  const auto target = std::filesystem::status(path, kind);
  if (std::filesystem::exists(target) && !std::filesystem::is_regular_file(target))
    throw HostError("cannot write " + path + ": it exists and is not a regular file");
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

  const std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    const int code = errno;
    cairo_surface_destroy(surface);
    throw HostError("cannot write " + path + ": " + std::strerror(code));
  }
  const cairo_status_t status = cairo_surface_write_to_png_stream(surface, ToFile, file);
  cairo_surface_destroy(surface);
  const bool closed = std::fclose(file) == 0;
  if (status != CAIRO_STATUS_SUCCESS || !closed) {
    std::remove(temporary.c_str());
    throw HostError(
        "cannot write " + path + ": " +
        (status != CAIRO_STATUS_SUCCESS ? cairo_status_to_string(status) : "the disk refused the data"));
  }
  const std::string failure = MoveIntoPlace(temporary, path);
  if (!failure.empty()) throw HostError("cannot write " + path + ": " + failure);
}

}  // namespace vornhost
