// The plug-in record's calls and its extensions' records. Each call passes
// to the instance's ClapPlugin; none lets an exception into the host, and
// a call without an instance gets the neutral answer.
#include <cstring>
#include <string_view>

#include "formats/clap/abi/audio_ports.h"
#include "formats/clap/abi/latency.h"
#include "formats/clap/abi/layout_checks.h"
#include "formats/clap/abi/params.h"
#include "formats/clap/abi/preset_load.h"
#include "formats/clap/abi/render.h"
#include "formats/clap/abi/state.h"
#include "formats/clap/abi/tail.h"
#include "formats/clap/clap_descriptor.h"
#include "formats/clap/clap_gui_seam.h"
#include "formats/clap/clap_params.h"
#include "formats/clap/clap_plugin.h"
#include "formats/clap/clap_plugin_record.h"
#include "formats/clap/clap_presets.h"

namespace {

using Thread = ClapHostAccess::Thread;

template <typename Answer, typename Call>
Answer Guarded(Answer neutral, Call&& call) {
  try {
    return call();
  } catch (...) {
    return neutral;
  }
}

// ---- the plug-in

bool CLAP_ABI Init(const clap_plugin_t* record) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  return plugin != nullptr && Guarded(false, [&] { return plugin->Init(); });
}

void CLAP_ABI Destroy(const clap_plugin_t* record) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr) return;
  try {
    plugin->HostAccess().Expect(Thread::kMain, "destroy");
    if (plugin->Active()) plugin->Deactivate();
    ClapGuiDestroy(*plugin);
  } catch (...) {
  }
  delete plugin;
}

bool CLAP_ABI Activate(const clap_plugin_t* record, double sampleRate, uint32_t minFrames,
                       uint32_t maxFrames) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr) return false;
  plugin->HostAccess().Expect(Thread::kMain, "activate");
  return Guarded(false, [&] { return plugin->Activate(sampleRate, minFrames, maxFrames); });
}

void CLAP_ABI Deactivate(const clap_plugin_t* record) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr) return;
  plugin->HostAccess().Expect(Thread::kMain, "deactivate");
  Guarded(0, [&] { return plugin->Deactivate(), 0; });
}

bool CLAP_ABI StartProcessing(const clap_plugin_t* record) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr) return false;
  plugin->HostAccess().Expect(Thread::kAudio, "start_processing");
  return plugin->StartProcessing();
}

void CLAP_ABI StopProcessing(const clap_plugin_t* record) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr) return;
  plugin->HostAccess().Expect(Thread::kAudio, "stop_processing");
  plugin->StopProcessing();
}

void CLAP_ABI Reset(const clap_plugin_t* record) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin != nullptr) Guarded(0, [&] { return plugin->Reset(), 0; });
}

clap_process_status CLAP_ABI Process(const clap_plugin_t* record, const clap_process_t* process) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr) return CLAP_PROCESS_ERROR;
  plugin->HostAccess().Expect(Thread::kAudio, "process");
  return Guarded<clap_process_status>(CLAP_PROCESS_ERROR, [&] { return plugin->Process(process); });
}

void CLAP_ABI OnMainThread(const clap_plugin_t* record) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr) return;
  Guarded(0, [&] {
    plugin->OnMainThread();
    ClapGuiOnMainThread(*plugin);
    return 0;
  });
}

// ---- audio-ports: one stereo port each way, which may share its buffers

uint32_t CLAP_ABI AudioPortCount(const clap_plugin_t*, bool) {
  return 1;
}

bool CLAP_ABI AudioPortGet(const clap_plugin_t*, uint32_t index, bool isInput, clap_audio_port_info_t* info) {
  if (index != 0 || info == nullptr) return false;
  *info = clap_audio_port_info_t{};
  info->id = 0;
  const char* name = isInput ? "Stereo In" : "Stereo Out";
  std::strncpy(info->name, name, sizeof info->name - 1);
  info->flags = CLAP_AUDIO_PORT_IS_MAIN;
  info->channel_count = 2;
  info->port_type = CLAP_PORT_STEREO;
  info->in_place_pair = 0;
  return true;
}

const clap_plugin_audio_ports_t kAudioPorts{AudioPortCount, AudioPortGet};

// ---- params

uint32_t CLAP_ABI ParamCount(const clap_plugin_t*) {
  return clapparams::Count();
}

bool CLAP_ABI ParamInfo(const clap_plugin_t* record, uint32_t index, clap_param_info_t* info) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr || info == nullptr) return false;
  return Guarded(false, [&] { return clapparams::Info(plugin->Script(), index, *info); });
}

