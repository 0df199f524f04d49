#include "host/editor_scale.h"

#include <cstdio>
#include <cstdlib>

namespace vornhost {

namespace {

void SetVariable(const char* value) {
#ifdef _WIN32
  // An empty value removes the variable on Windows.
  _putenv_s(kEditorScaleVariable, value != nullptr ? value : "");
#else
  if (value != nullptr)
    setenv(kEditorScaleVariable, value, 1);
  else
    unsetenv(kEditorScaleVariable);
#endif
}

}  // namespace

EditorScale::EditorScale(double scale) {
  if (const char* old = std::getenv(kEditorScaleVariable)) previous_ = old;
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", scale);
  SetVariable(text);
}

EditorScale::~EditorScale() {
  SetVariable(previous_ ? previous_->c_str() : nullptr);
}

}  // namespace vornhost
