// Lv2Ui: the LV2 X11 UI. It embeds the delay's editor in the host's parent
// window and runs it from the host's idle calls. It never touches the
// plug-in instance: the editor draws and reads the mouse on a script object
// of its own (the model), which the host's port events keep up to date
// (the control inputs and the meter output). Only the user's edits go back,
// through the host's write function, inside ui:touch gestures where the
// host offers them. Each UI of an instance is a world of its own, so any
// number of them may be open. [gui]
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <lv2/ui/ui.h>

#include "editor/script_view_client.h"
#include "runtime/morvox_host.h"

class ScriptEditor;
class TMorvoxEffect;
namespace VSTGUI {
class CFontDesc;
}  // namespace VSTGUI

class Lv2Ui final : public MorvoxHost, public ScriptViewClient {
 public:
  // The editor's size in pixels at a scale of 1.
  static constexpr int kEditorWidth = 500;
  static constexpr int kEditorHeight = 480;

  // Null without a parent window or a write function, or when the editor's
  // window cannot be made (no display, a parent that is not a window).
  static Lv2Ui* Create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                       const LV2_Feature* const* features);
  ~Lv2Ui() override;
  Lv2Ui(const Lv2Ui&) = delete;
  Lv2Ui& operator=(const Lv2Ui&) = delete;

  void PortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);
  // 0 while the editor's window is there, 1 once it is gone (the host
  // destroyed the parent): the host may then close the UI.
  int Idle();

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
  Lv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller);
  // The open window of the editor, or null.
  void* Window() const;
  void Touch(std::size_t slider, bool grabbed);

  LV2UI_Write_Function write_;
  LV2UI_Controller controller_;
  const LV2UI_Touch* touch_ = nullptr;
  std::unique_ptr<TMorvoxEffect> model_;
  std::unique_ptr<ScriptEditor> editor_;
  std::vector<std::uint8_t> inGesture_;          // per slider: the user's gesture is running
  VSTGUI::CDrawContext* drawContext_ = nullptr;  // set only while the editor paints
  std::vector<VSTGUI::CFontDesc*> fontCache_;
};
