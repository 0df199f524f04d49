#include "formats/lv2/lv2_plugin.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

#include "base/denormal_flush.h"
#include "effect/morvox_effect.h"
#include "formats/lv2/lv2_features.h"
#include "formats/lv2/lv2_ports.h"
#include "runtime/block_runner.h"

Lv2Plugin* Lv2Plugin::Create(double sampleRate, const LV2_Feature* const* features) {
  auto* map = static_cast<LV2_URID_Map*>(const_cast<void*>(lv2feature::Find(features, LV2_URID__map)));
  if (map != nullptr && map->map == nullptr) map = nullptr;
  auto* plugin = new Lv2Plugin(sampleRate, map);
  plugin->ReadBlockLength(features);
  // The lines' pages for this rate, before any run.
  plugin->script_->InitOnce();
  plugin->PublishSettings();
  return plugin;
}

Lv2Plugin::Lv2Plugin(double sampleRate, LV2_URID_Map* map)
    : script_(std::make_unique<TMorvoxEffect>()),
      sampleRate_(sampleRate),
      map_(map),
      chunkKey_(map != nullptr ? map->map(map->handle, lv2port::kStateChunkUri) : 0),
      chunkType_(map != nullptr ? map->map(map->handle, LV2_ATOM__Chunk) : 0) {
  // Without a URI map the plug-in still runs, with no transport and no state.
  if (map != nullptr) transport_.Map(map);
  const auto count = static_cast<std::size_t>(script_->SliderCount());
  controls_.assign(count, nullptr);
  // Not a number, so the first run takes every connected control.
  applied_.assign(count, std::numeric_limits<float>::quiet_NaN());
  script_->plugin = this;
  script_->OnReset();
  bypass_.SetSampleRate(sampleRate);
  // The chunk slot gets its room now, so a restore that run() applies
  // allocates nothing.
  void* room = nullptr;
  script_->GetChunk(&room, false);
}

Lv2Plugin::~Lv2Plugin() {
  script_->OnClose();
}

void Lv2Plugin::ReadBlockLength(const LV2_Feature* const* features) {
  const auto* options =
      static_cast<const LV2_Options_Option*>(lv2feature::Find(features, LV2_OPTIONS__options));
  if (options == nullptr || map_ == nullptr) return;
  const LV2_URID intType = map_->map(map_->handle, LV2_ATOM__Int);
  const LV2_URID nominal = map_->map(map_->handle, LV2_BUF_SIZE__nominalBlockLength);
  const LV2_URID maximum = map_->map(map_->handle, LV2_BUF_SIZE__maxBlockLength);
  for (const LV2_Options_Option* o = options; o->key != 0 || o->value != nullptr; ++o) {
    if (o->type != intType || o->size != sizeof(std::int32_t) || o->value == nullptr) continue;
    const std::int32_t length = *static_cast<const std::int32_t*>(o->value);
    // The nominal length wins over the maximum; either only when positive.
    if (length > 0 && (o->key == nominal || (o->key == maximum && blockSize_ == 0))) blockSize_ = length;
  }
}

std::int32_t Lv2Plugin::ParameterCount() const {
  return script_->SliderCount();
}

void Lv2Plugin::ConnectPort(std::uint32_t port, void* data) {
  if (port < lv2port::kTimeInput) {
    audio_[port] = static_cast<float*>(data);
  } else if (port == lv2port::kTimeInput) {
    timeInput_ = static_cast<const LV2_Atom_Sequence*>(data);
  } else if (port == lv2port::kEnabled) {
    enabled_ = static_cast<const float*>(data);
  } else if (port - lv2port::kFirstControl < controls_.size()) {
    controls_[port - lv2port::kFirstControl] = static_cast<const float*>(data);
  } else if (port == lv2port::kFirstMeter) {
    meter_ = static_cast<float*>(data);
  }
}

void Lv2Plugin::Activate() {
  // Nothing heard before counts: the lines are silent (and resident), the
  // bypass stands at its target, and the last restore is in the script.
  script_->OnResume();
  TakeRestore();
  if (appliedCount_ != takenCount_) ApplyTaken();
  change_ = Change::kNone;
  script_->SilenceLines();
  bypass_.Restart();
  meterLevel_ = 0;
  script_->TakeWetPeak();
  ran_ = false;
}

void Lv2Plugin::Deactivate() {
  ran_ = false;
  script_->OnSuspend();
}

void Lv2Plugin::ApplyControl(std::int32_t index, float value) {
  const SliderInfo* slider = script_->SliderAt(index);
  if (slider == nullptr) return;
  const double range = slider->maximum - slider->minimum;
  if (!(range > 0.0)) return;
  // The slider's own path: clamped, quantised to its step, OnSlider on change.
  script_->SetFromNormalisedValue(index, (static_cast<double>(value) - slider->minimum) / range);
}

