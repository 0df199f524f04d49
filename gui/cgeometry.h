#pragma once
#include <algorithm>
#include <cstdint>

namespace VSTGUI {

// Pixel coordinates as doubles, y growing downwards.
struct CPoint {
  double x = 0;
  double y = 0;

  constexpr CPoint() = default;
  constexpr CPoint(double px, double py) : x(px), y(py) {}
  constexpr CPoint& offset(double dx, double dy) {
    x += dx;
    y += dy;
    return *this;
  }
  constexpr bool operator==(const CPoint&) const = default;
};

struct CRect {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;

  constexpr CRect() = default;
  constexpr CRect(double l, double t, double r, double b) : left(l), top(t), right(r), bottom(b) {}
  constexpr CRect(const CPoint& origin, double width, double height)
      : left(origin.x), top(origin.y), right(origin.x + width), bottom(origin.y + height) {}

  constexpr double getWidth() const { return right - left; }
  constexpr double getHeight() const { return bottom - top; }
  constexpr CPoint getTopLeft() const { return {left, top}; }
  // Empty when the width or the height is not greater than 0.
  constexpr bool isEmpty() const { return !(right - left > 0) || !(bottom - top > 0); }

  constexpr CRect& offset(double dx, double dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
  }
  // Orders the edges so that left <= right and top <= bottom.
  constexpr CRect& normalize() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    return *this;
  }
  // Intersection; when the rectangles do not overlap the result is empty
  // (right == left or bottom == top), never inverted.
  constexpr CRect& bound(const CRect& other) {
    left = std::max(left, other.left);
    top = std::max(top, other.top);
    right = std::min(right, other.right);
    bottom = std::min(bottom, other.bottom);
    if (right < left) right = left;
    if (bottom < top) bottom = top;
    return *this;
  }
  // All four edges inclusive.
  constexpr bool pointInside(const CPoint& p) const {
    return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
  }
  // Overlap test where touching edges count.
  constexpr bool rectOverlap(const CRect& other) const {
    return !(other.right < left || other.left > right || other.bottom < top || other.top > bottom);
  }
  constexpr bool operator==(const CRect&) const = default;
};

// Red, green, blue, alpha bytes; alpha 255 is opaque.
struct CColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 0;

  constexpr bool operator==(const CColor&) const = default;

  // Packed as red | green << 8 | blue << 16 | alpha << 24.
  static constexpr CColor fromPacked(uint32_t v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
  }
  constexpr uint32_t packed() const {
    return uint32_t{red} | uint32_t{green} << 8 | uint32_t{blue} << 16 | uint32_t{alpha} << 24;
  }
  // The platform order alpha << 24 | red << 16 | green << 8 | blue.
  constexpr uint32_t argb() const {
    return uint32_t{alpha} << 24 | uint32_t{red} << 16 | uint32_t{green} << 8 | uint32_t{blue};
  }
};

inline constexpr CColor kBlackCColor{0, 0, 0, 255};
inline constexpr CColor kWhiteCColor{255, 255, 255, 255};
inline constexpr CColor kTransparentCColor{255, 255, 255, 0};

// Truncation toward zero to a 32-bit integer, as every pixel snap of this layer
// does; values beyond the range saturate instead of being undefined.
constexpr int32_t truncToInt(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(v);
}

}  // namespace VSTGUI
