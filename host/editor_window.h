// A top-level window of the host that a plug-in editor can open into.
// One implementation per window system (platform/<name>/editor_window.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vornhost {

// Pixels of a window as 0xAARRGGBB words, row after row, alpha 0xFF.
struct WindowImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

class EditorWindow {
 public:
  // Null with the reason in why when there is no window system to use.
  static std::unique_ptr<EditorWindow> Create(int width, int height, std::string& why);
  virtual ~EditorWindow() = default;

  // [gui] The native parent handed to effEditOpen.
  virtual void* parent() = 0;
  // [gui] Handles pending window-system events of the host's window.
  virtual void Pump() = 0;

  // [gui] The name the window system and its users see.
  virtual void SetTitle(const std::string& title) { (void)title; }
  // [gui] New client size, for editors that report theirs only once open.
  virtual void Resize(int width, int height) {
    (void)width;
    (void)height;
  }
  // [gui] True once the user asked to close the window (or it is gone).
  virtual bool CloseRequested() const { return false; }
  // [gui] The window's content with the editor's child windows in it; false
  // with the reason in why when it cannot be read.
  virtual bool Capture(WindowImage& image, std::string& why) {
    (void)image;
    why = "this window system cannot read back a window";
    return false;
  }
};

}  // namespace vornhost
