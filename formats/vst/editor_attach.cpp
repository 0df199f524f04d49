#include "formats/vst/editor_attach.h"

#include "formats/vst/choxa_editor.h"

void AttachEditor(CHoxa* adapter) {
  CreateEditor(adapter, 500, 480);
}
