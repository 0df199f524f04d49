// CHoxaView: the editor's one view. Every paint runs the script's graphics
// section against the frame's draw context; mouse input goes to the
// script's mouse variables, both through the plug-in's ScriptViewClient.
#pragma once

#include "gui/cview.h"

class ScriptViewClient;

class CHoxaView : public VSTGUI::CView {
 public:
  CHoxaView(const VSTGUI::CRect& size, ScriptViewClient* client);
  ~CHoxaView() override;

  void draw(VSTGUI::CDrawContext* context) override;  // [gui]
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
  int32_t onKeyDown(VSTGUI::CKeyCode& key) override;
  int32_t onKeyUp(VSTGUI::CKeyCode& key) override;

  ScriptViewClient* plugin;  // not owned
  VSTGUI::CRect bounds;
};
