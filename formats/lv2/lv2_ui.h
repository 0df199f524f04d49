// Lv2Ui: the LV2 X11 UI. It embeds the plug-in's editor in the host's
// parent window, runs it from the host's idle calls, and writes the
// editor's edits to the control ports through the host's write function.
// It reaches the plug-in instance through instance-access. [gui]
#pragma once

#include <cstdint>
#include <vector>

#include <lv2/ui/ui.h>

#include "formats/lv2/lv2_plugin.h"

class ScriptEditor;

class Lv2Ui final : public Lv2EditSink {
 public:
  // Null without a parent window, the instance or a write function.
  static Lv2Ui* Create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                       const LV2_Feature* const* features);
  ~Lv2Ui() override;
  Lv2Ui(const Lv2Ui&) = delete;
  Lv2Ui& operator=(const Lv2Ui&) = delete;

  void PortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);
  int Idle();  // 0 while the editor stays open

  // Lv2EditSink
  void GestureBegin(std::uint32_t port) override;
  void ValueEdited(std::uint32_t port, float value) override;
  void GestureEnd(std::uint32_t port) override;
  void EndAllGestures() override;

 private:
  Lv2Ui(Lv2Plugin* plugin, LV2UI_Write_Function write, LV2UI_Controller controller);
  // Writes every slider the editor changed since the host last heard of it.
  void SendChangedSliders();

  Lv2Plugin* plugin_;
  LV2UI_Write_Function write_;
  LV2UI_Controller controller_;
  const LV2UI_Touch* touch_ = nullptr;
  ScriptEditor* editor_ = nullptr;
  std::vector<float> hostValues_;  // per slider: the value the host knows
  std::vector<bool> inGesture_;    // per slider: an edit gesture is running
};
