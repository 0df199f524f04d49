// The adapter's services for the script's drawing: fonts and redraws.
#include "gui/cdraw_context.h"
#include "gui/cfont_desc.h"
#include "gui/editor/choxa_editor.h"
#include "shell/hoxa.h"

namespace {

bool SameFace(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    const auto ca = static_cast<unsigned char>(*a), cb = static_cast<unsigned char>(*b);
    const int la = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
    const int lb = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
    if (la != lb) return false;
  }
  return *a == *b;
}

}  // namespace

int CHoxa::SetFont(const char* face, int size, int style) {
  if (drawContext == nullptr || face == nullptr) return 0;
  VSTGUI::CFontDesc* font = nullptr;
  for (auto it = fontCache.rbegin(); it != fontCache.rend(); ++it) {
    if ((*it)->getName() != nullptr && SameFace((*it)->getName(), face)) {
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
