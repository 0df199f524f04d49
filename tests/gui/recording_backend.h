#pragma once
// A backend that records every call as a line of text, so tests can check
// the numbers the portable GUI classes hand to a platform.
#include <string>
#include <vector>

#include "gui/platform/backend.h"

namespace vorn_test {

using VSTGUI::platform::PixelRect;

struct Log {
  std::vector<std::string> lines;
  void add(std::string line) { lines.push_back(std::move(line)); }
  void clear() { lines.clear(); }
  // Lines that start with the prefix.
  std::vector<std::string> with(const std::string& prefix) const;
  size_t count(const std::string& prefix) const { return with(prefix).size(); }
};

// Fonts measure 0.5 × size per byte and are 1.25 × size high.
class RecordingFont final : public VSTGUI::platform::Font {
 public:
  RecordingFont(std::string face, double size, VSTGUI::platform::FontStyle style)
      : face(std::move(face)), size(size), style(style) {}
  std::string face;
  double size;
  VSTGUI::platform::FontStyle style;
};

class RecordingImage final : public VSTGUI::platform::Image {
 public:
  RecordingImage(int32_t w, int32_t h) : w_(w), h_(h) {}
  int32_t width() const override { return w_; }
  int32_t height() const override { return h_; }
  VSTGUI::CColor pixel(int32_t, int32_t) const override { return {}; }
  bool writePng(const char*) const override { return false; }

 private:
  int32_t w_, h_;
};

class RecordingSurface final : public VSTGUI::platform::Surface {
 public:
  RecordingSurface(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
  ~RecordingSurface() override;
  void setScale(double scale) override;
  double scale() const override { return scale_; }
  void setClip(const PixelRect& c) override;
  void setAntialias(bool on) override;
  void setPenColor(VSTGUI::CColor c) override;
  void setPenWidth(float w) override;
  void setPenDotted(bool d) override;
  void setFillColor(VSTGUI::CColor c) override;
  void setTextColor(VSTGUI::CColor c) override;
  void fillRect(float x, float y, float w, float h) override;
  void strokeRect(float x, float y, float w, float h) override;
  void fillEllipse(float x, float y, float w, float h) override;
  void strokeEllipse(float x, float y, float w, float h) override;
  void fillArc(float x, float y, float w, float h, float start, float sweep) override;
  void strokeArc(float x, float y, float w, float h, float start, float sweep) override;
  void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void drawText(const VSTGUI::platform::Font& f, const char* utf8, float x, float top, bool aa) override;
  double measureText(const VSTGUI::platform::Font& f, const char* utf8) override;
  double fontHeight(const VSTGUI::platform::Font& f) override;
  void drawImage(const VSTGUI::platform::Image& image, int32_t sx, int32_t sy, int32_t w, int32_t h,
                 int32_t dx, int32_t dy, uint8_t opacity) override;
  void drawImageScaled(const VSTGUI::platform::Image& image, double density, double sx, double sy, double w,
                       double h, double dx, double dy, uint8_t opacity) override;

 private:
  Log& log_;
  std::string name_;
  double scale_ = 1;
};

class RecordingWindow final : public VSTGUI::platform::Window {
 public:
  RecordingWindow(Log& log, VSTGUI::platform::WindowListener& listener, bool backBuffer)
      : listener(listener), log_(log), backBuffer_(backBuffer) {}
  ~RecordingWindow() override;
  void invalidate(const PixelRect& r) override;
  bool paintsThroughBackBuffer() const override { return backBuffer_; }
  void requestLeaveNotification() override;
  void pumpEvents() override;
  std::unique_ptr<VSTGUI::platform::Surface> createSurface() override;
  VSTGUI::CPoint screenPosition() const override { return {100, 200}; }
  bool queryPointer(VSTGUI::CPoint&, VSTGUI::CButtonState&) const override { return false; }
  void* nativeHandle() const override { return nullptr; }

  // Delivers a paint the way the window system would.
  void paint(const VSTGUI::CRect& update);
  VSTGUI::platform::WindowListener& listener;

 private:
  Log& log_;
  bool backBuffer_;
};

// Images decode to the size in a PNG's header; "missing.png" and anything
// that is not a PNG fail. Windows are RecordingWindows; window creation
// fails for the parent value 0xBAD.
class RecordingBackend final : public VSTGUI::platform::Backend {
 public:
  Log log;
  bool backBufferWindows = true;
  RecordingWindow* lastWindow = nullptr;
  // What desktopScale answers (logged with its parent).
  double desktop = 1;

  void startup() override { log.add("startup"); }
  void shutdown() override { log.add("shutdown"); }
  const void* moduleHandle() const override { return reinterpret_cast<const void*>(0x1000); }
  void registerWindowClass(const char* name) override { log.add(std::string("register ") + name); }
  void unregisterWindowClass(const char* name) override { log.add(std::string("unregister ") + name); }
  std::unique_ptr<VSTGUI::platform::Font> createFont(const char* face, double size,
                                                     VSTGUI::platform::FontStyle style) override;
  std::unique_ptr<VSTGUI::platform::Image> decodeImage(const unsigned char* data, size_t size) override;
  std::unique_ptr<VSTGUI::platform::Image> loadImageFile(const char* path) override;
  std::unique_ptr<VSTGUI::platform::Image> createImage(int32_t w, int32_t h) override;
  std::unique_ptr<VSTGUI::platform::Surface> createImageSurface(VSTGUI::platform::Image& image) override;
  std::unique_ptr<VSTGUI::platform::Window> createChildWindow(void* parent, const char* className,
                                                              const char* title, int32_t w, int32_t h,
                                                              VSTGUI::platform::WindowListener& l) override;
  double desktopScale(void* parent) override;
};

// Installs a fresh recording backend for one test and removes it afterwards.
class ScopedRecordingBackend {
 public:
  ScopedRecordingBackend();
  ~ScopedRecordingBackend();
  RecordingBackend backend;
};

}  // namespace vorn_test
