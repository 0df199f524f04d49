// The adapter's services for the script's drawing: fonts and redraws.
#include "shell/hoxa.h"

int CHoxa::SetFont(const char*, int, int) {
  // Fonts need a draw context, which exists only while the editor paints.
  if (drawContext == nullptr) return 0;
  return 0;
}

void CHoxa::ReleaseFonts() {
  fontCache.clear();
}

void CHoxa::RequestEditorRedraw() {}
