#include "gui/editor/choxa_view.h"

#include "shell/hoxa.h"

using VSTGUI::CButtonState;
using VSTGUI::CMouseEventResult;
using VSTGUI::CPoint;

CHoxaView::CHoxaView(const VSTGUI::CRect& size, CHoxa* owner) : CView(size), plugin(owner), bounds(size) {}

CHoxaView::~CHoxaView() = default;

void CHoxaView::draw(VSTGUI::CDrawContext* context) {
  if (plugin == nullptr || plugin->bridge.Draw == nullptr) return;
  // The script's drawing operations find the context only for this paint.
  plugin->drawContext = context;
  plugin->bridge.Draw(plugin, bounds.right - bounds.left, bounds.bottom - bounds.top);
  plugin->drawContext = nullptr;
}

CMouseEventResult CHoxaView::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (plugin != nullptr && plugin->bridge.MouseDown != nullptr)
    plugin->bridge.MouseDown(plugin, where.x, where.y, buttons);
  return VSTGUI::kMouseEventHandled;
}

CMouseEventResult CHoxaView::onMouseUp(CPoint& where, const CButtonState& buttons) {
  if (plugin != nullptr && plugin->bridge.MouseUp != nullptr)
    plugin->bridge.MouseUp(plugin, where.x, where.y, buttons);
  return VSTGUI::kMouseEventHandled;
}

CMouseEventResult CHoxaView::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (plugin != nullptr && plugin->bridge.MouseMove != nullptr)
    plugin->bridge.MouseMove(plugin, where.x, where.y, buttons);
  return VSTGUI::kMouseEventHandled;
}

int32_t CHoxaView::onKeyDown(VSTGUI::CKeyCode& key) {
  if (plugin != nullptr && plugin->bridge.KeyDown != nullptr) {
    plugin->bridge.KeyDown(plugin, key.character, key.modifier, key.virt);
  }
  return 1;
}

int32_t CHoxaView::onKeyUp(VSTGUI::CKeyCode& key) {
  if (plugin != nullptr && plugin->bridge.KeyUp != nullptr)
    plugin->bridge.KeyUp(plugin, key.character, key.modifier, key.virt);
  return 1;
}
