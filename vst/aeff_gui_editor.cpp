#include "vst/aeff_gui_editor.h"

#include <chrono>
#include <thread>

#include "gui/cframe.h"
#include "gui/cmouse.h"
#include "vst/audio_effect_x.h"

namespace {

// One knob mode for the whole process; no control of this editor reads it.
int32_t knobMode = 0;

std::uint32_t TickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner) : AEffEditor(owner) {
  if (owner != nullptr) owner->setEditor(this);
  lastTicks = TickCount();
}

AEffGUIEditor::~AEffGUIEditor() = default;

bool AEffGUIEditor::getRect(ERect** out) {
  if (out == nullptr) return false;
  *out = &rect;
  return true;
}

void AEffGUIEditor::idle() {
  if (!inIdleStuff && frame != nullptr) frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& key) {
  if (frame == nullptr) return false;
  VSTGUI::CKeyCode code{key.character, key.virt, key.modifier};
  return frame->onKeyDown(code) > 0;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& key) {
  if (frame == nullptr) return false;
  VSTGUI::CKeyCode code{key.character, key.virt, key.modifier};
  return frame->onKeyUp(code) > 0;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
  knobMode = mode;
  return true;
}

int32_t AEffGUIEditor::getKnobMode() const {
  return knobMode;
}

void AEffGUIEditor::doIdleStuff() {
  std::uint32_t now = TickCount();
  if (now < lastTicks) {
    std::this_thread::sleep_for(std::chrono::milliseconds(4));
    now += 4;
    if (now < lastTicks - 50) return;
  }
  idle();
  inIdleStuff = true;
  lastTicks = now + 100;
  if (effect != nullptr) static_cast<AudioEffectX*>(effect)->masterIdle();
  inIdleStuff = false;
}

void AEffGUIEditor::beginEdit(int32_t index) {
  if (effect != nullptr) static_cast<AudioEffectX*>(effect)->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index) {
  if (effect != nullptr) static_cast<AudioEffectX*>(effect)->endEdit(index);
}
