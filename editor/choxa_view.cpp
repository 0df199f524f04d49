#include "editor/choxa_view.h"

#include "editor/script_view_client.h"

using VSTGUI::CButtonState;
using VSTGUI::CMouseEventResult;
using VSTGUI::CPoint;

CHoxaView::CHoxaView(const VSTGUI::CRect& size, ScriptViewClient* client)
    : CView(size), plugin(client), bounds(size) {}

CHoxaView::~CHoxaView() = default;

void CHoxaView::draw(VSTGUI::CDrawContext* context) {
  if (plugin != nullptr) plugin->ViewPaint(context, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

CMouseEventResult CHoxaView::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (plugin != nullptr) plugin->ViewMouseDown(where.x, where.y, buttons);
  return VSTGUI::kMouseEventHandled;
}

CMouseEventResult CHoxaView::onMouseUp(CPoint& where, const CButtonState& buttons) {
  if (plugin != nullptr) plugin->ViewMouseUp(where.x, where.y, buttons);
  return VSTGUI::kMouseEventHandled;
}

CMouseEventResult CHoxaView::onMouseMoved(CPoint& where, const CButtonState& buttons) {
  if (plugin != nullptr) plugin->ViewMouseMoved(where.x, where.y, buttons);
  return VSTGUI::kMouseEventHandled;
}

int32_t CHoxaView::onKeyDown(VSTGUI::CKeyCode& key) {
  if (plugin != nullptr) plugin->ViewKeyDown(key.character, key.modifier, key.virt);
  return 1;
}

int32_t CHoxaView::onKeyUp(VSTGUI::CKeyCode& key) {
  if (plugin != nullptr) plugin->ViewKeyUp(key.character, key.modifier, key.virt);
  return 1;
}
