#include "gui/cdraw_context.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "gui/cframe.h"

namespace VSTGUI {

namespace {

// True when the text is well-formed UTF-8 (no overlongs, no surrogates, at
// most U+10FFFF); anything else converts to an empty string.
bool isValidUtf8(const char* text) {
  auto* s = reinterpret_cast<const unsigned char*>(text);
  while (*s) {
    const unsigned char c = *s;
    int extra = 0;
    uint32_t cp = 0;
    if (c < 0x80) {
      ++s;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    for (int i = 1; i <= extra; ++i) {
      if ((s[i] & 0xC0) != 0x80) return false;
      cp = cp << 6 | (s[i] & 0x3F);
    }
    static constexpr uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    s += extra + 1;
  }
  return true;
}

const char* convertedText(const char* text) {
  return isValidUtf8(text) ? text : "";
}

}  // namespace

CDrawContext::CDrawContext(CFrame* frame, platform::Surface* paintSurface, platform::Window* window)
    : frame_(frame), window_(window) {
  clipRect_ = frame ? frame->getViewSize() : CRect(0, 0, 1000, 1000);
  if (frame) scale_ = frame->getScale();
  if (paintSurface) {
    surface_ = paintSurface;
    if (scale_ != 1) surface_->setScale(scale_);
  } else if (window) {
    adoptSurface(window->createSurface());
  }
  if (window) windowPos_ = window->screenPosition();
  if (surface_) surface_->setAntialias(false);

  setFrameColor(kWhiteCColor);
  setLineStyle(kLineSolid);
  setLineWidth(1);
  setFillColor(kBlackCColor);
  setFontColor(kWhiteCColor);
  setFont(kSystemFont);
  setDrawMode(kCopyMode);
}

CDrawContext::~CDrawContext() {
  if (font_) font_->forget();
}

void CDrawContext::adoptSurface(std::unique_ptr<platform::Surface> surface) {
  ownedSurface_ = std::move(surface);
  surface_ = ownedSurface_.get();
  if (surface_ && scale_ != 1) surface_->setScale(scale_);
  if (surface_) surface_->setAntialias(drawMode_ == kAntialias);
}

void CDrawContext::setDrawMode(int32_t mode) {
  if (mode == drawMode_) return;
  drawMode_ = mode;
  if (surface_) surface_->setAntialias(mode == kAntialias);
}

void CDrawContext::setFrameColor(CColor color) {
  if (color == frameColor_) return;
  frameColor_ = color;
  if (surface_) surface_->setPenColor(color);
}

void CDrawContext::setFillColor(CColor color) {
  if (color == fillColor_) return;
  fillColor_ = color;
  if (surface_) surface_->setFillColor(color);
}

void CDrawContext::setFontColor(CColor color) {
  fontColor_ = color;
  if (surface_) surface_->setTextColor(color);
}

void CDrawContext::setLineWidth(double width) {
  lineWidth_ = width;
  if (surface_) surface_->setPenWidth(static_cast<float>(width));
}

void CDrawContext::setLineStyle(int32_t style) {
  if (style == lineStyle_) return;
  lineStyle_ = style;
  if (surface_) surface_->setPenDotted(style == kLineOnOffDash);
}

void CDrawContext::setFont(CFontDesc* font, double size, int32_t style) {
  // The new reference is taken before the old one is released: the argument
  // may be the current font itself (setFont(getFont(), 14)), which the
  // release could otherwise free before it is read.
  CFontDesc* next = nullptr;
  if (font) {
    const bool sameSize = size <= 0 || size == font->getSize();
    const bool sameStyle = style == -1 || style == font->getStyle();
    if (sameSize && sameStyle) {
      next = font;
      next->remember();
    } else {
      // The context holds the only reference to the derived description.
      next = new CFontDesc(font->getName(), size > 0 ? size : font->getSize(),
                           style != -1 ? style : font->getStyle());
    }
  }
  if (font_) font_->forget();
  font_ = next;
}

void CDrawContext::applyClip(const CRect& absoluteClip) {
  clipRect_ = absoluteClip;
  if (!surface_) return;
  surface_->setClip({truncToInt(absoluteClip.left), truncToInt(absoluteClip.top),
                     truncToInt(absoluteClip.right - absoluteClip.left),
                     truncToInt(absoluteClip.bottom - absoluteClip.top)});
}

void CDrawContext::setClipRect(const CRect& clip) {
  CRect r = clip;
  r.offset(offset_.x, offset_.y);
  if (r == clipRect_) return;
  applyClip(r);
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
  clip = clipRect_;
  clip.offset(-offset_.x, -offset_.y);
  return clip;
}

void CDrawContext::resetClipRect() {
  const CRect full = frame_ ? frame_->getViewSize() : CRect(0, 0, 1000, 1000);
  if (full != clipRect_) applyClip(full);
}

void CDrawContext::moveTo(const CPoint& point) {
  penLoc_ = CPoint(point.x + offset_.x, point.y + offset_.y);
}

void CDrawContext::lineTo(const CPoint& point) {
  const CPoint to(point.x + offset_.x, point.y + offset_.y);
  if (surface_)
    surface_->drawLine(truncToInt(penLoc_.x), truncToInt(penLoc_.y), truncToInt(to.x), truncToInt(to.y));
  penLoc_ = to;
}

void CDrawContext::drawLines(const CPoint* points, int32_t lineCount) {
  if (!points) return;
  for (int32_t i = 0; i < lineCount; ++i) {
    moveTo(points[2 * i]);
    lineTo(points[2 * i + 1]);
  }
}

void CDrawContext::drawPolygon(const CPoint* points, int32_t pointCount, int32_t /*style*/) {
  // Outline only: the closed path through the points.
  if (!points || pointCount < 2) return;
  moveTo(points[0]);
  for (int32_t i = 1; i < pointCount; ++i) lineTo(points[i]);
  lineTo(points[0]);
}

void CDrawContext::drawRect(const CRect& rect, int32_t style) {
  CRect r = rect;
  r.offset(offset_.x, offset_.y).normalize();
  if (!surface_ || style < kDrawStroked || style > kDrawFilledAndStroked) return;
  const auto x = static_cast<float>(r.left);
  const auto y = static_cast<float>(r.top);
  const auto w = static_cast<float>(r.right - r.left);
  const auto h = static_cast<float>(r.bottom - r.top);
  if (style != kDrawStroked) surface_->fillRect(x, y, w, h);
  if (style != kDrawFilled) surface_->strokeRect(x, y, w - 1, h - 1);
}

void CDrawContext::fillRect(const CRect& rect) {
  drawRect(rect, kDrawFilled);
}

void CDrawContext::drawEllipse(const CRect& rect, int32_t style) {
  CRect r = rect;
  r.offset(offset_.x, offset_.y).normalize();
  if (!surface_ || style < kDrawStroked || style > kDrawFilledAndStroked) return;
  const int32_t left = truncToInt(r.left);
  const int32_t top = truncToInt(r.top);
  const auto w = static_cast<float>(truncToInt(r.right) - left - 1);
  const auto h = static_cast<float>(truncToInt(r.bottom) - top - 1);
  if (style != kDrawStroked) surface_->fillEllipse(static_cast<float>(left), static_cast<float>(top), w, h);
  if (style != kDrawFilled) surface_->strokeEllipse(static_cast<float>(left), static_cast<float>(top), w, h);
}

void CDrawContext::drawArc(const CRect& rect, float startDegrees, float endDegrees, int32_t style) {
  CRect r = rect;
  r.offset(offset_.x, offset_.y);
  if (!surface_ || style < kDrawStroked || style > kDrawFilledAndStroked) return;
  if (startDegrees > endDegrees) endDegrees += 360;
  const float sweep = std::fabs(endDegrees - startDegrees);
  const auto x = static_cast<float>(r.left);
  const auto y = static_cast<float>(r.top);
  const auto w = static_cast<float>(r.right - r.left);
  const auto h = static_cast<float>(r.bottom - r.top);
  if (style != kDrawStroked) surface_->fillArc(x, y, w, h, startDegrees, sweep);
  if (style != kDrawFilled) surface_->strokeArc(x, y, w, h, startDegrees, sweep);
}

void CDrawContext::drawPoint(const CPoint& point, CColor color) {
  const double oldWidth = lineWidth_;
  const CColor oldColor = frameColor_;
  const bool widthChanged = oldWidth != 1;
  if (widthChanged) setLineWidth(1);
  setFrameColor(color);
  if (surface_) {
    const int32_t x = truncToInt(point.x + offset_.x);
    const int32_t y = truncToInt(point.y + offset_.y);
    const int32_t x2 = truncToInt(point.x + 1 + offset_.x);
    surface_->drawLine(x, y, x2, y);
  }
  setFrameColor(oldColor);
  if (widthChanged) setLineWidth(oldWidth);
}

CColor CDrawContext::getPoint(const CPoint& /*point*/) const {
  return kBlackCColor;
}

void CDrawContext::drawString(const char* text, const CRect& rect, int16_t /*opaque*/, int32_t align) {
  drawStringUTF8(text, rect, align, true);
}

void CDrawContext::drawStringUTF8(const char* text, const CPoint& point, bool antialias) {
  if (!text || !font_) return;
  platform::Font* platformFont = font_->getPlatformFont();
  if (!platformFont || !surface_) return;
  const double height = surface_->fontHeight(*platformFont);
  const double x = point.x + offset_.x;
  const double top = point.y + offset_.y + 1 - height;
  surface_->drawText(*platformFont, convertedText(text), static_cast<float>(x), static_cast<float>(top),
                     antialias);
}

void CDrawContext::drawStringUTF8(const char* text, const CRect& rect, int32_t align, bool antialias) {
  if (!text || !font_) return;
  const double y = rect.bottom - ((rect.bottom - rect.top) * 0.5 - font_->getSize() * 0.5 + 1);
  double x;
  if (align == kLeftText) {
    x = rect.left;
  } else if (align == kRightText) {
    x = rect.right - getStringWidth(text);
  } else {
    x = rect.left + (rect.right - rect.left) * 0.5 - getStringWidth(text) * 0.5;
  }
  const CRect oldClip = clipRect_;
  CRect clip = rect;
  clip.offset(offset_.x, offset_.y).bound(oldClip);
  if (clip != clipRect_) applyClip(clip);
  drawStringUTF8(text, CPoint(x, y), antialias);
  if (oldClip != clipRect_) applyClip(oldClip);
}

double CDrawContext::getStringWidth(const char* text) {
  if (!text || !font_ || !surface_) return -1;
  platform::Font* platformFont = font_->getPlatformFont();
  if (!platformFont) return -1;
  return surface_->measureText(*platformFont, convertedText(text));
}

}  // namespace VSTGUI
