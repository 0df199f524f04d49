#pragma once
#include "gui/cbitmap.h"
#include "gui/cdraw_context.h"

namespace VSTGUI {

// A draw context over an in-memory picture of its own size: the frame's
// back buffer, and the way tests and tools render without a window. Width
// and height are units; the picture has scale × as many pixels each way
// (rounded up), and the context draws into it at that scale.
class COffscreenContext : public CDrawContext {
 public:
  // scale 0 takes the frame's (1 without a frame); others are clamped as
  // an editor's scale is.
  COffscreenContext(CFrame* frame, double width, double height, CColor background = kBlackCColor,
                    double scale = 0);
  ~COffscreenContext() override;

  CBitmap* getBitmap() const { return bitmap_; }
  double getWidth() const { return width_; }
  double getHeight() const { return height_; }
  CColor getBackgroundColor() const { return background_; }

  // Tools and tests: the picture's straight colour at a (device) pixel (transparent
  // outside or without a picture), and the picture as a PNG file.
  CColor pixelAt(int32_t x, int32_t y) const;
  bool writePng(const char* path) const;

 private:
  CBitmap* bitmap_;
  double width_;
  double height_;
  CColor background_;
};

}  // namespace VSTGUI
