#include "shell/editor_attach.h"

#include "gui/editor/choxa_editor.h"

void AttachEditor(CHoxa* adapter) {
  CreateEditor(adapter, 500, 480);
}
