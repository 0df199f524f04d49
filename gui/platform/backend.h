#pragma once
// The narrow interface between the portable VSTGUI classes and one platform:
// a drawing surface, decoded images, fonts and a child window. Every number
// of the GUI layer (offsets, truncations, outline reduction, text placement,
// state filtering, routing) is computed above this interface; a backend only
// draws what it is told and only talks to the window system.
//
// Coordinates follow the pixel-centre convention of GDI+: an integer
// coordinate is the centre of a pixel for strokes and lines, while fills
// cover the pixels whose centres lie inside the filled area.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "gui/cgeometry.h"
#include "gui/cmouse.h"

namespace VSTGUI::platform {

// One style per platform font: the first of underline, italic, bold that the
// font description asks for, else regular.
enum class FontStyle { kRegular, kBold, kItalic, kUnderline };

struct PixelRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

class Font {
 public:
  virtual ~Font() = default;
};

// A decoded picture in 32-bit ARGB.
class Image {
 public:
  virtual ~Image() = default;
  virtual int32_t width() const = 0;
  virtual int32_t height() const = 0;
  // Straight (not premultiplied) colour of one pixel; transparent outside.
  virtual CColor pixel(int32_t x, int32_t y) const = 0;
  virtual bool writePng(const char* path) const = 0;
};

// A drawing target with a current pen, fill colour and text colour. A new
// surface has an opaque black pen of width 1, solid; black fill and text;
// aliased drawing; no clip; scale 1.
class Surface {
 public:
  virtual ~Surface() = default;

  // Every coordinate, size, clip and pen width after this call is in units
  // of `scale` device pixels, and lines, fills and text are drawn at the
  // device's resolution (not drawn at 1 and stretched). Call it first, before
  // any other state is set; at 1 the surface draws exactly as without it.
  virtual void setScale(double /*scale*/) {}
  virtual double scale() const { return 1; }

  // Replaces the clip; a width or height of 0 or less clips everything.
  virtual void setClip(const PixelRect& clip) = 0;
  virtual void setAntialias(bool on) = 0;
  virtual void setPenColor(CColor color) = 0;
  virtual void setPenWidth(float width) = 0;
  virtual void setPenDotted(bool dotted) = 0;
  virtual void setFillColor(CColor color) = 0;
  virtual void setTextColor(CColor color) = 0;

  virtual void fillRect(float x, float y, float width, float height) = 0;
  virtual void strokeRect(float x, float y, float width, float height) = 0;
  virtual void fillEllipse(float x, float y, float width, float height) = 0;
  virtual void strokeEllipse(float x, float y, float width, float height) = 0;
  // Arc of the ellipse inscribed in the box, from startDegrees sweeping
  // sweepDegrees clockwise on screen; the fill closes it with a chord.
  virtual void fillArc(float x, float y, float width, float height, float startDegrees,
                       float sweepDegrees) = 0;
  virtual void strokeArc(float x, float y, float width, float height, float startDegrees,
                         float sweepDegrees) = 0;
  virtual void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;

  // Valid UTF-8 only (the caller checks). The line box's top-left is (x, top).
  virtual void drawText(const Font& font, const char* utf8, float x, float top, bool antialias) = 0;
  // Width in pixels of the text's layout box.
  virtual double measureText(const Font& font, const char* utf8) = 0;
  // Line height of the font in pixels on this surface.
  virtual double fontHeight(const Font& font) = 0;

