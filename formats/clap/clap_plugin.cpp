#include "formats/clap/clap_plugin.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/denormal_flush.h"
#include "effect/morvox_effect.h"
#include "formats/clap/abi/params.h"
#include "formats/clap/clap_descriptor.h"
#include "formats/clap/clap_plugin_record.h"
#include "runtime/block_runner.h"

ClapPlugin::ClapPlugin(const clap_host_t* host)
    : record_(clapplugin::MakeRecord(this)),
      host_(host),
      hostAccess_(host),
      script_(std::make_unique<TMorvoxEffect>()) {
  script_->plugin = this;
  script_->OnReset();
  // The chunk slot gets its room now, so a chunk the audio thread applies
  // allocates nothing.
  void* room = nullptr;
  script_->GetChunk(&room, false);
  pendingValues_.fill(std::numeric_limits<double>::quiet_NaN());
  PublishSettings();
}

ClapPlugin::~ClapPlugin() {
  script_->OnClose();
}

ClapPlugin* ClapPlugin::Of(const clap_plugin_t* plugin) {
  return plugin != nullptr ? static_cast<ClapPlugin*>(plugin->plugin_data) : nullptr;
}

bool ClapPlugin::Init() {
  hostAccess_.Query();
  return true;
}

bool ClapPlugin::Activate(double sampleRate, std::uint32_t, std::uint32_t maxFrames) {
  if (Active() || !(sampleRate > 0) || !std::isfinite(sampleRate)) return false;
  sampleRate_ = sampleRate;
  blockSize_ = static_cast<std::int32_t>(std::min<std::uint32_t>(maxFrames, 1u << 30));
  fade_.SetSampleRate(sampleRate);
  fade_.Restart();  // a fresh start: the fade stands at the bypass's value at once
  // Every page the lines reach at this rate exists from here on, so no
  // process call allocates.
  script_->InitOnce();
  script_->OnResume();
  // Nothing heard before counts: the lines start silent (and resident), so
  // a chunk the host loads before the first sound applies at once.
  script_->SilenceLines();
  change_ = Change::kNone;
  sounded_ = false;
  PublishSettings();
  active_.store(true, std::memory_order_release);
  return true;
}

void ClapPlugin::Deactivate() {
  if (!Active()) return;
  active_.store(false, std::memory_order_release);
  processing_ = false;
  script_->OnSuspend();
  if (change_ == Change::kClearing) {
    // Cut short: the next activation silences the lines anyway.
    change_ = Change::kNone;
    ApplyPendingValues();
    PublishSettings();
  }
  // A chunk the sound never reached (the host stopped processing during
  // the fade) is taken now: the main thread owns the sound again.
  std::uint32_t sequence = 0;
  if (mailbox_.Take(waitingChunk_, sequence)) {
    chunkWaiting_ = true;
    waitingSequence_ = sequence;
  }
  if (chunkWaiting_) {
    script_->SetChunk(waitingChunk_.data(), static_cast<std::int32_t>(kChunkBytes), false);
    chunkWaiting_ = false;
    ApplyPendingValues();
    PublishSettings();
    appliedSequence_.store(waitingSequence_, std::memory_order_release);
  }
}

bool ClapPlugin::StartProcessing() {
  if (!Active()) return false;
  processing_ = true;
  return true;
}

void ClapPlugin::StopProcessing() {
  processing_ = false;
}

void ClapPlugin::Reset() {
  script_->ClearEchoes();
  if (change_ == Change::kClearing) FinishClear();
  sounded_ = false;
}

void ClapPlugin::ApplyValue(clap_id id, double value) {
  if (!std::isfinite(value)) return;
  if (id == kBypassParam) {
    bypassed_ = value >= 0.5;
    publishedBypass_.store(bypassed_, std::memory_order_release);
    return;
  }
  if (id >= kSliderParams) return;
  if (chunkWaiting_ || change_ == Change::kClearing) {
    // A load is on its way (or its clear under way): the host's newer
    // values follow it.
    pendingValues_[id] = value;
    return;
  }
  const auto index = static_cast<std::int32_t>(id);
  const SliderInfo* slider = script_->SliderAt(index);
  if (slider == nullptr) return;
  const double range = slider->maximum - slider->minimum;
  if (!(range > 0.0)) return;
  // The slider's own path, as a VST host's value takes it: clamped,
  // quantised to its step, OnSlider on a change.
  const double before = script_->sliderValues[static_cast<std::size_t>(slider->number) & 127];
  script_->SetFromNormalisedValue(index, (value - slider->minimum) / range);
  if (script_->sliderValues[static_cast<std::size_t>(slider->number) & 127] != before)
    settingsChanged_ = true;
}

void ClapPlugin::ApplyPendingValues() {
  for (clap_id id = 0; id < kSliderParams; ++id) {
    const double value = pendingValues_[id];
    pendingValues_[id] = std::numeric_limits<double>::quiet_NaN();
    if (!std::isnan(value)) ApplyValue(id, value);
  }
}

