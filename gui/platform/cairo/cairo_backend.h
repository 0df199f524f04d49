#pragma once
#include <string>

#include "gui/platform/backend.h"

namespace VSTGUI::platform::cairo {

// Drawing, fonts and pictures with cairo and fontconfig; no windows (the
// X11 layer adds them). Usable alone to render offscreen.
class CairoBackend : public Backend {
 public:
  const void* moduleHandle() const override;
  std::unique_ptr<Font> createFont(const char* face, double sizePixels, FontStyle style) override;
  std::unique_ptr<Image> decodeImage(const unsigned char* data, size_t size) override;
  // PNG files only.
  std::unique_ptr<Image> loadImageFile(const char* path) override;
  std::unique_ptr<Image> createImage(int32_t width, int32_t height) override;
  std::unique_ptr<Surface> createImageSurface(Image& image) override;
  std::unique_ptr<Window> createChildWindow(void* parent, const char* className, const char* title,
                                            int32_t width, int32_t height, WindowListener& listener) override;
};

// The family fontconfig resolves a face name to ("Arial" → "Liberation Sans").
std::string resolvedFamily(const char* face);

}  // namespace VSTGUI::platform::cairo
