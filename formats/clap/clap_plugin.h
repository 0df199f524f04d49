// ClapPlugin: one CLAP instance of the delay. It owns the script object that
// makes the sound and is the script's MorvoxHost. Only Process (and Flush on
// the audio thread, or while inactive) changes what the sound uses: the
// main thread's state loads, preset loads and the GUI's edits reach it
// through lock-free hand-offs (ClapChunkMailbox, ClapUiEditQueue) that
// Process drains. The GUI side (formats/clap/clap_gui_seam.h) sees the
// settings through the published values and speaks only through
// PushUiEdit, which Process and Flush turn into parameter events to the
// host.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "effect/bypass_fade.h"
#include "formats/clap/abi/core.h"
#include "formats/clap/clap_chunk_mailbox.h"
#include "formats/clap/clap_host_access.h"
#include "formats/clap/clap_transport.h"
#include "formats/clap/clap_ui_edits.h"
#include "runtime/morvox_host.h"

static_assert(std::atomic<double>::is_always_lock_free, "published settings are read without a lock");

class TMorvoxEffect;
class ClapGui;

class ClapPlugin final : public MorvoxHost {
 public:
  // The settings: parameter ids 0 … 9 are the sliders in declaration order
  // (the VST parameter indices), 10 the bypass.
  static constexpr std::uint32_t kSliderParams = 10;
  static constexpr clap_id kBypassParam = 10;
  static constexpr std::uint32_t kParamCount = 11;
  // The state: the marker and the 64 slider values, 4 bytes each.
  static constexpr std::size_t kChunkBytes = ClapChunkMailbox::kChunkBytes;

  explicit ClapPlugin(const clap_host_t* host);
  ~ClapPlugin() override;
  ClapPlugin(const ClapPlugin&) = delete;
  ClapPlugin& operator=(const ClapPlugin&) = delete;

  // The record the host holds; its plugin_data is this object.
  const clap_plugin_t* Record() const { return &record_; }
  static ClapPlugin* Of(const clap_plugin_t* plugin);
  const clap_host_t* Host() const { return host_; }
  const ClapHostAccess& HostAccess() const { return hostAccess_; }

  // [main] The lifecycle.
  bool Init();
  bool Activate(double sampleRate, std::uint32_t minFrames, std::uint32_t maxFrames);
  void Deactivate();
  bool Active() const { return active_.load(std::memory_order_acquire); }
  // [audio]
  bool StartProcessing();
  void StopProcessing();
  void Reset();  // [audio, or main while inactive] the echoes silenced
  clap_process_status Process(const clap_process_t* process);  // no allocation, no lock
  // [audio while active, main while inactive] Parameter events outside a
  // process call, and the GUI's edits waiting for the sound.
  void Flush(const clap_input_events_t* in, const clap_output_events_t* out);
  void OnMainThread();

  // [main] State: the 260-byte chunk of the VST and LV2 builds. Save answers
  // the settings as the sound last took them (or as a load waiting for the
  // sound will make them); Load refuses anything that is not a chunk of
  // ours and then changes nothing.
  bool SaveState(const clap_ostream_t* stream);
  bool LoadState(const clap_istream_t* stream);
  // [main] A chunk (of exactly kChunkBytes, already checked) for the sound:
  // applied at once while inactive, else handed to Process, which fades to
  // the dry input, takes it and fades back.
  void LoadChunk(const std::uint8_t* chunk);
  static bool IsOurChunk(const std::uint8_t* data, std::size_t size);

  // [any] The settings as the sound last took them (plain values, by
  // parameter id) and a count that moves whenever they change.
  double PublishedValue(clap_id id) const;
  std::uint32_t PublishedCount() const { return publishCount_.load(std::memory_order_acquire); }
  // [any] The wet output's peak of the last process call (the editor's meter).
  float MeterLevel() const { return meter_.load(std::memory_order_relaxed); }
  // [main] The GUI's edit of a parameter: false when the queue is full or
  // the id is unknown. Asks the host for a flush; Process or Flush applies
  // it and tells the host.
  bool PushUiEdit(const ClapUiEdit& edit);

