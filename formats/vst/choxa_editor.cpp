#include "formats/vst/choxa_editor.h"

#include "formats/vst/hoxa.h"
#include "gui/ui_scale.h"

bool CreateEditor(CHoxa* plugin, int width, int height) {
  if (plugin == nullptr || plugin->getEditor() != nullptr) return false;
  new CHoxaEditor(plugin, plugin, width, height);  // attaches itself to the adapter, which owns it
  return true;
}

CHoxaEditor::CHoxaEditor(AudioEffect* owner, ScriptViewClient* client, int editorWidth, int editorHeight)
    : AEffGUIEditor(owner),
      plugin(client),
      width(editorWidth),
      height(editorHeight),
      script_(client, editorWidth, editorHeight) {
  rect.top = 0;
  rect.left = 0;
  rect.bottom = static_cast<VstInt16>(height);
  rect.right = static_cast<VstInt16>(width);
  if (owner != nullptr) owner->setEditor(this);
}

CHoxaEditor::~CHoxaEditor() {
  close();
}

double CHoxaEditor::Scale() {
  if (!scaleKnown_) {
    scaleKnown_ = true;
    script_.SetScale(VSTGUI::EditorScale(nullptr));
    UpdateRect();
  }
  return script_.Scale();
}

void CHoxaEditor::UpdateRect() {
  rect.top = 0;
  rect.left = 0;
  rect.bottom = static_cast<VstInt16>(script_.DeviceHeight());
  rect.right = static_cast<VstInt16>(script_.DeviceWidth());
}

void CHoxaEditor::frameScaleChanged(double scale, int32_t deviceWidth, int32_t deviceHeight) {
  script_.SetScale(scale);
  UpdateRect();
  if (auto* host = dynamic_cast<AudioEffectX*>(effect)) host->sizeWindow(deviceWidth, deviceHeight);
}

bool CHoxaEditor::getRect(ERect** out) {
  Scale();
  return AEffGUIEditor::getRect(out);
}

// The frame asks this editor (the AEffGUIEditor) its questions, and the
// base's idle and key handling reach the frame through `frame`.
bool CHoxaEditor::open(void* parentWindow) {
  // The window the host gives may sit on a screen of another density than
  // the one the rectangle was answered for: the new size goes to the host.
  const double before = Scale();
  const double scale = VSTGUI::EditorScale(parentWindow);
  if (scale != before) {
    script_.SetScale(scale);
    UpdateRect();
    if (auto* host = dynamic_cast<AudioEffectX*>(effect)) host->sizeWindow(rect.right, rect.bottom);
  }
  // Unless the host or VORN_UI_SCALE fixed it, the window's own report of
  // the desktop's scale wins, and frameScaleChanged asks the host to resize.
  script_.FollowWindowScale(!VSTGUI::ScaleIsGiven());
  frame = script_.Open(parentWindow, this);
  view = script_.view;
  return true;
}

void CHoxaEditor::close() {
  frame = nullptr;
  script_.Close();
}

void CHoxaEditor::idle() {
  script_.ClientIdle();
  AEffGUIEditor::idle();
}

bool CHoxaEditor::RequestRedraw() {
  return script_.RequestRedraw();
}