bool CLAP_ABI ParamValue(const clap_plugin_t* record, clap_id id, double* value) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr || value == nullptr || id >= ClapPlugin::kParamCount) return false;
  *value = plugin->PublishedValue(id);
  return true;
}

bool CLAP_ABI ParamValueToText(const clap_plugin_t* record, clap_id id, double value, char* buffer,
                               uint32_t capacity) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr) return false;
  return Guarded(false,
                 [&] { return clapparams::ValueToText(plugin->Script(), id, value, buffer, capacity); });
}

bool CLAP_ABI ParamTextToValue(const clap_plugin_t* record, clap_id id, const char* text, double* value) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr || value == nullptr) return false;
  return Guarded(false, [&] { return clapparams::TextToValue(plugin->Script(), id, text, *value); });
}

void CLAP_ABI ParamFlush(const clap_plugin_t* record, const clap_input_events_t* in,
                         const clap_output_events_t* out) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr) return;
  plugin->HostAccess().Expect(plugin->Active() ? Thread::kAudio : Thread::kMain, "params.flush");
  Guarded(0, [&] { return plugin->Flush(in, out), 0; });
}

const clap_plugin_params_t kParams{ParamCount,       ParamInfo,        ParamValue,
                                   ParamValueToText, ParamTextToValue, ParamFlush};

// ---- state

bool CLAP_ABI StateSave(const clap_plugin_t* record, const clap_ostream_t* stream) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr) return false;
  plugin->HostAccess().Expect(Thread::kMain, "state.save");
  return Guarded(false, [&] { return plugin->SaveState(stream); });
}

bool CLAP_ABI StateLoad(const clap_plugin_t* record, const clap_istream_t* stream) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr) return false;
  plugin->HostAccess().Expect(Thread::kMain, "state.load");
  return Guarded(false, [&] { return plugin->LoadState(stream); });
}

const clap_plugin_state_t kState{StateSave, StateLoad};

// ---- latency, tail, render

uint32_t CLAP_ABI Latency(const clap_plugin_t*) {
  return 0;
}

const clap_plugin_latency_t kLatency{Latency};

uint32_t CLAP_ABI Tail(const clap_plugin_t* record) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  return plugin != nullptr ? Guarded(0u, [&] { return plugin->TailFrames(); }) : 0;
}

const clap_plugin_tail_t kTail{Tail};

bool CLAP_ABI HasHardRealtimeRequirement(const clap_plugin_t*) {
  return false;
}

// The sound is the same either way: offline rendering changes nothing but
// what the host may ask.
bool CLAP_ABI RenderSet(const clap_plugin_t* record, clap_plugin_render_mode mode) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr || (mode != CLAP_RENDER_REALTIME && mode != CLAP_RENDER_OFFLINE)) return false;
  plugin->SetOffline(mode == CLAP_RENDER_OFFLINE);
  return true;
}

const clap_plugin_render_t kRender{HasHardRealtimeRequirement, RenderSet};

// ---- preset-load

bool CLAP_ABI PresetFromLocation(const clap_plugin_t* record, uint32_t kind, const char* location,
                                 const char* loadKey) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr) return false;
  plugin->HostAccess().Expect(Thread::kMain, "preset-load.from_location");
  return Guarded(false, [&] { return clappresets::Load(*plugin, kind, location, loadKey); });
}

const clap_plugin_preset_load_t kPresetLoad{PresetFromLocation};

const void* CLAP_ABI GetExtension(const clap_plugin_t* record, const char* id) {
  ClapPlugin* plugin = ClapPlugin::Of(record);
  if (plugin == nullptr || id == nullptr) return nullptr;
  const std::string_view name(id);
  if (name == CLAP_EXT_AUDIO_PORTS) return &kAudioPorts;
  if (name == CLAP_EXT_PARAMS) return &kParams;
  if (name == CLAP_EXT_STATE) return &kState;
  if (name == CLAP_EXT_LATENCY) return &kLatency;
  if (name == CLAP_EXT_TAIL) return &kTail;
  if (name == CLAP_EXT_RENDER) return &kRender;
  if (name == CLAP_EXT_PRESET_LOAD || name == CLAP_EXT_PRESET_LOAD_COMPAT) return &kPresetLoad;
  return Guarded<const void*>(nullptr, [&] { return ClapGuiExtension(*plugin, id); });
}

}  // namespace

namespace clapplugin {

clap_plugin_t MakeRecord(ClapPlugin* plugin) {
  return clap_plugin_t{&Descriptor(),   plugin,         Init,  Destroy, Activate,     Deactivate,
                       StartProcessing, StopProcessing, Reset, Process, GetExtension, OnMainThread};
}

}  // namespace clapplugin
