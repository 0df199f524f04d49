#include "gui/platform/backend.h"

namespace VSTGUI::platform {
namespace {

// Draws nothing and makes no windows: every GUI object then takes its
// failure path (no graphics object, zero-size pictures, no window).
class NullBackend final : public Backend {
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

NullBackend gNullBackend;
Backend* gActive = &gNullBackend;

}  // namespace

Backend& activeBackend() {
  return *gActive;
}

Backend& nullBackend() {
  return gNullBackend;
}

void setActiveBackend(Backend* backend) {
  gActive = backend ? backend : &gNullBackend;
}

}  // namespace VSTGUI::platform
