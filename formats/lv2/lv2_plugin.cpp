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
  atRestore_.assign(count, 0.0f);
  seenAtRestore_.assign(count, 0);
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
  ran_ = false;
  script_->OnResume();
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
  // The controls reach the sound here and nowhere else. While a restored
  // chunk waits for the fade to the dry input they wait too: the preset's
  // port values then come in with it, not ahead of the fade.
  const bool pending = chunkPending_.load(std::memory_order_acquire);
  bool changed = false;
  for (std::size_t i = 0; i < controls_.size() && !pending; ++i) {
    const float* port = controls_[i];
    if (port == nullptr) continue;
    const float value = *port;
    if (restored_ && (seenAtRestore_[i] == 0 || value == atRestore_[i])) {
      applied_[i] = value;  // left alone since the restore: the restored value holds
      continue;
    }
    if (value == applied_[i] || (std::isnan(value) && std::isnan(applied_[i]))) continue;
    applied_[i] = value;
    ApplyControl(static_cast<std::int32_t>(i), value);
    changed = true;
  }
  if (!pending) restored_ = false;
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
  bypass_.SetTargets(enabled_ == nullptr || *enabled_ > 0.5f, pending);
  if (bypass_.Transparent() || !morvox::ChannelsPresent(inputs, 2) || !morvox::ChannelsPresent(outputs, 2)) {
    morvox::RunBlock(*script_, 2, inputs, outputs, count);
  } else {
    bypass_.Process(inputs, outputs, static_cast<std::uint32_t>(count),
                    [this](float** in, float** out, std::uint32_t n) {
                      morvox::RunBlock(*script_, 2, in, out, static_cast<std::int32_t>(n));
                    });
  }
  if (pending && bypass_.AtDry()) ApplyPendingChunk();
  ran_ = true;
  transport_.Advance(frames, sampleRate_);
  // The level the editor's meter takes in at the next block's start.
  if (meter_ != nullptr) {
    const double peak = std::fmax(std::fabs(script_->v.wetLeft), std::fabs(script_->v.wetRight));
    *meter_ = std::isfinite(peak) ? static_cast<float>(std::fmin(peak, 1.0e6)) : 0.0f;
  }
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
