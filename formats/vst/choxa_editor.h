// CHoxaEditor: the 500 × 480 editor a VST host opens through the editor
// opcodes. It is the AEffGUIEditor the host sees and hosts the
// format-neutral ScriptEditor, which owns the frame window while open and
// paces redraws through its client's idle step. Its rectangle is the
// editor's size in device pixels: 500 × 480 at scale 1, scaled at others
// (the scale as VSTGUI::EditorScale finds it, looked up when the host first
// asks for the rectangle and again at each open, without any connection to
// the window system; once open, the window's own report of the desktop's
// scale may change it, and the host is asked to resize).
#pragma once

#include "editor/script_editor.h"
#include "vst/aeff_gui_editor.h"

class CHoxa;
class CHoxaView;
class ScriptViewClient;

class CHoxaEditor : public AEffGUIEditor {
 public:
  // owner: the VST effect the editor attaches to, or null; client: the
  // plug-in the view shows (not owned, outlives the editor).
  CHoxaEditor(AudioEffect* owner, ScriptViewClient* client, int width, int height);
  ~CHoxaEditor() override;

  bool getRect(ERect** out) override;  // [gui]
  // The frame's new scale after a DPI change: the new size goes to the host.
  void frameScaleChanged(double scale, int32_t deviceWidth, int32_t deviceHeight) override;
  bool open(void* parentWindow) override;  // [gui] always true; closes an open frame first
  void close() override;                   // [gui]
  void idle() override;                    // [gui]

  // Invalidates the whole view; false without an open frame or a view.
  bool RequestRedraw();
  // The scale the editor opens at (looked up on first use).
  double Scale();

  ScriptViewClient* plugin;   // not owned
  CHoxaView* view = nullptr;  // of the last open; meaningful only while frame is set
  int width;
  int height;

 private:
  // The rectangle the host reads: the editor's size at the scale.
  void UpdateRect();

  ScriptEditor script_;
  bool scaleKnown_ = false;
};

// Creates the editor for the adapter unless it has one; false when not made.
bool CreateEditor(CHoxa* plugin, int width, int height);
