// Lv2Plugin: one LV2 instance of the delay. It owns the script object that
// makes the sound, applies the control ports to its sliders in run() and
// only there, feeds it the audio ports and the host's transport, writes the
// meter output for the UI, and is the script's MorvoxHost. It knows nothing
// of any UI: the UI (formats/lv2/lv2_ui.h) speaks to it only through the
// host's ports. Ports: formats/lv2/lv2_ports.h.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "formats/lv2/lv2_bypass.h"
#include "formats/lv2/lv2_restore_slot.h"
#include "formats/lv2/lv2_transport.h"
#include "runtime/morvox_host.h"

class TMorvoxEffect;

class Lv2Plugin final : public MorvoxHost {
 public:
  // Without urid:map (hosts that pass no features) the instance runs with
  // no transport and no state. Every page the delay lines can reach exists
  // from here on, so no call order makes run() allocate; activate() makes
  // them resident, so run() takes no page fault either. [instantiation]
  static Lv2Plugin* Create(double sampleRate, const LV2_Feature* const* features);
  ~Lv2Plugin() override;
  Lv2Plugin(const Lv2Plugin&) = delete;
  Lv2Plugin& operator=(const Lv2Plugin&) = delete;

  void ConnectPort(std::uint32_t port, void* data);  // unknown ports are ignored
  void Activate();                                   // the script's resume, from no history
  void Deactivate();                                 // the script's suspend
  void Run(std::uint32_t frames);                    // [audio] no allocation, no lock, bounded work

  // The state interface: the script's chunk as one property. Save answers
  // the last restored settings, or those run() last published, and may run
  // beside run(). Restore may too (state:threadSafeRestore): it only hands
  // the chunk to run(), which applies it, behind a fade when audio has run
  // since activation; the last restore wins. A chunk that is not ours is an
  // error and changes nothing.
  LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);  // [any thread]

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

  // The chunk: the marker and the 64 slider values, 4 bytes each.
  static constexpr std::size_t kChunkFloats = 65;

 private:
  Lv2Plugin(double sampleRate, LV2_URID_Map* map);
  void ReadBlockLength(const LV2_Feature* const* features);
  void ApplyControl(std::int32_t index, float value);
  // Makes the script's slider values the ones Save answers. [audio or instantiation]
  void PublishSettings();
  template <typename Value>
  void Publish(Value value);  // value(n): the float for slider slot n

  // The hand-off of restored chunks: run() (or activate()) takes the
  // slot's chunk when its count is new, and counts it as applied only once
  // it is in the script.
  bool TakeRestore();                     // [audio or instantiation] true when a new chunk was taken
  void ApplyTaken();                      // [audio or instantiation] the taken chunk into the script
  void FinishChange();                    // [audio] the lines are clear: the new settings fade in
  void StepClear(std::uint32_t frames);   // [audio] a share of the clear, by the block's length
  void WriteMeter(std::uint32_t frames);  // [audio]

  std::unique_ptr<TMorvoxEffect> script_;
  double sampleRate_;
  std::int32_t blockSize_ = 0;
  LV2_URID_Map* map_;  // null when the host has none
  LV2_URID chunkKey_;
  LV2_URID chunkType_;
  Lv2Transport transport_;
  float* audio_[4] = {nullptr, nullptr, nullptr, nullptr};
  const LV2_Atom_Sequence* timeInput_ = nullptr;
  float* meter_ = nullptr;
  double meterLevel_ = 0;               // the block peaks with their release
  std::vector<const float*> controls_;  // one per slider
  std::vector<float> applied_;          // the control value last applied (or seen), per slider
  // Once a chunk is applied, a port run() has never seen takes its value as
  // applied, so a host's untouched defaults do not undo a restore.
  bool holdUnseen_ = false;
  // The bypass port and its fade; a state restored once audio has run is
  // applied by run() behind that fade, with the old echoes cleared in
  // bounded steps while the output stays dry.
  const float* enabled_ = nullptr;
  Lv2Bypass bypass_;
  bool ran_ = false;  // run() since activation
  enum class Change { kNone, kFadingOut, kClearing };
  Change change_ = Change::kNone;
  Lv2RestoreSlot restores_;
  Lv2RestoreSlot::Chunk taken_{};
  std::uint32_t takenCount_ = 0;                // the restore run() holds
  std::uint32_t appliedCount_ = 0;              // the last restore in the script
  std::atomic<std::uint32_t> retiredCount_{0};  // appliedCount_ for Save, once published

  // The settings as run() last left them, for Save on another thread: a
  // sequence count, odd while run() writes, around the 64 values.
  std::atomic<std::uint32_t> publishCount_{0};
  std::array<std::atomic<float>, kChunkFloats - 1> published_{};
};
