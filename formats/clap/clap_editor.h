// ClapEditor: the editor of one CLAP instance. Like the LV2 UI it never
// touches what the sound uses: the editor draws and reads the mouse on a
// script object of its own (the model), kept up to date from the settings
// and the meter the plug-in publishes as the sound takes them. The user's
// edits go back only as ClapUiEdits (gesture begin, values, gesture end)
// through ClapPlugin::PushUiEdit, which asks the host for a flush; process
// or flush makes them the sound's and tells the host. [main thread] all of
// it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "editor/script_view_client.h"
#include "formats/clap/clap_ui_edits.h"
#include "gui/vstgui_editor_interface.h"
#include "runtime/morvox_host.h"

class ClapPlugin;
class ScriptEditor;
class TMorvoxEffect;
namespace VSTGUI {
class CFontDesc;
}  // namespace VSTGUI

class ClapEditor final : public MorvoxHost, public ScriptViewClient {
 public:
  // The editor's size in pixels at a scale of 1.
  static constexpr int kEditorWidth = 500;
  static constexpr int kEditorHeight = 480;

  // plugin: the instance the editor shows; it outlives the editor.
  explicit ClapEditor(ClapPlugin& plugin);
  ~ClapEditor() override;  // ends the user's open gestures
  ClapEditor(const ClapEditor&) = delete;
  ClapEditor& operator=(const ClapEditor&) = delete;

  // Device pixels per unit: the host's (> 0), else the environment's or the
  // desktop's. An open window is made again at the new size; false when
  // the scale is not a positive number. Once the host set one, the window
  // no longer follows the desktop's.
  bool SetScale(double hostScale);
  // Called when the window took a scale of its own (the desktop's, read on
  // the window's connection, or a DPI change): DeviceWidth and
  // DeviceHeight answer the new size by then.
  void OnOwnResize(std::function<void()> resized) { resized_ = std::move(resized); }
  std::uint32_t DeviceWidth() const;
  std::uint32_t DeviceHeight() const;

  // Opens the editor's window inside parent (an X11 window id or an HWND),
  // closing one already open; false when it cannot be made (no display,
  // no such window).
  bool Open(void* parent);
  // The open window, or null (never opened, or the host destroyed it).
  void* Window() const;
  bool WasOpened() const { return parent_ != nullptr; }

  // The settings the sound took since the last look reach the model.
  void TakePublished();
  // The host's idle: TakePublished, edits the plug-in could not take yet
  // are handed over again, the window's events and paints are handled.
  void Idle();

  // MorvoxHost: the model's services. It makes no sound, so it has no
  // stream and no transport; its edit notices are the user's edits.
  double SampleRate() override { return 0; }
  std::int32_t BlockSize() override { return 0; }
  std::int32_t NumInputs() override { return 2; }
  double Tempo() override { return 0; }
  bool TempoAndSignature(double&, double&, double&) override { return false; }
  bool IsPlaying() override { return false; }
  bool IsRecording() override { return false; }
  double PlayPosition() override { return 0; }
  double BarStart() override { return 0; }
  void BeginEdit(std::int32_t index) override;
  void ParameterChanged(std::int32_t index, double normalised) override;
  void EndEdit(std::int32_t index) override;
  void RequestEditorRedraw() override;
  VSTGUI::CDrawContext* DrawContext() override { return drawContext_; }
  bool EditorSize(std::int32_t& width, std::int32_t& height) override;
  int SetFont(const char* face, int size, int style) override;

  // ScriptViewClient
  void ViewIdle() override;
  void ViewPaint(VSTGUI::CDrawContext* context, double width, double height) override;
  void ViewMouseDown(double x, double y, std::int32_t buttons) override;
  void ViewMouseUp(double x, double y, std::int32_t buttons) override;
  void ViewMouseMoved(double x, double y, std::int32_t buttons) override;
  void ViewClosing() override;

 private:
  void Send(const ClapUiEdit& edit);
  void SendWaiting();
  void ShowValue(std::int32_t index, double value);

  // The frame's owner: hears of the scale the window took by itself.
  class FrameOwner final : public VSTGUI::VSTGUIEditorInterface {
   public:
    explicit FrameOwner(ClapEditor& editor) : editor_(editor) {}
    void frameScaleChanged(double scale, std::int32_t deviceWidth, std::int32_t deviceHeight) override;

   private:
    ClapEditor& editor_;
  };

  ClapPlugin& plugin_;
  std::unique_ptr<TMorvoxEffect> model_;
  std::unique_ptr<ScriptEditor> editor_;
  FrameOwner frameOwner_{*this};
  std::function<void()> resized_;
  double hostScale_ = 0;  // the host's set_scale, 0 until it gives one
  void* parent_ = nullptr;
  std::uint32_t seenCount_ = 1;                  // odd: nothing seen yet
  std::vector<double> shown_;                    // per slider: the last published value taken
  std::vector<std::uint8_t> inGesture_;          // per slider: the user's gesture is running
  std::vector<ClapUiEdit> waiting_;              // edits the full queue did not take yet
  std::vector<double> scratch_;                  // the values of one look
  VSTGUI::CDrawContext* drawContext_ = nullptr;  // set only while the editor paints
  std::vector<VSTGUI::CFontDesc*> fontCache_;
};
