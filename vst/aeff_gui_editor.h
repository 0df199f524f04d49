// AEffGUIEditor: the VST editor base joined with the GUI side, owning the
// frame window while the editor is open.
#pragma once

#include <cstdint>

#include "gui/vstgui_editor_interface.h"
#include "vst/aeff_editor.h"

class AEffGUIEditor : public AEffEditor, public VSTGUI::VSTGUIEditorInterface {
 public:
  explicit AEffGUIEditor(AudioEffect* effect);
  ~AEffGUIEditor() override;

  bool getRect(ERect** rect) override;  // [gui]
  void idle() override;                 // [gui] the frame's idle unless inside doIdleStuff
  bool onKeyDown(VstKeyCode& key) override;
  bool onKeyUp(VstKeyCode& key) override;
  bool setKnobMode(VstInt32 mode) override;

  virtual void setParameter(VstInt32, float) {}
  void doIdleStuff() override;
  int32_t getKnobMode() const override;
  void beginEdit(int32_t index) override;
  void endEdit(int32_t index) override;

 protected:
  ERect rect{};
  std::uint32_t lastTicks = 0;
  bool inIdleStuff = false;
};
