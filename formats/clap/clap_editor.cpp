#include "formats/clap/clap_editor.h"

#include <algorithm>
#include <cmath>

#include "editor/font_cache.h"
#include "editor/script_editor.h"
#include "effect/morvox_effect.h"
#include "formats/clap/clap_plugin.h"
#include "gui/cframe.h"
#include "gui/platform/backend.h"
#include "gui/ui_scale.h"
#include "runtime/editor_input.h"

ClapEditor::ClapEditor(ClapPlugin& plugin) : plugin_(plugin), model_(std::make_unique<TMorvoxEffect>()) {
  model_->plugin = this;
  model_->OnReset();
  // The interface's own start (its redraw rate); at no sample rate the
  // model keeps no delay lines.
  model_->InitOnce();
  model_->OnSlider();
  const auto sliders = static_cast<std::size_t>(model_->SliderCount());
  inGesture_.assign(sliders, 0);
  shown_.assign(sliders, std::nan(""));
  editor_ = std::make_unique<ScriptEditor>(this, kEditorWidth, kEditorHeight);
  editor_->SetScale(VSTGUI::EditorScale(nullptr));
  // The settings that sound now, not the model's defaults.
  TakePublished();
}

ClapEditor::~ClapEditor() {
  editor_->Close();  // ends the user's open gestures
  SendWaiting();
  editor_.reset();
  model_->OnClose();
  morvox::ReleaseCachedFonts(fontCache_);
}

bool ClapEditor::SetScale(double hostScale) {
  if (!std::isfinite(hostScale) || hostScale <= 0) return false;
  hostScale_ = hostScale;
  const double scale = VSTGUI::EditorScale(parent_, hostScale);
  if (scale == editor_->Scale()) return true;
  editor_->SetScale(scale);
  // An open window is made again at its new size.
  if (Window() != nullptr) return Open(parent_);
  return true;
}

std::uint32_t ClapEditor::DeviceWidth() const {
  return static_cast<std::uint32_t>(editor_->DeviceWidth());
}

std::uint32_t ClapEditor::DeviceHeight() const {
  return static_cast<std::uint32_t>(editor_->DeviceHeight());
}

bool ClapEditor::Open(void* parent) {
  if (parent == nullptr) return false;
  parent_ = parent;
  // Unless the host or VORN_UI_SCALE fixed it, the window's own report of
  // the desktop's scale wins; FrameOwner hears of the new size.
  editor_->FollowWindowScale(!VSTGUI::ScaleIsGiven(hostScale_));
  editor_->Open(parent, &frameOwner_);
  if (Window() == nullptr) {
    editor_->Close();
    return false;
  }
  return true;
}

void ClapEditor::FrameOwner::frameScaleChanged(double scale, std::int32_t, std::int32_t) {
  // Kept for the next window, and get_size answers the new size.
  editor_.editor_->SetScale(scale);
  if (editor_.resized_) editor_.resized_();
}

void* ClapEditor::Window() const {
  VSTGUI::CFrame* frame = editor_->Frame();
  if (frame == nullptr || !frame->isOpen() || frame->getPlatformWindow() == nullptr) return nullptr;
  return frame->getPlatformWindow()->nativeHandle();
}

void ClapEditor::Idle() {
  TakePublished();
  if (!waiting_.empty()) SendWaiting();
  if (Window() != nullptr) editor_->Idle();
}

void ClapEditor::TakePublished() {
  // The plug-in's count is odd while it writes; a count that moved while
  // we read means a torn read, taken again at the next look.
  const std::uint32_t count = plugin_.PublishedCount();
  if (count != seenCount_ && (count & 1u) == 0) {
    std::vector<double>& values = scratch_;
    values.resize(shown_.size());
    for (std::size_t i = 0; i < values.size(); ++i)
      values[i] = plugin_.PublishedValue(static_cast<clap_id>(i));
    if (plugin_.PublishedCount() == count) {
      seenCount_ = count;
      for (std::size_t i = 0; i < values.size(); ++i) {
        // Only what changed, and the user's own drag wins over echoes of
        // its earlier values.
        if (values[i] == shown_[i] || inGesture_[i] != 0) continue;
        shown_[i] = values[i];
        ShowValue(static_cast<std::int32_t>(i), values[i]);
      }
    }
  }
  // The level of the last block: the meter rises to it and falls by itself.
  const double level = plugin_.MeterLevel();
  if (std::isfinite(level) && level > model_->v.meterPeak) model_->v.meterPeak = level;
}

