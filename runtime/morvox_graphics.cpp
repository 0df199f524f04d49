#include "runtime/morvox_graphics.h"

#include "runtime/bitmap_holder.h"

CMorvoxGraphics::~CMorvoxGraphics() {
  for (auto& [number, image] : images) {
    ReleaseBitmapHolder(image.holder);
    image.holder = nullptr;
  }
}

void CMorvoxMouse::PressMouse(double cap, double x, double y) {
  mouseCap = cap;
  mouseX = x;
  mouseY = y;
  if (cap != 0.0) unseenPress = MouseFrame{cap, x, y};
}

void CMorvoxMouse::ReleaseMouse(double x, double y) {
  mouseCap = 0.0;
  mouseX = x;
  mouseY = y;
}

void CMorvoxMouse::MoveMouse(double x, double y) {
  mouseX = x;
  mouseY = y;
}

CMorvoxMouse::MouseFrame CMorvoxMouse::TakeFrameMouse() {
  // A press still held is the live state, with the newest position.
  const MouseFrame frame =
      unseenPress.cap != 0.0 && mouseCap == 0.0 ? unseenPress : MouseFrame{mouseCap, mouseX, mouseY};
  unseenPress = MouseFrame{0.0, 0.0, 0.0};
  return frame;
}