  // Copies the image area (sx, sy, w, h) to (dx, dy, w, h) without scaling,
  // every pixel's alpha multiplied by opacity / 255.
  virtual void drawImage(const Image& image, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t dx,
                         int32_t dy, uint8_t opacity) = 0;
  // Draws the area (sx, sy, w, h) of a picture holding `density` pixels per
  // unit onto (dx, dy, w, h); every number is in units. Where density times
  // the units matches the surface's scale the pixels are copied one to one,
  // elsewhere the picture is filtered (scaled down or up). The fallback
  // draws a picture of density 1 unscaled.
  virtual void drawImageScaled(const Image& image, double density, double sx, double sy, double w, double h,
                               double dx, double dy, uint8_t opacity) {
    (void)density;
    drawImage(image, static_cast<int32_t>(sx), static_cast<int32_t>(sy), static_cast<int32_t>(w),
              static_cast<int32_t>(h), static_cast<int32_t>(dx), static_cast<int32_t>(dy), opacity);
  }
};

// What a platform window reports to its frame. [gui] All calls come from the
// window's own thread (the frame's idle pump on X11, the message loop on Win32).
class WindowListener {
 public:
  virtual ~WindowListener() = default;
  // Paint the update rectangle onto the window surface (valid for this call).
  virtual void platformPaint(Surface& windowSurface, const CRect& update) = 0;
  // A handled press makes the window capture the mouse until the release.
  virtual CMouseEventResult platformMouseDown(CPoint where, CButtonState buttons) = 0;
  virtual void platformMouseUp(CPoint where, CButtonState buttons) = 0;
  virtual void platformMouseMoved(CPoint where, CButtonState buttons) = 0;
  virtual void platformMouseExited(CPoint where, CButtonState buttons) = 0;
  virtual bool platformWheel(CPoint where, float distance, CButtonState buttons) = 0;
  // The window system destroyed the window (for example with its parent).
  virtual void platformWindowDestroyed() = 0;
  // The window now sits where the window system asks for another scale
  // (a DPI change on Windows): the new device pixels per unit.
  virtual void platformScaleChanged(double /*scale*/) {}
};

// A child window inside the host's window; destroying the object destroys
// the window.
class Window {
 public:
  virtual ~Window() = default;
  // Asks for a paint of the rectangle (window pixels).
  virtual void invalidate(const PixelRect& rect) = 0;
  // True when paints must go through a back buffer of the frame's size.
  virtual bool paintsThroughBackBuffer() const = 0;
  // Asks for one platformMouseExited when the pointer leaves the window.
  virtual void requestLeaveNotification() = 0;
  // Handles waiting window events and pending paints. Win32 delivers them
  // through the host's message loop and does nothing here.
  virtual void pumpEvents() = 0;
  // A surface drawing straight onto the window, outside a paint.
  virtual std::unique_ptr<Surface> createSurface() = 0;
  virtual CPoint screenPosition() const = 0;
  // Pointer position in window pixels and the button set held now.
  virtual bool queryPointer(CPoint& where, CButtonState& buttons) const = 0;
  // The native handle (X11 Window id, HWND).
  virtual void* nativeHandle() const = 0;
  // The scale the window system asks of this window, read on its own
  // connection when it was made (Xft.dpi / 96 on X11); 0 when it says
  // nothing or tells it through platformScaleChanged instead (Windows).
  virtual double desktopScale() const { return 0; }
  // New size in window pixels (after a change of scale); not every window
  // can change its size.
  virtual void resize(int32_t /*width*/, int32_t /*height*/) {}
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Library start-up and shut-down around the first and last GUI object.
  virtual void startup() {}
  virtual void shutdown() {}
  // Per-thread set-up around each frame (OLE on Windows).
  virtual void enterWindowThread() {}
  virtual void leaveWindowThread() {}
  // Address that identifies the plug-in module (its load address).
  virtual const void* moduleHandle() const { return nullptr; }
  // Called when the first frame of the process needs its window class and
  // after the last one is gone.
  virtual void registerWindowClass(const char* /*className*/) {}
  virtual void unregisterWindowClass(const char* /*className*/) {}

  // Null when the face cannot be made; text in it then draws nothing.
  virtual std::unique_ptr<Font> createFont(const char* face, double sizePixels, FontStyle style) = 0;
  // Null when the bytes or the file do not decode.
  virtual std::unique_ptr<Image> decodeImage(const unsigned char* data, size_t size) = 0;
  virtual std::unique_ptr<Image> loadImageFile(const char* path) = 0;
  // A module bitmap found by the platform's own loader (by name when name is
  // not null, else by number), tried when no embedded data of that name was
  // found; none on most platforms.
  virtual std::unique_ptr<Image> loadModuleBitmap(int32_t /*number*/, const char* /*name*/) {
    return nullptr;
  }
  // A transparent picture of the given size; null when it cannot be made.
  virtual std::unique_ptr<Image> createImage(int32_t width, int32_t height) = 0;
  // A surface drawing into the image; the image must outlive it.
  virtual std::unique_ptr<Surface> createImageSurface(Image& image) = 0;
  // The scale the window system asks of windows inside parent (null: of the
  // desktop as a whole) as far as it tells without a window of our own and
  // without blocking: the window's DPI / 96 on Windows; 0 when it says
  // nothing (X11, whose Xft.dpi is read on the window's own connection, see
  // Window::desktopScale). The caller clamps.
  virtual double desktopScale(void* /*parent*/) { return 0; }
  // Null when the parent is not usable or the window cannot be made.
  virtual std::unique_ptr<Window> createChildWindow(void* parent, const char* className, const char* title,
                                                    int32_t width, int32_t height,
                                                    WindowListener& listener) = 0;
};

// The backend the GUI classes use. Until setActiveBackend is called it is a
// null backend: no fonts, no images, no windows, so everything draws nothing.
Backend& activeBackend();
// [gui] Call before creating any GUI object; nullptr restores the null backend.
void setActiveBackend(Backend* backend);
// The null backend itself, for builds without a platform layer.
Backend& nullBackend();

}  // namespace VSTGUI::platform