void ClapEditor::ShowValue(std::int32_t index, double value) {
  const SliderInfo* slider = model_->SliderAt(index);
  if (slider == nullptr || !std::isfinite(value)) return;
  const double range = slider->maximum - slider->minimum;
  if (!(range > 0.0)) return;
  // The path the sound takes for the same value, so the editor shows what
  // sounds.
  model_->SetFromNormalisedValue(index, (value - slider->minimum) / range);
  RequestEditorRedraw();
}

void ClapEditor::Send(const ClapUiEdit& edit) {
  // In order behind anything still waiting.
  if (!waiting_.empty() || !plugin_.PushUiEdit(edit)) waiting_.push_back(edit);
}

void ClapEditor::SendWaiting() {
  std::size_t sent = 0;
  while (sent < waiting_.size() && plugin_.PushUiEdit(waiting_[sent])) ++sent;
  waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(sent));
}

void ClapEditor::BeginEdit(std::int32_t index) {
  if (model_->SliderAt(index) == nullptr) return;
  auto& held = inGesture_[static_cast<std::size_t>(index)];
  if (held != 0) return;
  held = 1;
  Send({ClapUiEdit::kBegin, static_cast<clap_id>(index), 0});
}

void ClapEditor::ParameterChanged(std::int32_t index, double) {
  const SliderInfo* slider = model_->SliderAt(index);
  if (slider == nullptr) return;
  // The value the editor set, in the parameter's units.
  const double slot =
      model_->sliderValues[static_cast<std::size_t>(slider->number) & (TMorvoxEffect::kSliderSlots - 1)];
  const double value = std::clamp(slot, slider->minimum, slider->maximum);
  Send({ClapUiEdit::kValue, static_cast<clap_id>(index), value});
}

void ClapEditor::EndEdit(std::int32_t index) {
  if (model_->SliderAt(index) == nullptr) return;
  auto& held = inGesture_[static_cast<std::size_t>(index)];
  if (held == 0) return;
  held = 0;
  Send({ClapUiEdit::kEnd, static_cast<clap_id>(index), 0});
}

void ClapEditor::RequestEditorRedraw() {
  if (editor_ != nullptr) editor_->RequestRedraw();
}

bool ClapEditor::EditorSize(std::int32_t& width, std::int32_t& height) {
  width = editor_->width;
  height = editor_->height;
  return true;
}

int ClapEditor::SetFont(const char* face, int size, int style) {
  return morvox::SelectCachedFont(fontCache_, drawContext_, face, size, style);
}

void ClapEditor::ViewIdle() {
  model_->OnIdle();
}

void ClapEditor::ViewPaint(VSTGUI::CDrawContext* context, double, double) {
  drawContext_ = context;
  model_->OnGraphics();
  drawContext_ = nullptr;
}

void ClapEditor::ViewMouseDown(double x, double y, std::int32_t buttons) {
  morvox::EditorMouseDown(*model_, x, y, buttons);
}

void ClapEditor::ViewMouseUp(double x, double y, std::int32_t buttons) {
  morvox::EditorMouseUp(*model_, x, y, buttons);
}

void ClapEditor::ViewMouseMoved(double x, double y, std::int32_t buttons) {
  morvox::EditorMouseMove(*model_, x, y, buttons);
}

void ClapEditor::ViewClosing() {
  for (std::size_t i = 0; i < inGesture_.size(); ++i) {
    if (inGesture_[i] != 0) EndEdit(static_cast<std::int32_t>(i));
  }
}
