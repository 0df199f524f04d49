// ScriptViewClient: what the editor's script view and its editor need from
// the plug-in they show: the idle step, the paint and the input events.
// Each plug-in format's adapter implements it, so one editor serves all.
#pragma once

#include <cstdint>

namespace VSTGUI {
class CDrawContext;
}  // namespace VSTGUI

class ScriptViewClient {
 public:
  virtual ~ScriptViewClient() = default;

  virtual void ViewIdle() = 0;  // [gui] every host idle call while open
  // [gui] Paints the script's interface into `context`, which is valid only
  // during the call.
  virtual void ViewPaint(VSTGUI::CDrawContext* context, double width, double height) = 0;
  // [gui] Pointer input in view coordinates; buttons as VSTGUI's CButtonState bits.
  virtual void ViewMouseDown(double x, double y, std::int32_t buttons) = 0;
  virtual void ViewMouseUp(double x, double y, std::int32_t buttons) = 0;
  virtual void ViewMouseMoved(double x, double y, std::int32_t buttons) = 0;
  virtual void ViewKeyDown(std::int32_t /*character*/, std::int32_t /*modifier*/,
                           std::int32_t /*virtualKey*/) {}
  virtual void ViewKeyUp(std::int32_t /*character*/, std::int32_t /*modifier*/, std::int32_t /*virtualKey*/) {
  }
  // [gui] The editor closes: edits still open end now.
  virtual void ViewClosing() {}
};
