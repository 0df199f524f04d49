// ScriptEditor: the script's editor as any plug-in format hosts it. It owns
// the frame window and its one CHoxaView while open and runs the client's
// idle step; it knows its plug-in only as a ScriptViewClient. [gui] All of
// it runs on the thread that opened it.
#pragma once

namespace VSTGUI {
class CFrame;
class VSTGUIEditorInterface;
}  // namespace VSTGUI

class CHoxaView;
class ScriptViewClient;

class ScriptEditor {
 public:
  // client: the plug-in the view shows (not owned, outlives the editor).
  ScriptEditor(ScriptViewClient* client, int width, int height);
  ~ScriptEditor();  // closes an open frame
  ScriptEditor(const ScriptEditor&) = delete;
  ScriptEditor& operator=(const ScriptEditor&) = delete;

  // Device pixels per unit for the next Open (clamped to 1 … 3); the
  // layout stays width × height units at every scale.
  void SetScale(double scale);
  double Scale() const { return scale_; }
  // Whether the next Open follows the scale the window system asks of the
  // new window (read on the window's own connection): when it differs from
  // Scale(), the window is made again at that scale and frameOwner hears of
  // the new size through frameScaleChanged. Off when the host or
  // VORN_UI_SCALE set the scale.
  void FollowWindowScale(bool follow) { followWindowScale_ = follow; }
  // The window's size in device pixels at the scale.
  int DeviceWidth() const;
  int DeviceHeight() const;

  // Opens the frame as a child of parentWindow, closing an open one first.
  // frameOwner answers the frame's questions to its editor (idle pacing,
  // knob mode, edits); null answers them neutrally. Returns the new frame,
  // owned by this editor.
  VSTGUI::CFrame* Open(void* parentWindow, VSTGUI::VSTGUIEditorInterface* frameOwner);
  void Close();  // tells the client first, then releases the frame
  // The client's idle step, while a frame is open.
  void ClientIdle();
  // The client's idle step, then the frame's own idle.
  void Idle();
  // Invalidates the whole view; false without an open frame or a view.
  bool RequestRedraw();

  VSTGUI::CFrame* Frame() const { return frame_; }
  bool IsOpen() const { return frame_ != nullptr; }

  ScriptViewClient* client;   // not owned
  CHoxaView* view = nullptr;  // of the last open; meaningful only while open
  int width;
  int height;

 private:
  VSTGUI::CFrame* MakeFrame(void* parentWindow, VSTGUI::VSTGUIEditorInterface* frameOwner);

  VSTGUI::CFrame* frame_ = nullptr;
  double scale_ = 1;
  bool followWindowScale_ = false;
};
