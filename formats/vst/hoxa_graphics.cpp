// The adapter's services for the script's drawing (fonts, redraws) and its
// editor's events, passed to the script through the bridge.
#include "editor/font_cache.h"
#include "formats/vst/choxa_editor.h"
#include "formats/vst/hoxa.h"

int CHoxa::SetFont(const char* face, int size, int style) {
  return morvox::SelectCachedFont(fontCache, drawContext, face, size, style);
}

void CHoxa::ReleaseFonts() {
  morvox::ReleaseCachedFonts(fontCache);
}

void CHoxa::RequestEditorRedraw() {
  if (auto* editor = dynamic_cast<CHoxaEditor*>(getEditor())) editor->RequestRedraw();
}

void CHoxa::ViewIdle() {
  if (bridge.Idle != nullptr) bridge.Idle(this);
}

void CHoxa::ViewPaint(VSTGUI::CDrawContext* context, double width, double height) {
  if (bridge.Draw == nullptr) return;
  // The script's drawing operations find the context only for this paint.
  drawContext = context;
  bridge.Draw(this, width, height);
  drawContext = nullptr;
}

void CHoxa::ViewMouseDown(double x, double y, std::int32_t buttons) {
  if (bridge.MouseDown != nullptr) bridge.MouseDown(this, x, y, buttons);
}

void CHoxa::ViewMouseUp(double x, double y, std::int32_t buttons) {
  if (bridge.MouseUp != nullptr) bridge.MouseUp(this, x, y, buttons);
}

void CHoxa::ViewMouseMoved(double x, double y, std::int32_t buttons) {
  if (bridge.MouseMove != nullptr) bridge.MouseMove(this, x, y, buttons);
}

void CHoxa::ViewKeyDown(std::int32_t character, std::int32_t modifier, std::int32_t virtualKey) {
  if (bridge.KeyDown != nullptr) bridge.KeyDown(this, character, modifier, virtualKey);
}

void CHoxa::ViewKeyUp(std::int32_t character, std::int32_t modifier, std::int32_t virtualKey) {
  if (bridge.KeyUp != nullptr) bridge.KeyUp(this, character, modifier, virtualKey);
}

void CHoxa::ViewClosing() {
  EndOpenParameterEdits();
}
