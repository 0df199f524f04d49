// Lv2Plugin: one LV2 instance of the delay. It owns the script object,
// applies the control ports to its sliders, feeds it the audio ports and
// the host's transport, and is the script's MorvoxHost and its editor's
// ScriptViewClient. Ports: formats/lv2/lv2_ports.h.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "editor/script_view_client.h"
#include "formats/lv2/lv2_bypass.h"
#include "formats/lv2/lv2_transport.h"
#include "runtime/morvox_host.h"

class TMorvoxEffect;
class ScriptEditor;
namespace VSTGUI {
class CFontDesc;
}  // namespace VSTGUI

// Where the editor's edits go: the open UI, which writes them to the host.
class Lv2EditSink {
 public:
  virtual ~Lv2EditSink() = default;
  virtual void GestureBegin(std::uint32_t port) = 0;
  virtual void ValueEdited(std::uint32_t port, float value) = 0;
  virtual void GestureEnd(std::uint32_t port) = 0;
  virtual void EndAllGestures() = 0;  // the editor closes mid-drag
};

class Lv2Plugin final : public MorvoxHost, public ScriptViewClient {
 public:
  // Without urid:map (hosts that pass no features) the instance runs with
  // no transport and no state. [instantiation]
  static Lv2Plugin* Create(double sampleRate, const LV2_Feature* const* features);
  ~Lv2Plugin() override;
  Lv2Plugin(const Lv2Plugin&) = delete;
  Lv2Plugin& operator=(const Lv2Plugin&) = delete;

  void ConnectPort(std::uint32_t port, void* data);  // unknown ports are ignored
  void Activate();                                   // the script's resume
  void Deactivate();                                 // the script's suspend
  void Run(std::uint32_t frames);                    // [audio] no allocation, no lock

  // The state interface: the script's chunk as one property. [instantiation]
  LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // The UI's hooks. [gui]
  void AttachEditor(ScriptEditor* editor, Lv2EditSink* sink);
  void DetachEditor(ScriptEditor* editor);
  // A control port value the host set, shown in the editor at once.
  void ShowPortValue(std::uint32_t port, float value);

  TMorvoxEffect& Script() { return *script_; }
  std::int32_t ParameterCount() const;

  // MorvoxHost
  double SampleRate() override { return sampleRate_; }
  std::int32_t BlockSize() override { return blockSize_; }
  std::int32_t NumInputs() override { return 2; }
  double Tempo() override;
  bool TempoAndSignature(double& tempo, double& numerator, double& denominator) override;
  bool IsPlaying() override;
  bool IsRecording() override { return false; }
  double PlayPosition() override;
  double BarStart() override;
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
  Lv2Plugin(double sampleRate, LV2_URID_Map* map);
  void ReadBlockLength(const LV2_Feature* const* features);
  void ApplyControl(std::int32_t index, float value);
  float PortValueOf(std::int32_t index, double normalised) const;

  std::unique_ptr<TMorvoxEffect> script_;
  double sampleRate_;
  std::int32_t blockSize_ = 0;
  LV2_URID_Map* map_;  // null when the host has none
  LV2_URID chunkKey_;
  LV2_URID chunkType_;
  Lv2Transport transport_;
  float* audio_[4] = {nullptr, nullptr, nullptr, nullptr};
  const LV2_Atom_Sequence* timeInput_ = nullptr;
  std::vector<const float*> controls_;  // one per slider
  std::vector<float> applied_;          // the control value last applied, per slider
  // After a state restore the next run takes the ports' values as applied,
  // so ports the host left alone do not undo the restored settings.
  bool adoptPorts_ = false;
  // The bypass port and its fade; a state restored once audio has run is
  // applied by run() behind that fade, with the old echoes cleared.
  const float* enabled_ = nullptr;
  Lv2Bypass bypass_;
  std::atomic<bool> ran_{false};  // run() since activation; read by a restore
  std::array<std::uint8_t, 65 * 4> pendingChunk_{};
  std::atomic<bool> chunkPending_{false};
  void ApplyPendingChunk();

  ScriptEditor* editor_ = nullptr;
  Lv2EditSink* editSink_ = nullptr;
  VSTGUI::CDrawContext* drawContext_ = nullptr;  // set only while the editor paints
  std::vector<VSTGUI::CFontDesc*> fontCache_;
};
