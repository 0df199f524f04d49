// Builds without a window system: editors are not opened.
#include "host/editor_window.h"

namespace vornhost {

std::unique_ptr<EditorWindow> EditorWindow::Create(int, int, std::string& why) {
  why = "this vornhost was built without a window system";
  return nullptr;
}

}  // namespace vornhost
