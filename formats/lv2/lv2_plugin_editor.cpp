// Lv2Plugin's editor side: the script view's paint and input, the script's
// drawing services, and the editor's edits passed to the UI. [gui]
#include "editor/font_cache.h"
#include "editor/script_editor.h"
#include "effect/morvox_effect.h"
#include "formats/lv2/lv2_plugin.h"
#include "formats/lv2/lv2_ports.h"
#include "runtime/editor_input.h"

void Lv2Plugin::AttachEditor(ScriptEditor* editor, Lv2EditSink* sink) {
  editor_ = editor;
  editSink_ = sink;
}

void Lv2Plugin::DetachEditor(ScriptEditor* editor) {
  if (editor_ != editor) return;  // a later UI took over
  editor_ = nullptr;
  editSink_ = nullptr;
}

void Lv2Plugin::ShowPortValue(std::uint32_t port, float value) {
  if (port < lv2port::kFirstControl) return;
  ApplyControl(static_cast<std::int32_t>(port - lv2port::kFirstControl), value);
}

void Lv2Plugin::BeginEdit(std::int32_t index) {
  if (editSink_ != nullptr && script_->SliderAt(index) != nullptr) {
    editSink_->GestureBegin(lv2port::ControlPort(index));
  }
}

void Lv2Plugin::ParameterChanged(std::int32_t index, double normalised) {
  if (editSink_ != nullptr && script_->SliderAt(index) != nullptr) {
    editSink_->ValueEdited(lv2port::ControlPort(index), PortValueOf(index, normalised));
  }
}

void Lv2Plugin::EndEdit(std::int32_t index) {
  if (editSink_ != nullptr && script_->SliderAt(index) != nullptr) {
    editSink_->GestureEnd(lv2port::ControlPort(index));
  }
}

void Lv2Plugin::RequestEditorRedraw() {
  if (editor_ != nullptr) editor_->RequestRedraw();
}

bool Lv2Plugin::EditorSize(std::int32_t& width, std::int32_t& height) {
  if (editor_ == nullptr) return false;
  width = editor_->width;
  height = editor_->height;
  return true;
}

int Lv2Plugin::SetFont(const char* face, int size, int style) {
  return morvox::SelectCachedFont(fontCache_, drawContext_, face, size, style);
}

void Lv2Plugin::ViewIdle() {
  script_->OnIdle();
}

void Lv2Plugin::ViewPaint(VSTGUI::CDrawContext* context, double, double) {
  drawContext_ = context;
  script_->OnGraphics();
  drawContext_ = nullptr;
}

void Lv2Plugin::ViewMouseDown(double x, double y, std::int32_t buttons) {
  morvox::EditorMouseDown(*script_, x, y, buttons);
}

void Lv2Plugin::ViewMouseUp(double x, double y, std::int32_t buttons) {
  morvox::EditorMouseUp(*script_, x, y, buttons);
}

void Lv2Plugin::ViewMouseMoved(double x, double y, std::int32_t buttons) {
  morvox::EditorMouseMove(*script_, x, y, buttons);
}

void Lv2Plugin::ViewClosing() {
  if (editSink_ != nullptr) editSink_->EndAllGestures();
}