void Lv2Plugin::Run(std::uint32_t frames) {
  // A restore since the last block: with no audio since activation it
  // takes effect now; else the output fades to the dry input first.
  if (TakeRestore()) {
    if (ran_) {
      change_ = Change::kFadingOut;
    } else {
      ApplyTaken();
    }
  }
  // The controls reach the sound here and nowhere else. While a restored
  // chunk waits for the fade to the dry input they wait too: the preset's
  // port values then come in with it, not ahead of the fade.
  const bool pending = change_ != Change::kNone;
  bool changed = false;
  for (std::size_t i = 0; i < controls_.size() && !pending; ++i) {
    const float* port = controls_[i];
    if (port == nullptr) continue;
    const float value = *port;
    if (holdUnseen_ && std::isnan(applied_[i])) {
      applied_[i] = value;  // first seen after a restore: the restored value holds
      continue;
    }
    if (value == applied_[i] || (std::isnan(value) && std::isnan(applied_[i]))) continue;
    applied_[i] = value;
    ApplyControl(static_cast<std::int32_t>(i), value);
    changed = true;
  }
  if (!pending) holdUnseen_ = false;
  if (changed) PublishSettings();
  // Subnormals flushed for the processing only, as the VST process call
  // does (its parameter changes run in the host's mode, as ours above).
  const DenormalFlush flush;
  // Positions are taken at the block's start, as a VST host's time
  // information is.
  transport_.Read(timeInput_);
  float* inputs[2] = {audio_[lv2port::kInputLeft], audio_[lv2port::kInputRight]};
  float* outputs[2] = {audio_[lv2port::kOutputLeft], audio_[lv2port::kOutputRight]};
  const auto count = static_cast<std::int32_t>(
      std::min<std::uint32_t>(frames, static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())));
  // Any value above 0 plays the effect; 0 and below bypass.
  bypass_.SetTargets(enabled_ == nullptr || *enabled_ > 0.0f, pending);
  const bool present = morvox::ChannelsPresent(inputs, 2) && morvox::ChannelsPresent(outputs, 2);
  const auto blockFrames = static_cast<std::uint32_t>(count);
  if (change_ == Change::kClearing) {
    // The effect stands still while its lines are cleared; the input goes
    // out as it is.
    for (int c = 0; c < 2 && present; ++c) {
      if (outputs[c] != inputs[c]) std::memmove(outputs[c], inputs[c], blockFrames * sizeof(float));
    }
    StepClear(blockFrames);
  } else if (bypass_.Transparent() || !present) {
    morvox::RunBlock(*script_, 2, inputs, outputs, count);
  } else {
    bypass_.Process(inputs, outputs, blockFrames, [this](float** in, float** out, std::uint32_t n) {
      morvox::RunBlock(*script_, 2, in, out, static_cast<std::int32_t>(n));
    });
  }
  if (change_ == Change::kFadingOut && bypass_.AtDry()) {
    // The fade is done: the new settings go in, and the lines are cleared
    // behind the dry output, a bounded share per block.
    ApplyTaken();
    script_->BeginClearEchoes();
    change_ = Change::kClearing;
    StepClear(blockFrames);
  }
  ran_ = true;
  transport_.Advance(frames, sampleRate_);
  WriteMeter(frames);
}

void Lv2Plugin::StepClear(std::uint32_t frames) {
  // Cells per line and frame: a 6 s line at 192 kHz is clear in under
  // 5000 frames, for some microseconds per block.
  constexpr std::uint32_t kCellsPerFrame = 256;
  constexpr std::uint32_t kLeastCells = 4096;
  const std::uint32_t cells = std::max(kLeastCells, std::min(frames, 1u << 20) * kCellsPerFrame);
  if (script_->ClearEchoesStep(static_cast<std::int32_t>(cells))) FinishChange();
}

void Lv2Plugin::FinishChange() {
  bypass_.FadeInInput();
  change_ = Change::kNone;
}

void Lv2Plugin::WriteMeter(std::uint32_t frames) {
  // The block's peak of the wet signal, held with a release of about a
  // quarter second, so the editor sees each peak however short the block.
  constexpr double kReleaseSeconds = 0.25;
  double release = std::exp(-static_cast<double>(frames) / (kReleaseSeconds * sampleRate_));
  // A rate that is no rate (0, negative, not a number) holds nothing.
  if (!(release >= 0.0 && release <= 1.0)) release = 0.0;
  const double peak = script_->TakeWetPeak();
  meterLevel_ = std::fmax(std::isfinite(peak) ? std::fmin(peak, 1.0e6) : 0.0, meterLevel_ * release);
  if (meter_ != nullptr) *meter_ = static_cast<float>(meterLevel_);
}

double Lv2Plugin::Tempo() {
  return transport_.known ? transport_.beatsPerMinute : 0.0;
}

bool Lv2Plugin::TempoAndSignature(double& tempo, double& numerator, double& denominator) {
  if (!transport_.known || !transport_.tempoKnown) return false;
  tempo = transport_.beatsPerMinute;
  numerator = transport_.beatsPerBar;
  denominator = transport_.beatUnit;
  return true;
}

bool Lv2Plugin::IsPlaying() {
  return transport_.known && transport_.speed != 0;
}

double Lv2Plugin::PlayPosition() {
  return transport_.known ? transport_.QuarterNotes() : 0.0;
}

double Lv2Plugin::BarStart() {
  return transport_.known ? transport_.QuarterNotesAtBarStart() : 0.0;
}
