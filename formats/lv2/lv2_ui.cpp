#include "formats/lv2/lv2_ui.h"

#include <cstring>

#include <lv2/instance-access/instance-access.h>

#include "editor/script_editor.h"
#include "effect/morvox_effect.h"
#include "formats/lv2/lv2_ports.h"
#include "formats/lv2/lv2_ui_scale.h"
#include "gui/cframe.h"
#include "gui/platform/backend.h"
#include "gui/ui_scale.h"

namespace {

constexpr int kEditorWidth = 500;
constexpr int kEditorHeight = 480;

const void* FindFeature(const LV2_Feature* const* features, const char* uri) {
  if (features == nullptr) return nullptr;
  for (const LV2_Feature* const* f = features; *f != nullptr; ++f) {
    if ((*f)->URI != nullptr && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
  }
  return nullptr;
}

}  // namespace

Lv2Ui* Lv2Ui::Create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                     const LV2_Feature* const* features) {
  void* parent = const_cast<void*>(FindFeature(features, LV2_UI__parent));
  auto* plugin = static_cast<Lv2Plugin*>(const_cast<void*>(FindFeature(features, LV2_INSTANCE_ACCESS_URI)));
  if (parent == nullptr || plugin == nullptr || write == nullptr) return nullptr;

  auto* ui = new Lv2Ui(plugin, write, controller);
  ui->touch_ = static_cast<const LV2UI_Touch*>(FindFeature(features, LV2_UI__touch));
  ui->editor_ = new ScriptEditor(plugin, kEditorWidth, kEditorHeight);
  // The host's ui:scaleFactor, else VORN_UI_SCALE, else the desktop's.
  ui->editor_->SetScale(VSTGUI::EditorScale(parent, Lv2HostScale(features)));
  if (const auto* resize = static_cast<const LV2UI_Resize*>(FindFeature(features, LV2_UI__resize))) {
    if (resize->ui_resize != nullptr)
      resize->ui_resize(resize->handle, ui->editor_->DeviceWidth(), ui->editor_->DeviceHeight());
  }
  ui->editor_->Open(parent, nullptr);
  plugin->AttachEditor(ui->editor_, ui);
  if (widget != nullptr) {
    VSTGUI::CFrame* frame = ui->editor_->Frame();
    *widget = frame != nullptr && frame->getPlatformWindow() != nullptr
                  ? frame->getPlatformWindow()->nativeHandle()
                  : nullptr;
  }
  return ui;
}

Lv2Ui::Lv2Ui(Lv2Plugin* plugin, LV2UI_Write_Function write, LV2UI_Controller controller)
    : plugin_(plugin), write_(write), controller_(controller) {
  const auto count = static_cast<std::size_t>(plugin->ParameterCount());
  hostValues_.resize(count);
  inGesture_.assign(count, false);
  for (std::size_t i = 0; i < count; ++i) {
    const SliderInfo& slider = plugin->Script().sliders[i];
    hostValues_[i] =
        static_cast<float>(plugin->Script().sliderValues[static_cast<std::size_t>(slider.number)]);
  }
}

Lv2Ui::~Lv2Ui() {
  editor_->Close();  // ends open gestures while the sink is still attached
  plugin_->DetachEditor(editor_);
  delete editor_;
}

void Lv2Ui::PortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
  // Control ports only: plain floats.
  if (format != 0 || size != sizeof(float) || buffer == nullptr || port < lv2port::kFirstControl) return;
  const std::size_t index = port - lv2port::kFirstControl;
  if (index >= hostValues_.size()) return;
  float value;
  std::memcpy(&value, buffer, sizeof value);
  hostValues_[index] = value;
  // The user's own drag wins over echoes of its earlier values.
  if (!inGesture_[index]) plugin_->ShowPortValue(port, value);
}

int Lv2Ui::Idle() {
  editor_->Idle();
  SendChangedSliders();
  return 0;
}

void Lv2Ui::SendChangedSliders() {
  TMorvoxEffect& script = plugin_->Script();
  for (std::size_t i = 0; i < hostValues_.size(); ++i) {
    const auto number = static_cast<std::size_t>(script.sliders[i].number);
    const auto value = static_cast<float>(script.sliderValues[number]);
    if (value == hostValues_[i]) continue;
    ValueEdited(lv2port::ControlPort(static_cast<std::int32_t>(i)), value);
  }
}

void Lv2Ui::GestureBegin(std::uint32_t port) {
  const std::size_t index = port - lv2port::kFirstControl;
  if (index < inGesture_.size()) inGesture_[index] = true;
  if (touch_ != nullptr && touch_->touch != nullptr) touch_->touch(touch_->handle, port, true);
}

void Lv2Ui::ValueEdited(std::uint32_t port, float value) {
  const std::size_t index = port - lv2port::kFirstControl;
  if (index < hostValues_.size()) hostValues_[index] = value;
  write_(controller_, port, sizeof value, 0, &value);
}

void Lv2Ui::GestureEnd(std::uint32_t port) {
  const std::size_t index = port - lv2port::kFirstControl;
  if (index < inGesture_.size()) inGesture_[index] = false;
  if (touch_ != nullptr && touch_->touch != nullptr) touch_->touch(touch_->handle, port, false);
}

void Lv2Ui::EndAllGestures() {
  for (std::size_t i = 0; i < inGesture_.size(); ++i) {
    if (inGesture_[i]) GestureEnd(lv2port::ControlPort(static_cast<std::int32_t>(i)));
  }
}
