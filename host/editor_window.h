// A top-level window of the host that a plug-in editor can open into.
// One implementation per window system (platform/<name>/editor_window.cpp).
#pragma once

#include <memory>
#include <string>

namespace vornhost {

class EditorWindow {
 public:
  // Null with the reason in why when there is no window system to use.
  static std::unique_ptr<EditorWindow> Create(int width, int height, std::string& why);
  virtual ~EditorWindow() = default;

  // [gui] The native parent handed to effEditOpen.
  virtual void* parent() = 0;
  // [gui] Handles pending window-system events of the host's window.
  virtual void Pump() = 0;
};

}  // namespace vornhost
