#pragma once
#include "gui/platform/backend.h"

namespace VSTGUI::platform::gdiplus {

// Drawing, fonts and pictures with the GDI+ flat interface; no windows (the
// Win32 layer adds them). Usable alone to render offscreen.
class GdiplusBackend : public Backend {
 public:
  // GDI+ start-up and shut-down, driven by GDIPlusGlobals.
  void startup() override;
  void shutdown() override;
  const void* moduleHandle() const override;

  std::unique_ptr<Font> createFont(const char* face, double sizePixels, FontStyle style) override;
  // Decodes through a ResourceStream over the bytes, which GDI+ keeps
  // reading from: they must outlive the picture (module resources do).
  std::unique_ptr<Image> decodeImage(const unsigned char* data, size_t size) override;
  // A path in the system's narrow code page; the picture is copied into
  // 32-bit ARGB and the file released.
  std::unique_ptr<Image> loadImageFile(const char* path) override;
  // GDI+'s own loader of bitmap resources of the module.
  std::unique_ptr<Image> loadModuleBitmap(int32_t number, const char* name) override;
  std::unique_ptr<Image> createImage(int32_t width, int32_t height) override;
  std::unique_ptr<Surface> createImageSurface(Image& image) override;
  std::unique_ptr<Window> createChildWindow(void* parent, const char* className, const char* title,
                                            int32_t width, int32_t height, WindowListener& listener) override;

  // How often GDI+ was started and shut down in this process, for tests.
  static int startupCount();
  static int shutdownCount();
};

}  // namespace VSTGUI::platform::gdiplus
