#include "gui/editor/choxa_editor.h"

#include "gui/cframe.h"
#include "gui/editor/choxa_view.h"
#include "gui/editor/script_view_client.h"
#include "gui/platform/platform_backend.h"
#include "shell/hoxa.h"

bool CreateEditor(CHoxa* plugin, int width, int height) {
  if (plugin == nullptr || plugin->getEditor() != nullptr) return false;
  new CHoxaEditor(plugin, plugin, width, height);  // attaches itself to the adapter, which owns it
  return true;
}

CHoxaEditor::CHoxaEditor(AudioEffect* owner, ScriptViewClient* client, int editorWidth, int editorHeight)
    : AEffGUIEditor(owner), plugin(client), width(editorWidth), height(editorHeight) {
  VSTGUI::platform::usePlatformBackend();
  rect.top = 0;
  rect.left = 0;
  rect.bottom = static_cast<VstInt16>(height);
  rect.right = static_cast<VstInt16>(width);
  if (owner != nullptr) owner->setEditor(this);
}

// A host that deletes the editor while it is open gets its window closed
// too, rather than a window left behind with nothing to paint it.
CHoxaEditor::~CHoxaEditor() {
  close();
}

bool CHoxaEditor::open(void* parentWindow) {
  // A host that opens again without closing gets the first window closed,
  // not left behind with its frame (and on X11 its display connection).
  close();
  const VSTGUI::CRect size(0, 0, width, height);
  frame = new VSTGUI::CFrame(size, parentWindow, this);
  view = new CHoxaView(size, plugin);
  frame->addView(view);
  return true;
}

void CHoxaEditor::close() {
  if (frame == nullptr) return;
  if (plugin != nullptr) plugin->ViewClosing();
  VSTGUI::CFrame* closing = frame;
  frame = nullptr;
  closing->forget();
}

void CHoxaEditor::idle() {
  if (view != nullptr && frame != nullptr && plugin != nullptr) plugin->ViewIdle();
  AEffGUIEditor::idle();
}

bool CHoxaEditor::RequestRedraw() {
  if (frame == nullptr || view == nullptr) return false;
  view->invalidRect(view->bounds);
  return true;
}
