#pragma once
#include <memory>

#include "gui/cbase_object.h"
#include "gui/cfont_desc.h"
#include "gui/cgeometry.h"
#include "gui/platform/backend.h"

namespace VSTGUI {

class CFrame;

enum CDrawStyle : int32_t { kDrawStroked = 0, kDrawFilled = 1, kDrawFilledAndStroked = 2 };
// Mode 3 draws anti-aliased; every other mode aliased.
enum CDrawMode : int32_t { kCopyMode = 0, kOrMode = 1, kXorMode = 2, kAntialias = 3 };
enum CLineStyle : int32_t { kLineSolid = 0, kLineOnOffDash = 1 };
enum CHoriTxtAlign : int32_t { kLeftText = 0, kCenterText = 1, kRightText = 2 };

// A drawing surface with a current pen, fill, font, clip and origin offset.
// Every coordinate a drawing operation receives is first moved by the offset.
// Without a surface (the "graphics object") the context keeps its state but
// draws nothing. Coordinates are the frame's units: a frame at a scale other
// than 1 gives its contexts' surfaces that scale, so they draw at the
// device's resolution. [gui] Lives for one paint or one mouse fallback, except a
// frame's back buffer; holds one reference to its current font.
class CDrawContext : public CBaseObject {
 public:
  // paintSurface is borrowed (the caller keeps it alive for the context's
  // life); without one, a window gives the context its own surface on it.
  CDrawContext(CFrame* frame, platform::Surface* paintSurface, platform::Window* window);
  ~CDrawContext() override;

  void setDrawMode(int32_t mode);
  int32_t getDrawMode() const { return drawMode_; }
  void setFrameColor(CColor color);
  CColor getFrameColor() const { return frameColor_; }
  void setFillColor(CColor color);
  CColor getFillColor() const { return fillColor_; }
  void setFontColor(CColor color);
  CColor getFontColor() const { return fontColor_; }
  void setLineWidth(double width);
  double getLineWidth() const { return lineWidth_; }
  void setLineStyle(int32_t style);
  int32_t getLineStyle() const { return lineStyle_; }

  // size <= 0 stands for the font's own size, style -1 for its own style.
  void setFont(CFontDesc* font, double size = 0, int32_t style = -1);
  CFontDesc* getFont() const { return font_; }

  void setClipRect(const CRect& clip);
  // The clip in the caller's coordinates (the stored clip minus the offset).
  CRect& getClipRect(CRect& clip) const;
  void resetClipRect();

  void setOffset(const CPoint& offset) { offset_ = offset; }
  const CPoint& getOffset() const { return offset_; }

  void moveTo(const CPoint& point);
  void lineTo(const CPoint& point);
  CPoint getPenPosition() const { return penLoc_; }
  // points holds 2 × lineCount points: the start and end of each line.
  void drawLines(const CPoint* points, int32_t lineCount);
  void drawPolygon(const CPoint* points, int32_t pointCount, int32_t style = kDrawStroked);
  void drawRect(const CRect& rect, int32_t style = kDrawStroked);
  void fillRect(const CRect& rect);
  void drawEllipse(const CRect& rect, int32_t style = kDrawStroked);
  void drawArc(const CRect& rect, float startDegrees, float endDegrees, int32_t style = kDrawStroked);
  void drawPoint(const CPoint& point, CColor color);
  // Pixels cannot be read back: always opaque black.
  CColor getPoint(const CPoint& point) const;

  void drawString(const char* text, const CRect& rect, int16_t opaque = 0, int32_t align = kCenterText);
  // The point is the bottom-left of the text line.
  void drawStringUTF8(const char* text, const CPoint& point, bool antialias = false);
  // Vertically centred on the font size, clipped to the rectangle.
  void drawStringUTF8(const char* text, const CRect& rect, int32_t align = kCenterText,
                      bool antialias = true);
  // -1 without text, font, platform font or surface.
  double getStringWidth(const char* text);

  // Device pixels per unit of the surface (the frame's scale), 1 without one.
  double getScale() const { return scale_; }
  CFrame* getFrame() const { return frame_; }
  platform::Window* getWindow() const { return window_; }
  platform::Surface* getSurface() const { return surface_; }
  bool hasGraphics() const { return surface_ != nullptr; }
  CPoint getWindowPosition() const { return windowPos_; }

 protected:
  // Gives the context a surface it owns (the offscreen picture's), at the
  // context's scale.
  void adoptSurface(std::unique_ptr<platform::Surface> surface);
  void setScale(double scale) { scale_ = scale; }
  void setClipRectRaw(const CRect& clip) { clipRect_ = clip; }

 private:
  void applyClip(const CRect& absoluteClip);

  CPoint windowPos_;
  CPoint offset_;
  CFrame* frame_;
  platform::Window* window_;
  CFontDesc* font_ = nullptr;
  CColor fontColor_;
  CPoint penLoc_;
  double lineWidth_ = 0;
  CColor frameColor_;
  CColor fillColor_;
  int32_t lineStyle_ = kLineSolid;
  int32_t drawMode_ = kCopyMode;
  double scale_ = 1;
  CRect clipRect_;
  std::unique_ptr<platform::Surface> ownedSurface_;
  platform::Surface* surface_ = nullptr;
};

}  // namespace VSTGUI
