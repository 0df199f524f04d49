#include "recording_backend.h"

#include "gui/cfont_desc.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace vorn_test {

namespace {

std::string fmt(const char* f, ...) __attribute__((format(printf, 1, 2)));
std::string fmt(const char* f, ...) {
  char buffer[512];
  va_list args;
  va_start(args, f);
  std::vsnprintf(buffer, sizeof buffer, f, args);
  va_end(args);
  return buffer;
}

std::string color(VSTGUI::CColor c) {
  return fmt("%02x%02x%02x%02x", c.alpha, c.red, c.green, c.blue);
}

uint32_t bigEndian(const unsigned char* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

}  // namespace

std::vector<std::string> Log::with(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& l : lines)
    if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
  return out;
}

RecordingSurface::~RecordingSurface() {
  log_.add(name_ + " destroyed");
}
void RecordingSurface::setScale(double scale) {
  scale_ = scale;
  log_.add(fmt("scale %g", scale));
}
void RecordingSurface::drawImageScaled(const VSTGUI::platform::Image& image, double density, double sx,
                                       double sy, double w, double h, double dx, double dy, uint8_t opacity) {
  log_.add(fmt("scaled image %dx%d density %g src %g %g size %g %g at %g %g opacity %d", image.width(),
               image.height(), density, sx, sy, w, h, dx, dy, opacity));
}
void RecordingSurface::setClip(const PixelRect& c) {
  log_.add(fmt("clip %d %d %d %d", c.x, c.y, c.width, c.height));
}
void RecordingSurface::setAntialias(bool on) {
  log_.add(fmt("antialias %d", on ? 1 : 0));
}
void RecordingSurface::setPenColor(VSTGUI::CColor c) {
  log_.add("pen " + color(c));
}
void RecordingSurface::setPenWidth(float w) {
  log_.add(fmt("width %g", w));
}
void RecordingSurface::setPenDotted(bool d) {
  log_.add(fmt("dotted %d", d ? 1 : 0));
}
void RecordingSurface::setFillColor(VSTGUI::CColor c) {
  log_.add("fill " + color(c));
}
void RecordingSurface::setTextColor(VSTGUI::CColor c) {
  log_.add("text " + color(c));
}
void RecordingSurface::fillRect(float x, float y, float w, float h) {
  log_.add(fmt("fillRect %g %g %g %g", x, y, w, h));
}
void RecordingSurface::strokeRect(float x, float y, float w, float h) {
  log_.add(fmt("strokeRect %g %g %g %g", x, y, w, h));
}
void RecordingSurface::fillEllipse(float x, float y, float w, float h) {
  log_.add(fmt("fillEllipse %g %g %g %g", x, y, w, h));
}
void RecordingSurface::strokeEllipse(float x, float y, float w, float h) {
  log_.add(fmt("strokeEllipse %g %g %g %g", x, y, w, h));
}
void RecordingSurface::fillArc(float x, float y, float w, float h, float start, float sweep) {
  log_.add(fmt("fillArc %g %g %g %g %g %g", x, y, w, h, start, sweep));
}
void RecordingSurface::strokeArc(float x, float y, float w, float h, float start, float sweep) {
  log_.add(fmt("strokeArc %g %g %g %g %g %g", x, y, w, h, start, sweep));
}
void RecordingSurface::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  log_.add(fmt("line %d %d %d %d", x1, y1, x2, y2));
}
void RecordingSurface::drawText(const VSTGUI::platform::Font& f, const char* utf8, float x, float top,
                                bool aa) {
  const auto& font = static_cast<const RecordingFont&>(f);
  log_.add(fmt("textAt %g %g aa%d %s %g [%s]", x, top, aa ? 1 : 0, font.face.c_str(), font.size, utf8));
}
double RecordingSurface::measureText(const VSTGUI::platform::Font& f, const char* utf8) {
  return 0.5 * static_cast<const RecordingFont&>(f).size * static_cast<double>(std::strlen(utf8));
}
double RecordingSurface::fontHeight(const VSTGUI::platform::Font& f) {
  return 1.25 * static_cast<const RecordingFont&>(f).size;
}
void RecordingSurface::drawImage(const VSTGUI::platform::Image& image, int32_t sx, int32_t sy, int32_t w,
                                 int32_t h, int32_t dx, int32_t dy, uint8_t opacity) {
  log_.add(fmt("image %dx%d src %d %d size %d %d at %d %d opacity %d", image.width(), image.height(), sx, sy,
               w, h, dx, dy, opacity));
}

