#include "formats/lv2/lv2_ui.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "editor/font_cache.h"
#include "editor/script_editor.h"
#include "effect/morvox_effect.h"
#include "formats/lv2/lv2_features.h"
#include "formats/lv2/lv2_ports.h"
#include "formats/lv2/lv2_ui_scale.h"
#include "gui/cframe.h"
#include "gui/platform/backend.h"
#include "gui/ui_scale.h"
#include "runtime/editor_input.h"

Lv2Ui* Lv2Ui::Create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                     const LV2_Feature* const* features) {
  void* parent = const_cast<void*>(lv2feature::Find(features, LV2_UI__parent));
  if (parent == nullptr || write == nullptr) return nullptr;

  std::unique_ptr<Lv2Ui> ui(new Lv2Ui(write, controller));
  ui->touch_ = static_cast<const LV2UI_Touch*>(lv2feature::Find(features, LV2_UI__touch));
  ui->editor_ = std::make_unique<ScriptEditor>(ui.get(), kEditorWidth, kEditorHeight);
  // The host's ui:scaleFactor, else VORN_UI_SCALE, else the desktop's as
  // the new window reads it on its own connection (the size told through
  // ui:resize below is the one the window took).
  const double hostScale = Lv2HostScale(features);
  ui->editor_->SetScale(VSTGUI::EditorScale(parent, hostScale));
  ui->editor_->FollowWindowScale(!VSTGUI::ScaleIsGiven(hostScale));
  ui->editor_->Open(parent, nullptr);
  void* window = ui->Window();
  if (window == nullptr) return nullptr;  // no display, or the parent is no window
  if (const auto* resize = static_cast<const LV2UI_Resize*>(lv2feature::Find(features, LV2_UI__resize))) {
    if (resize->ui_resize != nullptr)
      resize->ui_resize(resize->handle, ui->editor_->DeviceWidth(), ui->editor_->DeviceHeight());
  }
  if (widget != nullptr) *widget = window;
  return ui.release();
}

Lv2Ui::Lv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller)
    : write_(write), controller_(controller), model_(std::make_unique<TMorvoxEffect>()) {
  model_->plugin = this;
  model_->OnReset();
  // The interface's own start (its redraw rate); at no sample rate the
  // model keeps no delay lines.
  model_->InitOnce();
  model_->OnSlider();
  inGesture_.assign(static_cast<std::size_t>(model_->SliderCount()), 0);
}

Lv2Ui::~Lv2Ui() {
  if (editor_ != nullptr) editor_->Close();  // ends the user's open gestures
  editor_.reset();
  model_->OnClose();
  morvox::ReleaseCachedFonts(fontCache_);
}

void* Lv2Ui::Window() const {
  VSTGUI::CFrame* frame = editor_ != nullptr ? editor_->Frame() : nullptr;
  if (frame == nullptr || !frame->isOpen() || frame->getPlatformWindow() == nullptr) return nullptr;
  return frame->getPlatformWindow()->nativeHandle();
}

void Lv2Ui::PortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
  // Control ports only: plain floats.
  if (format != 0 || size != sizeof(float) || buffer == nullptr) return;
  float value;
  std::memcpy(&value, buffer, sizeof value);
  if (port == lv2port::kFirstMeter) {
    // The level of the last block: the meter rises to it and falls by itself.
    if (std::isfinite(value)) model_->v.meterPeak = std::max(model_->v.meterPeak, static_cast<double>(value));
    return;
  }
  if (port < lv2port::kFirstControl) return;
  const std::size_t index = port - lv2port::kFirstControl;
  if (index >= inGesture_.size()) return;
  // The user's own drag wins over echoes of its earlier values.
  if (inGesture_[index] != 0) return;
  const SliderInfo* slider = model_->SliderAt(static_cast<std::int32_t>(index));
  const double range = slider->maximum - slider->minimum;
  if (!(range > 0.0)) return;
  // The path run() takes for the same value, so the editor shows what sounds.
  model_->SetFromNormalisedValue(static_cast<std::int32_t>(index),
                                 (static_cast<double>(value) - slider->minimum) / range);
  RequestEditorRedraw();
}

int Lv2Ui::Idle() {
  if (Window() == nullptr) return 1;
  editor_->Idle();
  return Window() != nullptr ? 0 : 1;
}

void Lv2Ui::Touch(std::size_t slider, bool grabbed) {
  inGesture_[slider] = grabbed ? 1 : 0;
  const std::uint32_t port = lv2port::ControlPort(static_cast<std::int32_t>(slider));
  if (touch_ != nullptr && touch_->touch != nullptr) touch_->touch(touch_->handle, port, grabbed);
}

void Lv2Ui::BeginEdit(std::int32_t index) {
  if (model_->SliderAt(index) == nullptr) return;
  if (inGesture_[static_cast<std::size_t>(index)] == 0) Touch(static_cast<std::size_t>(index), true);
}

void Lv2Ui::ParameterChanged(std::int32_t index, double) {
  const SliderInfo* slider = model_->SliderAt(index);
  if (slider == nullptr) return;
  // The value the editor set, in the port's units.
  const double slot =
      model_->sliderValues[static_cast<std::size_t>(slider->number) & (TMorvoxEffect::kSliderSlots - 1)];
  const auto value = static_cast<float>(std::clamp(slot, slider->minimum, slider->maximum));
  write_(controller_, lv2port::ControlPort(index), sizeof value, 0, &value);
}

void Lv2Ui::EndEdit(std::int32_t index) {
  if (model_->SliderAt(index) == nullptr) return;
  if (inGesture_[static_cast<std::size_t>(index)] != 0) Touch(static_cast<std::size_t>(index), false);
}

void Lv2Ui::RequestEditorRedraw() {
  if (editor_ != nullptr) editor_->RequestRedraw();
}

bool Lv2Ui::EditorSize(std::int32_t& width, std::int32_t& height) {
  if (editor_ == nullptr) return false;
  width = editor_->width;
  height = editor_->height;
  return true;
}

int Lv2Ui::SetFont(const char* face, int size, int style) {
  return morvox::SelectCachedFont(fontCache_, drawContext_, face, size, style);
}

void Lv2Ui::ViewIdle() {
  model_->OnIdle();
}

void Lv2Ui::ViewPaint(VSTGUI::CDrawContext* context, double, double) {
  drawContext_ = context;
  model_->OnGraphics();
  drawContext_ = nullptr;
}

void Lv2Ui::ViewMouseDown(double x, double y, std::int32_t buttons) {
  morvox::EditorMouseDown(*model_, x, y, buttons);
}

void Lv2Ui::ViewMouseUp(double x, double y, std::int32_t buttons) {
  morvox::EditorMouseUp(*model_, x, y, buttons);
}

void Lv2Ui::ViewMouseMoved(double x, double y, std::int32_t buttons) {
  morvox::EditorMouseMove(*model_, x, y, buttons);
}

void Lv2Ui::ViewClosing() {
  for (std::size_t i = 0; i < inGesture_.size(); ++i) {
    if (inGesture_[i] != 0) Touch(i, false);
  }
}
