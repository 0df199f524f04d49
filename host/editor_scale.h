// The editor scale vornhost asks of a plug-in: VST 2.4 has no message for
// it, so vornhost sets the variable our editors read (VORN_UI_SCALE) for
// the plug-ins it loads; editors that do not know it keep their size.
#pragma once

#include <optional>
#include <string>

#include "gui/ui_scale.h"

namespace vornhost {

// The variable our editors read, by their own definition.
inline constexpr const char* kEditorScaleVariable = VSTGUI::kScaleVariable;

// Sets the variable for the object's life, then restores what was there.
class EditorScale {
 public:
  explicit EditorScale(double scale);
  ~EditorScale();
  EditorScale(const EditorScale&) = delete;
  EditorScale& operator=(const EditorScale&) = delete;

 private:
  std::optional<std::string> previous_;
};

}  // namespace vornhost
