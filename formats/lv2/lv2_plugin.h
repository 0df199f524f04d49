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
#include "formats/lv2/lv2_transport.h"
#include "runtime/morvox_host.h"

class TMorvoxEffect;

class Lv2Plugin final : public MorvoxHost {
 public:
  // Without urid:map (hosts that pass no features) the instance runs with
  // no transport and no state. Every page the delay lines can reach exists
  // from here on, so no call order makes run() allocate. [instantiation]
  static Lv2Plugin* Create(double sampleRate, const LV2_Feature* const* features);
  ~Lv2Plugin() override;
  Lv2Plugin(const Lv2Plugin&) = delete;
  Lv2Plugin& operator=(const Lv2Plugin&) = delete;

  void ConnectPort(std::uint32_t port, void* data);  // unknown ports are ignored
  void Activate();                                   // the script's resume
  void Deactivate();                                 // the script's suspend
  void Run(std::uint32_t frames);                    // [audio] no allocation, no lock

  // The state interface: the script's chunk as one property. Save reads the
  // settings run() last published and may run beside it; Restore answers
  // an error and changes nothing for a chunk that is not ours.
  LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);  // [instantiation]

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
  // Makes the settings a chunk restores the ones Save answers, before the
  // script takes it. [instantiation]
  void PublishChunk(const std::uint8_t* chunk);
  template <typename Value>
  void Publish(Value value);  // value(n): the float for slider slot n

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
  std::vector<const float*> controls_;  // one per slider
  std::vector<float> applied_;          // the control value last applied, per slider
  // After a state restore the next run takes a port as applied unless the
  // host moved it since the restore, so ports the host left alone do not
  // undo the restored settings.
  bool restored_ = false;
  std::vector<float> atRestore_;             // the port's value during the restore
  std::vector<std::uint8_t> seenAtRestore_;  // 1: the port was connected then
  // The bypass port and its fade; a state restored once audio has run is
  // applied by run() behind that fade, with the old echoes cleared.
  const float* enabled_ = nullptr;
  Lv2Bypass bypass_;
  std::atomic<bool> ran_{false};  // run() since activation; read by a restore
  std::array<std::uint8_t, kChunkFloats * 4> pendingChunk_{};
  std::atomic<bool> chunkPending_{false};
  void ApplyPendingChunk();  // [audio]

  // The settings as run() last left them, for Save on another thread: a
  // sequence count, odd while run() writes, around the 64 values.
  std::atomic<std::uint32_t> publishCount_{0};
  std::array<std::atomic<float>, kChunkFloats - 1> published_{};
};
