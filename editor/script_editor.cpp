#include "editor/script_editor.h"

#include "editor/choxa_view.h"
#include "editor/script_view_client.h"
#include "gui/cframe.h"
#include "gui/platform/platform_backend.h"
#include "gui/ui_scale.h"

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
  const VSTGUI::CRect size(0, 0, width, height);
  frame_ = new VSTGUI::CFrame(size, parentWindow, frameOwner, scale_);
  view = new CHoxaView(size, client);
  frame_->addView(view);
  return frame_;
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
