#pragma once
#include <cstdint>

namespace VSTGUI {

// The frame's mouse button set. Bit 0x1 is never set.
using CButtonState = int32_t;
enum : CButtonState {
  kLButton = 0x2,
  kMButton = 0x4,
  kRButton = 0x8,
  kShift = 0x10,
  kControl = 0x20,
  kAlt = 0x40,
  kButton4 = 0x100,
  kButton5 = 0x200,
  kDoubleClick = 0x400,
};

enum CMouseEventResult : int32_t {
  kMouseEventNotHandled = 0,
  kMouseEventHandled = 1,
  kMouseEventNotImplemented = 2,
};

enum class CMouseWheelAxis { kMouseWheelAxisX, kMouseWheelAxisY };

// A key as the host passes it to the editor (same fields as VST 2.4's
// VstKeyCode, which the editor copies into this one).
struct CKeyCode {
  int32_t character = 0;
  uint8_t virt = 0;  // virtual key; 2 is the tab key
  uint8_t modifier = 0;
};
inline constexpr uint8_t kVirtualKeyTab = 2;

}  // namespace VSTGUI
