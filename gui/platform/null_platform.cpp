#include "gui/platform/platform_backend.h"

namespace VSTGUI::platform {

namespace {
// A build without a platform layer: the null backend stays in charge.
class NoPlatform final : public Backend {
 public:
  std::unique_ptr<Font> createFont(const char*, double, FontStyle) override { return nullptr; }
  std::unique_ptr<Image> decodeImage(const unsigned char*, size_t) override { return nullptr; }
  std::unique_ptr<Image> loadImageFile(const char*) override { return nullptr; }
  std::unique_ptr<Image> createImage(int32_t, int32_t) override { return nullptr; }
  std::unique_ptr<Surface> createImageSurface(Image&) override { return nullptr; }
  std::unique_ptr<Window> createChildWindow(void*, const char*, const char*, int32_t, int32_t,
                                            WindowListener&) override {
    return nullptr;
  }
};
}  // namespace

Backend& platformBackend() {
  static NoPlatform backend;
  return backend;
}

}  // namespace VSTGUI::platform
