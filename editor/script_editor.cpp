#include "editor/script_editor.h"

#include "editor/choxa_view.h"
#include "editor/script_view_client.h"
#include "gui/cframe.h"
#include "gui/platform/backend.h"
#include "gui/platform/platform_backend.h"
#include "gui/ui_scale.h"
#include "gui/vstgui_editor_interface.h"

ScriptEditor::ScriptEditor(ScriptViewClient* viewClient, int editorWidth, int editorHeight)
    : client(viewClient), width(editorWidth), height(editorHeight) {
  VSTGUI::platform::usePlatformBackend();
}

// Deleted while open, the editor takes its window with it rather than
// leaving one behind with nothing to paint it.
ScriptEditor::~ScriptEditor() {
  Close();
}

VSTGUI::CFrame* ScriptEditor::Open(void* parentWindow, VSTGUI::VSTGUIEditorInterface* frameOwner) {
  // Opened again without a close: the first window goes, not left behind
  // with its frame (and on X11 its display connection).
  Close();
  frame_ = MakeFrame(parentWindow, frameOwner);
  VSTGUI::platform::Window* window = frame_->getPlatformWindow();
  const double asked = window != nullptr ? window->desktopScale() : 0;
  if (asked > 0) VSTGUI::RememberWindowScale(asked);
  if (followWindowScale_ && asked > 0 && VSTGUI::ClampScale(asked) != scale_) {
    // Made again rather than resized: the window's picture and its reader
    // are of one size for the window's life.
    frame_->forget();
    scale_ = VSTGUI::ClampScale(asked);
    frame_ = MakeFrame(parentWindow, frameOwner);
    if (frameOwner != nullptr) frameOwner->frameScaleChanged(scale_, DeviceWidth(), DeviceHeight());
  }
  return frame_;
}

VSTGUI::CFrame* ScriptEditor::MakeFrame(void* parentWindow, VSTGUI::VSTGUIEditorInterface* frameOwner) {
  const VSTGUI::CRect size(0, 0, width, height);
  auto* frame = new VSTGUI::CFrame(size, parentWindow, frameOwner, scale_);
  view = new CHoxaView(size, client);
  frame->addView(view);
  return frame;
}

void ScriptEditor::SetScale(double scale) {
  scale_ = VSTGUI::ClampScale(scale);
}

int ScriptEditor::DeviceWidth() const {
  return VSTGUI::ScaledLength(width, scale_);
}

int ScriptEditor::DeviceHeight() const {
  return VSTGUI::ScaledLength(height, scale_);
}

void ScriptEditor::Close() {
  if (frame_ == nullptr) return;
  if (client != nullptr) client->ViewClosing();
  VSTGUI::CFrame* closing = frame_;
  frame_ = nullptr;
  closing->forget();
}

void ScriptEditor::ClientIdle() {
  if (view != nullptr && frame_ != nullptr && client != nullptr) client->ViewIdle();
}

void ScriptEditor::Idle() {
  ClientIdle();
  if (frame_ != nullptr) frame_->idle();
}

bool ScriptEditor::RequestRedraw() {
  if (frame_ == nullptr || view == nullptr) return false;
  view->invalidRect(view->bounds);
  return true;
}
