// The adapter's services for the script's drawing: fonts and redraws.
#include "gui/cdraw_context.h"
#include "gui/cfont_desc.h"
#include "gui/editor/choxa_editor.h"
#include "runtime/text_ops.h"
#include "shell/hoxa.h"

int CHoxa::SetFont(const char* face, int size, int style) {
  if (drawContext == nullptr || face == nullptr) return 0;
  VSTGUI::CFontDesc* font = nullptr;
  for (auto it = fontCache.rbegin(); it != fontCache.rend(); ++it) {
    // Face names compare ignoring case, as the Windows runtime's _stricmp does.
    if ((*it)->getName() != nullptr && morvox::TextEqualIgnoringCase((*it)->getName(), face)) {
      font = *it;
      break;
    }
  }
  if (font == nullptr) {
    font = new VSTGUI::CFontDesc(face, 0, 0);
    fontCache.push_back(font);
  }
  drawContext->setFont(font, size, style);
  return 1;
}

void CHoxa::ReleaseFonts() {
  for (VSTGUI::CFontDesc* font : fontCache) font->forget();
  fontCache.clear();
}

void CHoxa::RequestEditorRedraw() {
  if (auto* editor = dynamic_cast<CHoxaEditor*>(getEditor())) editor->RequestRedraw();
}
