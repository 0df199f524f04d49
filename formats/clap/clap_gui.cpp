#include "formats/clap/clap_gui.h"

#include <algorithm>
#include <cmath>

#include "editor/font_cache.h"
#include "editor/script_editor.h"
#include "effect/morvox_effect.h"
#include "formats/clap/abi/params.h"
#include "gui/cframe.h"
#include "gui/platform/backend.h"
#include "gui/ui_scale.h"
#include "runtime/editor_input.h"

ClapGui::ClapGui(const clap_host_t* host, ClapGuiLink& link)
    : host_(host), link_(link), model_(std::make_unique<TMorvoxEffect>()) {
  if (host_->get_extension != nullptr) {
    const auto* params = static_cast<const clap_host_params_t*>(host_->get_extension(host_, CLAP_EXT_PARAMS));
    if (params != nullptr && params->request_flush != nullptr) hostParams_ = params;
  }
  model_->plugin = this;
  model_->OnReset();
  // The interface's own start (its redraw rate); at no sample rate the
  // model keeps no delay lines.
  model_->InitOnce();
  model_->OnSlider();
  inGesture_.assign(static_cast<std::size_t>(model_->SliderCount()), 0);
  editor_ = std::make_unique<ScriptEditor>(this, kEditorWidth, kEditorHeight);
  editor_->SetScale(VSTGUI::EditorScale(nullptr));
  // The values that sound now, not the model's defaults.
  link_.TakeChanged();
  for (std::int32_t i = 0; i < model_->SliderCount(); ++i) ShowValue(i, link_.Value(static_cast<clap_id>(i)));
}

ClapGui::~ClapGui() {
  editor_->Close();  // ends the user's open gestures
  Flush();
  editor_.reset();
  model_->OnClose();
  morvox::ReleaseCachedFonts(fontCache_);
}

bool ClapGui::SetScale(double hostScale) {
  if (!std::isfinite(hostScale) || hostScale <= 0) return false;
  const double scale = VSTGUI::EditorScale(parent_, hostScale);
  if (scale == editor_->Scale()) return true;
  editor_->SetScale(scale);
  // The window is made again at its new size; the host learns the size
  // from get_size (or the resize it is asked for).
  if (Window() != nullptr) return Open(parent_);
  return true;
}

double ClapGui::Scale() const {
  return editor_->Scale();
}

std::uint32_t ClapGui::DeviceWidth() const {
  return static_cast<std::uint32_t>(editor_->DeviceWidth());
}

std::uint32_t ClapGui::DeviceHeight() const {
  return static_cast<std::uint32_t>(editor_->DeviceHeight());
}

bool ClapGui::Open(void* parent) {
  if (parent == nullptr) return false;
  parent_ = parent;
  editor_->Open(parent, nullptr);
  if (Window() == nullptr) {
    editor_->Close();
    return false;
  }
  return true;
}

void* ClapGui::Window() const {
  VSTGUI::CFrame* frame = editor_->Frame();
  if (frame == nullptr || !frame->isOpen() || frame->getPlatformWindow() == nullptr) return nullptr;
  return frame->getPlatformWindow()->nativeHandle();
}

void ClapGui::Idle() {
  TakePublished();
  if (!waiting_.empty()) Flush();
  if (Window() != nullptr) editor_->Idle();
}

void ClapGui::TakePublished() {
  std::uint32_t changed = link_.TakeChanged();
  for (std::int32_t i = 0; changed != 0 && i < model_->SliderCount(); ++i, changed >>= 1) {
    // The user's own drag wins over echoes of its earlier values.
    if ((changed & 1u) != 0 && inGesture_[static_cast<std::size_t>(i)] == 0)
      ShowValue(i, link_.Value(static_cast<clap_id>(i)));
  }
  // The level since the last idle: the meter rises to it and falls by itself.
  const double peak = link_.TakeMeter();
  if (peak > model_->v.meterPeak) model_->v.meterPeak = peak;
}

void ClapGui::ShowValue(std::int32_t index, double value) {
  const SliderInfo* slider = model_->SliderAt(index);
  if (slider == nullptr || !std::isfinite(value)) return;
  const double range = slider->maximum - slider->minimum;
  if (!(range > 0.0)) return;
  // The path the audio side takes for the same value, so the editor shows
  // what sounds.
  model_->SetFromNormalisedValue(index, (value - slider->minimum) / range);
  RequestEditorRedraw();
}

void ClapGui::Send(const ClapGuiLink::Edit& edit) {
  // In order behind anything still waiting.
  if (!waiting_.empty() || !link_.PushEdit(edit)) waiting_.push_back(edit);
  Flush();
}

void ClapGui::Flush() {
  std::size_t sent = 0;
  while (sent < waiting_.size() && link_.PushEdit(waiting_[sent])) ++sent;
  waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(sent));
  // The host calls process, or flush when it is not processing.
  if (hostParams_ != nullptr)
    hostParams_->request_flush(host_);
  else if (host_->request_process != nullptr)
    host_->request_process(host_);
}

void ClapGui::BeginEdit(std::int32_t index) {
  if (model_->SliderAt(index) == nullptr) return;
  auto& held = inGesture_[static_cast<std::size_t>(index)];
  if (held != 0) return;
  held = 1;
  Send({ClapGuiLink::Edit::kBegin, static_cast<clap_id>(index), 0});
}

void ClapGui::ParameterChanged(std::int32_t index, double) {
  const SliderInfo* slider = model_->SliderAt(index);
  if (slider == nullptr) return;
  // The value the editor set, in the parameter's units.
  const double slot =
      model_->sliderValues[static_cast<std::size_t>(slider->number) & (TMorvoxEffect::kSliderSlots - 1)];
  const double value = std::clamp(slot, slider->minimum, slider->maximum);
  Send({ClapGuiLink::Edit::kValue, static_cast<clap_id>(index), value});
}

void ClapGui::EndEdit(std::int32_t index) {
  if (model_->SliderAt(index) == nullptr) return;
  auto& held = inGesture_[static_cast<std::size_t>(index)];
  if (held == 0) return;
  held = 0;
  Send({ClapGuiLink::Edit::kEnd, static_cast<clap_id>(index), 0});
}

void ClapGui::RequestEditorRedraw() {
  if (editor_ != nullptr) editor_->RequestRedraw();
}

bool ClapGui::EditorSize(std::int32_t& width, std::int32_t& height) {
  width = editor_->width;
  height = editor_->height;
  return true;
}

int ClapGui::SetFont(const char* face, int size, int style) {
  return morvox::SelectCachedFont(fontCache_, drawContext_, face, size, style);
}

void ClapGui::ViewIdle() {
  model_->OnIdle();
}

void ClapGui::ViewPaint(VSTGUI::CDrawContext* context, double, double) {
  drawContext_ = context;
  model_->OnGraphics();
  drawContext_ = nullptr;
}

void ClapGui::ViewMouseDown(double x, double y, std::int32_t buttons) {
  morvox::EditorMouseDown(*model_, x, y, buttons);
}

void ClapGui::ViewMouseUp(double x, double y, std::int32_t buttons) {
  morvox::EditorMouseUp(*model_, x, y, buttons);
}

void ClapGui::ViewMouseMoved(double x, double y, std::int32_t buttons) {
  morvox::EditorMouseMove(*model_, x, y, buttons);
}

void ClapGui::ViewClosing() {
  for (std::size_t i = 0; i < inGesture_.size(); ++i) {
    if (inGesture_[i] != 0) EndEdit(static_cast<std::int32_t>(i));
  }
}