  // [main] The ring-out in frames for the current settings; UINT32_MAX
  // for a sound that sustains itself (clap_tail.cpp).
  std::uint32_t TailFrames() const;
  static constexpr double kTailLift = 0.453;       // the level control's lift: 1.28 times at 78 %
  static constexpr double kTailEndless = 0.99;     // a pass that gives back this much never ends
  static constexpr double kTailLevelGain = 1.782;  // 0.891 / 0.5, the level control's largest
  static constexpr double kTailFloor = 1.0e-5;     // -100 dB: below any 16-bit or 24-bit dither
  static constexpr double kTailRingSeconds = 0.5;  // the filters and the level control settling
  void SetOffline(bool offline) { offline_ = offline; }
  bool Offline() const { return offline_; }

  // [main] The script, for the parameter texts (it never changes the sound
  // through this).
  const TMorvoxEffect& Script() const { return *script_; }

  // The GUI side's state for this instance (formats/clap/clap_gui_seam.h).
  ClapGui* gui = nullptr;

  // MorvoxHost
  double SampleRate() override { return sampleRate_; }
  std::int32_t BlockSize() override { return blockSize_; }
  std::int32_t NumInputs() override { return 2; }
  double Tempo() override;
  bool TempoAndSignature(double& tempo, double& numerator, double& denominator) override;
  bool IsPlaying() override;
  bool IsRecording() override;
  double PlayPosition() override;
  double BarStart() override;

 private:
  // [audio] One parameter event, applied to the sound; false for events
  // that are not parameter values of ours.
  bool ApplyEvent(const clap_event_header_t* header);
  void ApplyValue(clap_id id, double value);
  // [audio] The GUI's edits: applied, and told to the host through `out`.
  void DrainUiEdits(const clap_output_events_t* out);
  // [audio] Runs `frames` from `offset` through the bypass fade and the effect.
  void RunSegment(float* const in[2], float* const out[2], std::uint32_t frames);
  void ApplyPendingValues();             // [the sound's thread] values held back while a chunk waited
  void TakePendingChunk();               // [audio] once the fade reached the dry input
  void ApplyChunk();                     // [the sound's thread] the waiting chunk into the script
  void StepClear(std::uint32_t frames);  // [audio] a share of the clear, by the call's length
  void FinishClear();                    // [audio] the lines silent: the input fades in
  void PublishSettings();                // [the sound's thread]
  // [main] The chunk a save answers: the posted one while the sound has
  // not taken it, else the published settings.
  void CurrentChunk(std::uint8_t* chunk) const;

  clap_plugin_t record_;
  const clap_host_t* host_;
  ClapHostAccess hostAccess_;
  std::unique_ptr<TMorvoxEffect> script_;
  double sampleRate_ = 44100.0;
  std::int32_t blockSize_ = 0;
  std::atomic<bool> active_{false};
  bool processing_ = false;
  bool offline_ = false;
  bool bypassed_ = false;  // [audio] the bypass parameter as last set
  BypassFade fade_;
  ClapTransport transport_;
  ClapChunkMailbox mailbox_;
  // [audio] A chunk taken from the mailbox, applied once the fade reaches
  // the dry input; parameter values that come meanwhile wait for it.
  bool chunkWaiting_ = false;
  std::array<std::uint8_t, kChunkBytes> waitingChunk_{};
  std::uint32_t waitingSequence_ = 0;
  // [audio] After a taken chunk the lines are cleared in slices while the
  // output is dry. sounded_: the effect has run since the lines were last
  // silent (activation or a clear).
  enum class Change { kNone, kClearing };
  Change change_ = Change::kNone;
  bool sounded_ = false;
  std::array<double, kSliderParams> pendingValues_{};  // NaN: none
  bool settingsChanged_ = false;                       // [the sound's thread] not yet published
  // Loads are numbered: the main thread's last posted one and the one the
  // sound last took. While they differ, the posted chunk is the state.
  std::uint32_t postedSequence_ = 0;                     // [main]
  std::array<std::uint8_t, kChunkBytes> postedChunk_{};  // [main]
  std::atomic<std::uint32_t> appliedSequence_{0};
  ClapUiEditQueue uiEdits_;
  std::array<float, 1024> silence_{};  // the input of a host that gives none

  // The settings for other threads: a sequence count, odd while written,
  // around the slider slots and the bypass.
  std::atomic<std::uint32_t> publishCount_{0};
  std::array<std::atomic<double>, 64> published_{};  // slots 1 … 64
  std::atomic<bool> publishedBypass_{false};
  std::atomic<float> meter_{0.0f};
  std::atomic<double> publishedTempo_{0.0};  // [audio → main] for the tail
  std::atomic<bool> tailChanged_{false};     // [audio → main] tell the host in on_main_thread
};
