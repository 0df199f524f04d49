#include "runtime/editor_input.h"

#include "runtime/morvox.h"

namespace morvox {

namespace {

// Mouse activity keeps the interface redrawing at no less than 30 frames per
// second; a rate that is not a number stays as it is.
void RaiseRate(TMorvox& script) {
  if (script.gfxRate < 30.0) script.gfxRate = 30.0;
}

}  // namespace

void EditorMouseDown(TMorvox& script, double x, double y, std::int32_t buttons) {
  int cap = 0;
  if (buttons & 0x2) cap |= TMorvox::kMouseLeft;
  if (buttons & 0x8) cap |= TMorvox::kMouseRight;
  if (buttons & 0x20) cap |= TMorvox::kMouseControl;
  if (buttons & 0x10) cap |= TMorvox::kMouseShift;
  if (buttons & 0x40) cap |= TMorvox::kMouseAlt;
  if (buttons & 0x4) cap |= TMorvox::kMouseMiddle;
  script.PressMouse(cap, x, y);
  RaiseRate(script);
}

void EditorMouseUp(TMorvox& script, double x, double y, std::int32_t) {
  script.ReleaseMouse(x, y);
  RaiseRate(script);
}

void EditorMouseMove(TMorvox& script, double x, double y, std::int32_t) {
  script.MoveMouse(x, y);
  RaiseRate(script);
}

}  // namespace morvox
