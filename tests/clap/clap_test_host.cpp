#include "tests/clap/clap_test_host.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "formats/clap/clap_descriptor.h"

ClapEventList::ClapEventList() : input_{this, Size, Get} {}

void ClapEventList::Value(std::uint32_t time, clap_id id, double value) {
  clap_event_param_value_t event{};
  event.header = {sizeof(event), time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
  event.param_id = id;
  event.note_id = -1;
  event.port_index = event.channel = event.key = -1;
  event.value = value;
  Add(&event, sizeof(event));
}

void ClapEventList::Add(const void* event, std::uint32_t size) {
  std::vector<std::uint64_t> storage((size + 7) / 8 + 1, 0);
  std::memcpy(storage.data(), event, size);
  events_.push_back(std::move(storage));
}

uint32_t CLAP_ABI ClapEventList::Size(const clap_input_events_t* list) {
  return static_cast<uint32_t>(static_cast<const ClapEventList*>(list->ctx)->events_.size());
}

const clap_event_header_t* CLAP_ABI ClapEventList::Get(const clap_input_events_t* list, uint32_t index) {
  const auto& events = static_cast<const ClapEventList*>(list->ctx)->events_;
  return index < events.size() ? reinterpret_cast<const clap_event_header_t*>(events[index].data()) : nullptr;
}

ClapOutputList::ClapOutputList() : output_{this, TryPush} {}

bool CLAP_ABI ClapOutputList::TryPush(const clap_output_events_t* list, const clap_event_header_t* event) {
  auto* self = static_cast<ClapOutputList*>(list->ctx);
  Pushed pushed{event->type, 0, 0};
  if (event->type == CLAP_EVENT_PARAM_VALUE) {
    const auto* value = reinterpret_cast<const clap_event_param_value_t*>(event);
    pushed.id = value->param_id;
    pushed.value = value->value;
  } else if (event->type == CLAP_EVENT_PARAM_GESTURE_BEGIN || event->type == CLAP_EVENT_PARAM_GESTURE_END) {
    pushed.id = reinterpret_cast<const clap_event_param_gesture_t*>(event)->param_id;
  }
  self->pushed.push_back(pushed);
  return true;
}

namespace {

int64_t CLAP_ABI WriteTo(const clap_ostream_t* stream, const void* buffer, uint64_t size) {
  auto* out = static_cast<ClapMemoryOut*>(stream->ctx);
  if (out->failAfter == 0) return -1;
  if (out->failAfter > 0) --out->failAfter;
  const uint64_t n = std::min(size, out->step);
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  out->bytes.insert(out->bytes.end(), bytes, bytes + n);
  return static_cast<int64_t>(n);
}

int64_t CLAP_ABI ReadFrom(const clap_istream_t* stream, void* buffer, uint64_t size) {
  auto* in = static_cast<ClapMemoryIn*>(stream->ctx);
  const uint64_t n = std::min<uint64_t>({size, in->step, in->bytes.size() - in->at});
  // An empty vector's data() may be null: no copy of nothing from it.
  if (n > 0) std::memcpy(buffer, in->bytes.data() + in->at, n);
  in->at += n;
  return static_cast<int64_t>(n);
}

}  // namespace

ClapMemoryOut::ClapMemoryOut(std::uint64_t stepBytes) : step(stepBytes), stream{this, WriteTo} {}

ClapMemoryIn::ClapMemoryIn(std::vector<std::uint8_t> data, std::uint64_t stepBytes)
    : bytes(std::move(data)), step(stepBytes), stream{this, ReadFrom} {}

namespace {

bool CLAP_ABI IsMain(const clap_host_t* host) {
  return static_cast<ClapTestHost*>(host->host_data)->mainThread == std::this_thread::get_id();
}

bool CLAP_ABI IsAudio(const clap_host_t* host) {
  return static_cast<ClapTestHost*>(host->host_data)->audioThread.load() == std::this_thread::get_id();
}

void CLAP_ABI Log(const clap_host_t* host, clap_log_severity, const char* message) {
  static_cast<ClapTestHost*>(host->host_data)->log.emplace_back(message);
}

void CLAP_ABI Rescan(const clap_host_t*, clap_param_rescan_flags) {}
void CLAP_ABI Clear(const clap_host_t*, clap_id, clap_param_clear_flags) {}
void CLAP_ABI RequestFlush(const clap_host_t* host) {
  ++static_cast<ClapTestHost*>(host->host_data)->flushRequests;
}
void CLAP_ABI TailChanged(const clap_host_t* host) {
  ++static_cast<ClapTestHost*>(host->host_data)->tailChanges;
}
void CLAP_ABI PresetError(const clap_host_t* host, uint32_t, const char*, const char* key, int32_t,
                          const char*) {
  static_cast<ClapTestHost*>(host->host_data)->presetErrors.emplace_back(key != nullptr ? key : "");
}
void CLAP_ABI PresetLoaded(const clap_host_t* host, uint32_t, const char*, const char* key) {
  static_cast<ClapTestHost*>(host->host_data)->presetsLoaded.emplace_back(key != nullptr ? key : "");
}
void CLAP_ABI RequestNothing(const clap_host_t*) {}
void CLAP_ABI RequestCallback(const clap_host_t* host) {
  ++static_cast<ClapTestHost*>(host->host_data)->callbackRequests;
}

const clap_host_thread_check_t kThreadCheck{IsMain, IsAudio};
const clap_host_log_t kLog{Log};
const clap_host_params_t kHostParams{Rescan, Clear, RequestFlush};
const clap_host_tail_t kHostTail{TailChanged};
const clap_host_preset_load_t kHostPresetLoad{PresetError, PresetLoaded};

}  // namespace

ClapTestHost::ClapTestHost()
    : host_{CLAP_VERSION, this,         "Vorn test host", "Fenmoor",      "",
            "1",          GetExtension, RequestNothing,   RequestNothing, RequestCallback} {}

const void* CLAP_ABI ClapTestHost::GetExtension(const clap_host_t* host, const char* id) {
  const std::string_view name(id);
  if (name == CLAP_EXT_THREAD_CHECK) return Of(host)->offerThreadCheck ? &kThreadCheck : nullptr;
  if (name == CLAP_EXT_LOG) return &kLog;
  if (name == CLAP_EXT_PARAMS) return &kHostParams;
  if (name == CLAP_EXT_TAIL) return &kHostTail;
  if (name == CLAP_EXT_PRESET_LOAD) return &kHostPresetLoad;
  return nullptr;
}

extern "C" const clap_plugin_entry_t clap_entry;

ClapInstance::ClapInstance(ClapTestHost& testHost) : host(testHost) {
  host.audioThread = std::this_thread::get_id();
  clap_entry.init("");
  factory = static_cast<const clap_plugin_factory_t*>(clap_entry.get_factory(CLAP_PLUGIN_FACTORY_ID));
  plugin = factory->create_plugin(factory, host.Host(), clapplugin::kPluginId);
  plugin->init(plugin);
  params = static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
  state = static_cast<const clap_plugin_state_t*>(plugin->get_extension(plugin, CLAP_EXT_STATE));
  ports = static_cast<const clap_plugin_audio_ports_t*>(plugin->get_extension(plugin, CLAP_EXT_AUDIO_PORTS));
  tail = static_cast<const clap_plugin_tail_t*>(plugin->get_extension(plugin, CLAP_EXT_TAIL));
  render = static_cast<const clap_plugin_render_t*>(plugin->get_extension(plugin, CLAP_EXT_RENDER));
  presetLoad =
      static_cast<const clap_plugin_preset_load_t*>(plugin->get_extension(plugin, CLAP_EXT_PRESET_LOAD));
  // The VST test host's transport: 120 beats a minute in 4/4, stopped at 0.
  transport.header = {sizeof(transport), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_TRANSPORT, 0};
  transport.flags =
      CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_TIME_SIGNATURE | CLAP_TRANSPORT_HAS_BEATS_TIMELINE;
  transport.tempo = 120;
  transport.tsig_num = 4;
  transport.tsig_denom = 4;
}

ClapInstance::~ClapInstance() {
  if (processing) plugin->stop_processing(plugin);
  if (active) plugin->deactivate(plugin);
  plugin->destroy(plugin);
  clap_entry.deinit();
}

bool ClapInstance::Activate(double rate, std::uint32_t maxFrames) {
  active = plugin->activate(plugin, rate, 1, maxFrames);
  processing = active && plugin->start_processing(plugin);
  return active;
}

void ClapInstance::Deactivate() {
  if (processing) plugin->stop_processing(plugin);
  processing = false;
  if (active) plugin->deactivate(plugin);
  active = false;
}

clap_process_status ClapInstance::ProcessBlock(float* left, float* right, std::uint32_t frames,
                                               const ClapEventList* events, ClapOutputList* out,
                                               const clap_event_transport_t* givenTransport) {
  static const ClapEventList none;
  static ClapOutputList discard;
  float* channels[2] = {left, right};
  clap_audio_buffer_t in{channels, nullptr, 2, 0, 0};
  clap_audio_buffer_t outBuffer{channels, nullptr, 2, 0, 0};
  clap_process_t process{};
  process.steady_time = -1;
  process.frames_count = frames;
  process.transport = givenTransport != nullptr ? givenTransport : &transport;
  process.audio_inputs = &in;
  process.audio_outputs = &outBuffer;
  process.audio_inputs_count = 1;
  process.audio_outputs_count = 1;
  process.in_events = (events != nullptr ? events : &none)->Input();
  process.out_events = (out != nullptr ? out : &discard)->Output();
  return plugin->process(plugin, &process);
}

clap_process_status ClapInstance::Process(std::vector<float>& left, std::vector<float>& right,
                                          std::uint32_t block, const ClapEventList* events,
                                          ClapOutputList* out) {
  clap_process_status status = CLAP_PROCESS_CONTINUE;
  for (std::size_t at = 0; at < left.size(); at += block) {
    const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(block, left.size() - at));
    status = ProcessBlock(left.data() + at, right.data() + at, n, at == 0 ? events : nullptr, out);
  }
  return status;
}

std::vector<std::uint8_t> ClapInstance::Save(std::uint64_t step) {
  ClapMemoryOut out(step);
  if (!state->save(plugin, &out.stream)) return {};
  return out.bytes;
}

bool ClapInstance::Load(const std::vector<std::uint8_t>& bytes, std::uint64_t step) {
  ClapMemoryIn in(bytes, step);
  return state->load(plugin, &in.stream);
}

double ClapInstance::Value(clap_id id) {
  double value = -12345;
  params->get_value(plugin, id, &value);
  return value;
}

std::vector<float> TestSignal(std::size_t frames, std::uint32_t seed) {
  // Noise bursts with silences between them: echoes show in the gaps.
  std::vector<float> signal(frames, 0.0f);
  std::uint32_t x = seed * 2654435761u + 1;
  for (std::size_t i = 0; i < frames; ++i) {
    x = x * 1664525u + 1013904223u;
    const bool burst = (i / 2048) % 4 == 0;
    signal[i] = burst ? (static_cast<float>(x >> 8) / 16777216.0f - 0.5f) * 0.8f : 0.0f;
  }
  return signal;
}
