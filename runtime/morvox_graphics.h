// CMorvoxFonts, CMorvoxGraphics and CMorvoxMouse: the font table, the image
// table, the drawing position and redraw rate, and the mouse state.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "runtime/morvox_files.h"

struct BitmapHolder;  // a reference to one decoded picture, owned by an ImageInfo

struct FontEntry {
  std::string face;
  double size = 1.0;       // at least 1
  std::int32_t style = 0;  // 1 bold, 2 italic, 4 underline
};

struct ImageInfo {
  BitmapHolder* holder = nullptr;  // owned; null when nothing is loaded
  double width = 0.0;
  double height = 0.0;
};

class CMorvoxFonts : public CMorvoxFiles {
 public:
  std::map<std::int32_t, FontEntry> fonts;
  double textHeight = 0.0;  // line height of the font last selected, pixels
};

class CMorvoxGraphics : public CMorvoxFonts {
 public:
  ~CMorvoxGraphics() override;

  std::map<std::int32_t, ImageInfo> images;
  double gfxX = 0.0;  // drawing position, view pixels, y downwards
  double gfxY = 0.0;
  double gfxRate = 0.0;  // idle redraws per second; 0 stops them
};

class CMorvoxMouse : public CMorvoxGraphics {
 public:
  // Bits of mouseCap.
  static constexpr int kMouseLeft = 1;
  static constexpr int kMouseRight = 2;
  static constexpr int kMouseControl = 4;
  static constexpr int kMouseShift = 8;
  static constexpr int kMouseAlt = 16;
  static constexpr int kMouseMiddle = 64;

  // What one frame of the interface sees of the mouse.
  struct MouseFrame {
    double cap, x, y;
  };

  // [gui] Mouse input from the editor: the live state below, and a press
  // also kept until a frame has seen it, since the interface reads the
  // mouse once per frame and a release before that frame would hide it.
  void PressMouse(double cap, double x, double y);
  void ReleaseMouse(double x, double y);
  void MoveMouse(double x, double y);
  // [gui] For one frame: a press that was released before this frame, as
  // it was at the press; otherwise the live state. Clears the kept press.
  MouseFrame TakeFrameMouse();

  double mouseCap = 0.0;  // live: the buttons and modifiers held now
  double mouseX = 0.0;
  double mouseY = 0.0;
  MouseFrame unseenPress{0.0, 0.0, 0.0};  // cap 0: none waiting
};