bool ClapPlugin::ApplyEvent(const clap_event_header_t* header) {
  if (header == nullptr || header->space_id != CLAP_CORE_EVENT_SPACE_ID) return false;
  if (header->type == CLAP_EVENT_PARAM_VALUE) {
    // Read only what the host's event holds.
    if (header->size < sizeof(clap_event_param_value_t)) return false;
    const auto* event = reinterpret_cast<const clap_event_param_value_t*>(header);
    ApplyValue(event->param_id, event->value);
    return true;
  }
  if (header->type == CLAP_EVENT_TRANSPORT && header->size >= sizeof(clap_event_transport_t)) {
    transport_.Take(reinterpret_cast<const clap_event_transport_t*>(header));
  }
  return false;
}

void ClapPlugin::DrainUiEdits(const clap_output_events_t* out) {
  ClapUiEdit edit;
  while (uiEdits_.Pop(edit)) {
    if (edit.kind == ClapUiEdit::kValue) ApplyValue(edit.param, edit.value);
    if (out == nullptr || out->try_push == nullptr) continue;
    if (edit.kind == ClapUiEdit::kValue) {
      clap_event_param_value_t event{};
      event.header = {sizeof(event), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
      event.param_id = edit.param;
      event.note_id = -1;
      event.port_index = event.channel = event.key = -1;
      event.value = edit.value;
      out->try_push(out, &event.header);
    } else {
      clap_event_param_gesture_t event{};
      const auto type = static_cast<std::uint16_t>(
          edit.kind == ClapUiEdit::kBegin ? CLAP_EVENT_PARAM_GESTURE_BEGIN : CLAP_EVENT_PARAM_GESTURE_END);
      event.header = {sizeof(event), 0, CLAP_CORE_EVENT_SPACE_ID, type, 0};
      event.param_id = edit.param;
      out->try_push(out, &event.header);
    }
  }
}

bool ClapPlugin::PushUiEdit(const ClapUiEdit& edit) {
  if (edit.param >= kParamCount) return false;
  if (!uiEdits_.Push(edit)) return false;
  hostAccess_.RequestFlush();
  return true;
}

void ClapPlugin::Flush(const clap_input_events_t* in, const clap_output_events_t* out) {
  DrainUiEdits(out);
  if (in != nullptr && in->size != nullptr && in->get != nullptr) {
    const std::uint32_t count = in->size(in);
    for (std::uint32_t i = 0; i < count; ++i) ApplyEvent(in->get(in, i));
  }
  if (settingsChanged_) {
    settingsChanged_ = false;
    PublishSettings();
  }
}

void ClapPlugin::OnMainThread() {
  if (tailChanged_.exchange(false)) hostAccess_.TailChanged();
}

void ClapPlugin::RunSegment(float* const in[2], float* const out[2], std::uint32_t frames) {
  if (settingsChanged_) {
    settingsChanged_ = false;
    PublishSettings();
  }
  float* segIn[2] = {in[0], in[1]};
  float* segOut[2] = {out[0], out[1]};
  fade_.SetTargets(!bypassed_, chunkWaiting_);
  const auto count = static_cast<std::int32_t>(frames);
  if (change_ == Change::kClearing) {
    // The effect stands still while its lines are cleared; the input goes
    // out as it is.
    for (int c = 0; c < 2; ++c) {
      if (out[c] != in[c]) std::memmove(out[c], in[c], frames * sizeof(float));
    }
    StepClear(frames);
  } else if (fade_.Transparent()) {
    morvox::RunBlock(*script_, 2, segIn, segOut, count);
  } else {
    fade_.Process(segIn, segOut, frames, [this](float** passIn, float** passOut, std::uint32_t n) {
      morvox::RunBlock(*script_, 2, passIn, passOut, static_cast<std::int32_t>(n));
    });
  }
  if (frames > 0 && change_ == Change::kNone) sounded_ = true;
  if (chunkWaiting_ && fade_.AtDry()) TakePendingChunk();
  transport_.Advance(frames, sampleRate_);
}

void ClapPlugin::ApplyChunk() {
  script_->SetChunk(waitingChunk_.data(), static_cast<std::int32_t>(kChunkBytes), false);
  chunkWaiting_ = false;
  ApplyPendingValues();
  PublishSettings();
  appliedSequence_.store(waitingSequence_, std::memory_order_release);
}

void ClapPlugin::TakePendingChunk() {
  ApplyChunk();
  // What the lines hold belongs to the old settings: the new ones start
  // from silence, cleared behind the dry output a bounded share per call,
  // then their input fades in. Values that come meanwhile wait.
  script_->BeginClearEchoes();
  change_ = Change::kClearing;
  StepClear(0);
}

void ClapPlugin::StepClear(std::uint32_t frames) {
  // Cells per line and frame: a 6 s line at 192 kHz is clear in under
  // 5000 frames, for some microseconds per call.
  constexpr std::uint32_t kCellsPerFrame = 256;
  constexpr std::uint32_t kLeastCells = 4096;
  const std::uint32_t cells = std::max(kLeastCells, std::min(frames, 1u << 20) * kCellsPerFrame);
  if (script_->ClearEchoesStep(static_cast<std::int32_t>(cells))) FinishClear();
}

void ClapPlugin::FinishClear() {
  change_ = Change::kNone;
  sounded_ = false;
  fade_.FadeInInput();
  ApplyPendingValues();
  PublishSettings();
}

clap_process_status ClapPlugin::Process(const clap_process_t* process) {
  if (process == nullptr || !Active()) return CLAP_PROCESS_ERROR;
  const DenormalFlush flush;
  transport_.Take(process->transport);
  std::uint32_t sequence = 0;
  if (mailbox_.Take(waitingChunk_, sequence)) {
    chunkWaiting_ = true;
    waitingSequence_ = sequence;
    // Nothing sounded since the lines were last silent: no echo to fade
    // out or clear, the chunk applies at once.
    if (!sounded_ && change_ == Change::kNone) ApplyChunk();
  }
  DrainUiEdits(process->out_events);

  // The host's buffers: one stereo port each way, 32-bit samples. Without
  // an output there is nothing to write; without an input the effect hears
  // silence.
  const std::uint32_t frames = process->frames_count;
  const clap_audio_buffer_t* inPort = process->audio_inputs_count > 0 ? process->audio_inputs : nullptr;
  const clap_audio_buffer_t* outPort = process->audio_outputs_count > 0 ? process->audio_outputs : nullptr;
  const bool haveOut = outPort != nullptr && outPort->data32 != nullptr && outPort->channel_count >= 2 &&
                       outPort->data32[0] != nullptr && outPort->data32[1] != nullptr;
  const bool haveIn = inPort != nullptr && inPort->data32 != nullptr && inPort->channel_count >= 2 &&
                      inPort->data32[0] != nullptr && inPort->data32[1] != nullptr;

  const clap_input_events_t* events = process->in_events;
  const std::uint32_t eventCount =
      events != nullptr && events->size != nullptr && events->get != nullptr ? events->size(events) : 0;
  std::uint32_t next = 0;
  std::uint32_t done = 0;
  // The block runs in segments between the events' frames: each event
  // takes effect at its own frame. Events at or past the block's end (or
  // out of order) take effect where the block then stands.
  while (done < frames || next < eventCount) {
    while (next < eventCount) {
      const clap_event_header_t* header = events->get(events, next);
      if (header != nullptr && header->time > done && done < frames) break;
      ApplyEvent(header);
      ++next;
    }
    if (done >= frames) break;
    // The loop above stopped at an event (never null) later in the block.
    const std::uint32_t end = next < eventCount ? std::min(frames, events->get(events, next)->time) : frames;
    if (!haveOut) {
      transport_.Advance(end - done, sampleRate_);
    } else if (haveIn) {
      float* in[2] = {inPort->data32[0] + done, inPort->data32[1] + done};
      float* out[2] = {outPort->data32[0] + done, outPort->data32[1] + done};
      RunSegment(in, out, end - done);
    } else {
      // Silence in, in passes of the silent buffer.
      for (std::uint32_t at = done; at < end;) {
        const auto n = std::min<std::uint32_t>(end - at, static_cast<std::uint32_t>(silence_.size()));
        float* quiet[2] = {silence_.data(), silence_.data()};
        float* out[2] = {outPort->data32[0] + at, outPort->data32[1] + at};
        RunSegment(quiet, out, n);
        at += n;
      }
    }
    done = end;
  }
  if (frames == 0 && haveOut) {
    // A call of no frames still runs the block section, as a VST host's does.
    RunSegment(outPort->data32, outPort->data32, 0);
  }
  if (settingsChanged_) {
    settingsChanged_ = false;
    PublishSettings();
  }
  const double peak = std::fmax(std::fabs(script_->v.wetLeft), std::fabs(script_->v.wetRight));
  const double tempo = Tempo();
  if (tempo != publishedTempo_.load(std::memory_order_relaxed)) {
    publishedTempo_.store(tempo, std::memory_order_relaxed);
    if (!tailChanged_.exchange(true, std::memory_order_acq_rel)) hostAccess_.RequestCallback();
  }
  meter_.store(std::isfinite(peak) ? static_cast<float>(std::fmin(peak, 1.0e6)) : 0.0f,
               std::memory_order_relaxed);
  return CLAP_PROCESS_CONTINUE;
}

double ClapPlugin::Tempo() {
  return transport_.known && transport_.tempoKnown ? transport_.tempo : 0.0;
}

bool ClapPlugin::TempoAndSignature(double& tempo, double& numerator, double& denominator) {
  if (!transport_.known || !transport_.tempoKnown) return false;
  tempo = transport_.tempo;
  numerator = transport_.numerator;
  denominator = transport_.denominator;
  return true;
}

bool ClapPlugin::IsPlaying() {
  return transport_.known && transport_.playing;
}

bool ClapPlugin::IsRecording() {
  return transport_.known && transport_.recording;
}

double ClapPlugin::PlayPosition() {
  return transport_.known && transport_.beatsKnown ? transport_.quarterNotes : 0.0;
}

double ClapPlugin::BarStart() {
  return transport_.known && transport_.beatsKnown ? transport_.barStart : 0.0;
}