RecordingWindow::~RecordingWindow() {
  log_.add("window destroyed");
}
void RecordingWindow::invalidate(const PixelRect& r) {
  log_.add(fmt("invalidate %d %d %d %d", r.x, r.y, r.width, r.height));
}
void RecordingWindow::requestLeaveNotification() {
  log_.add("track leave");
}
void RecordingWindow::pumpEvents() {
  log_.add("pump");
}
std::unique_ptr<VSTGUI::platform::Surface> RecordingWindow::createSurface() {
  return std::make_unique<RecordingSurface>(log_, "window surface");
}
void RecordingWindow::paint(const VSTGUI::CRect& update) {
  RecordingSurface surface(log_, "paint surface");
  listener.platformPaint(surface, update);
}

std::unique_ptr<VSTGUI::platform::Font> RecordingBackend::createFont(const char* face, double size,
                                                                     VSTGUI::platform::FontStyle style) {
  log.add(fmt("font %s %g %d", face, size, static_cast<int>(style)));
  if (std::strcmp(face, "NoSuchFace") == 0) return nullptr;
  return std::make_unique<RecordingFont>(face, size, style);
}

std::unique_ptr<VSTGUI::platform::Image> RecordingBackend::decodeImage(const unsigned char* data,
                                                                       size_t size) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (!data || size < 24 || std::memcmp(data, kSignature, 8) != 0) return nullptr;
  return std::make_unique<RecordingImage>(static_cast<int32_t>(bigEndian(data + 16)),
                                          static_cast<int32_t>(bigEndian(data + 20)));
}

std::unique_ptr<VSTGUI::platform::Image> RecordingBackend::loadImageFile(const char* path) {
  log.add(std::string("load file ") + path);
  if (std::strcmp(path, "missing.png") == 0) return nullptr;
  return std::make_unique<RecordingImage>(7, 9);
}

std::unique_ptr<VSTGUI::platform::Image> RecordingBackend::createImage(int32_t w, int32_t h) {
  log.add(fmt("create image %d %d", w, h));
  return std::make_unique<RecordingImage>(w, h);
}

std::unique_ptr<VSTGUI::platform::Surface> RecordingBackend::createImageSurface(
    VSTGUI::platform::Image& image) {
  return std::make_unique<RecordingSurface>(log, fmt("image surface %dx%d", image.width(), image.height()));
}

double RecordingBackend::desktopScale(void* parent) {
  log.add(fmt("desktop scale of %p", parent));
  return desktop;
}

std::unique_ptr<VSTGUI::platform::Window> RecordingBackend::createChildWindow(
    void* parent, const char* className, const char* title, int32_t w, int32_t h,
    VSTGUI::platform::WindowListener& l) {
  log.add(fmt("create window %s %s %d %d", className, title, w, h));
  if (parent == reinterpret_cast<void*>(0xBAD)) return nullptr;
  auto window = std::make_unique<RecordingWindow>(log, l, backBufferWindows);
  lastWindow = window.get();
  return window;
}

ScopedRecordingBackend::ScopedRecordingBackend() {
  VSTGUI::platform::setActiveBackend(&backend);
}
ScopedRecordingBackend::~ScopedRecordingBackend() {
  // The static fonts must not keep fonts of this backend for the next one.
  for (VSTGUI::CFontDesc* font : VSTGUI::kStaticFonts) font->freePlatformFont();
  VSTGUI::platform::setActiveBackend(nullptr);
}

}  // namespace vorn_test
