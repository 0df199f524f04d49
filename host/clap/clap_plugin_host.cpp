#include "host/clap/clap_plugin_host.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "host/clap/clap_module_loader.h"
#include "host/host_error.h"

namespace vornhost {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "Feedback [%]" → "feedback".
std::string BareName(const std::string& name) {
  std::string bare = name;
  const auto open = bare.rfind(" [");
  if (open != std::string::npos && !bare.empty() && bare.back() == ']') bare.erase(open);
  return Lower(bare);
}

struct OutStream {
  std::vector<std::uint8_t>* bytes;
  std::size_t chunk;
};

struct InStream {
  const std::vector<std::uint8_t>* bytes;
  std::size_t chunk;
  std::size_t at = 0;
};

}  // namespace

bool IsClapReference(const std::string& reference) {
  return reference.size() > 5 && Lower(reference.substr(reference.size() - 5)) == ".clap";
}

// ---- the module

std::shared_ptr<ClapModule> ClapModule::LoadOnly(const std::string& path) {
  std::string why;
  void* handle = clap_loader::Open(path, why);
  if (handle == nullptr) throw HostError("cannot load '" + path + "': " + why);
  const auto* entry = static_cast<const clap_plugin_entry_t*>(clap_loader::Symbol(handle, "clap_entry"));
  if (entry == nullptr) throw HostError("'" + path + "' is not a CLAP plug-in (it exports no clap_entry)");
  if (!clap_version_is_compatible(entry->clap_version))
    throw HostError("'" + path + "' speaks CLAP " + std::to_string(entry->clap_version.major) + "." +
                    std::to_string(entry->clap_version.minor) + ", which vornhost does not");
  return std::shared_ptr<ClapModule>(new ClapModule(handle, entry, path, false));
}

std::shared_ptr<ClapModule> ClapModule::Load(const std::string& path) {
  auto module = LoadOnly(path);
  const std::string absolute = std::filesystem::absolute(path).string();
  if (module->entry_->init == nullptr || !module->entry_->init(absolute.c_str()))
    throw HostError("'" + path + "' refused to initialise (its entry's init answered false)");
  module->initialised_ = true;
  return module;
}

ClapModule::ClapModule(void* handle, const clap_plugin_entry_t* entry, std::string path, bool initialised)
    : handle_(handle), entry_(entry), path_(std::move(path)), initialised_(initialised) {}

ClapModule::~ClapModule() {
  if (initialised_ && entry_->deinit != nullptr) entry_->deinit();
  // The library stays loaded until the process ends, as for VST: a plug-in
  // may have left threads or handlers behind that point into it.
  (void)handle_;
}

const clap_plugin_factory_t* ClapModule::factory() const {
  return static_cast<const clap_plugin_factory_t*>(entry_->get_factory(CLAP_PLUGIN_FACTORY_ID));
}

std::vector<const clap_plugin_descriptor_t*> ClapModule::Descriptors() const {
  std::vector<const clap_plugin_descriptor_t*> out;
  const auto* f = factory();
  if (f == nullptr) return out;
  const std::uint32_t count = f->get_plugin_count(f);
  for (std::uint32_t i = 0; i < count && i < 1000; ++i)
    if (const auto* d = f->get_plugin_descriptor(f, i)) out.push_back(d);
  return out;
}

const clap_plugin_descriptor_t* ClapModule::Choose(const std::string& pluginId) const {
  const auto all = Descriptors();
  if (all.empty()) throw HostError("'" + path_ + "' offers no plug-in (its factory is empty or missing)");
  if (pluginId.empty()) return all.front();
  std::string ids;
  for (const auto* d : all) {
    if (d->id != nullptr && pluginId == d->id) return d;
    ids += std::string(ids.empty() ? "" : ", ") + (d->id != nullptr ? d->id : "(null)");
  }
  throw HostError("'" + path_ + "' has no plug-in '" + pluginId + "'; it has " + ids);
}

// ---- the plug-in

ClapPluginHost::ClapPluginHost(std::shared_ptr<ClapModule> module, const std::string& pluginId, bool offerGui)
    : module_(std::move(module)) {
  services_.OfferGui(offerGui);
  descriptor_ = module_->Choose(pluginId);
  const auto* f = module_->factory();
  plugin_ = f->create_plugin(f, services_.host(), descriptor_->id);
  if (plugin_ == nullptr)
    throw HostError(std::string("the factory would not create '") + descriptor_->id + "'");
  if (!plugin_->init(plugin_)) {
    plugin_->destroy(plugin_);
    plugin_ = nullptr;
    throw HostError(std::string("'") + descriptor_->id + "' refused to initialise (init answered false)");
  }
  services_.SetPlugin(plugin_);
  ReadPorts();
  ReadParams();
  transport_.header = {sizeof(clap_event_transport_t), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_TRANSPORT, 0};
  SetTransport(120, 4, 4, true);
}

ClapPluginHost::~ClapPluginHost() {
  if (plugin_ == nullptr) return;
  Deactivate();
  services_.SetPlugin(nullptr);
  plugin_->destroy(plugin_);
}

const void* ClapPluginHost::Extension(const char* id) const {
  return plugin_->get_extension(plugin_, id);
}

void ClapPluginHost::ReadPorts() {
  const auto* ports = static_cast<const clap_plugin_audio_ports_t*>(Extension(CLAP_EXT_AUDIO_PORTS));
  if (ports == nullptr) return;
  for (bool input : {true, false}) {
    const std::uint32_t count = ports->count(plugin_, input);
    for (std::uint32_t i = 0; i < count && i < 64; ++i) {
      clap_audio_port_info_t info{};
      if (!ports->get(plugin_, i, input, &info)) continue;
      info.name[sizeof info.name - 1] = 0;
      ClapPort port{info.name, info.channel_count, info.flags,
                    info.port_type != nullptr ? info.port_type : ""};
      if (port.channels > 64) throw HostError("audio port '" + port.name + "' claims more than 64 channels");
      (input ? inputs_ : outputs_).push_back(port);
    }
  }
}

void ClapPluginHost::ReadParams() {
  const auto* params = static_cast<const clap_plugin_params_t*>(Extension(CLAP_EXT_PARAMS));
  if (params == nullptr) return;
  const std::uint32_t count = params->count(plugin_);
  for (std::uint32_t i = 0; i < count && i < 100000; ++i) {
    clap_param_info_t info{};
    if (!params->get_info(plugin_, i, &info)) continue;
    info.name[sizeof info.name - 1] = 0;
    info.module[sizeof info.module - 1] = 0;
    params_.push_back({info.id, info.flags, info.cookie, info.name, info.module, info.min_value,
                       info.max_value, info.default_value});
  }
}

bool ClapPluginHost::CanDouble() const {
  if (outputs_.empty()) return false;
  for (const auto& p : inputs_)
    if (!(p.flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS)) return false;
  for (const auto& p : outputs_)
    if (!(p.flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS)) return false;
  return true;
}

const ClapParam* ClapPluginHost::Param(clap_id id) const {
  for (const auto& p : params_)
    if (p.id == id) return &p;
  return nullptr;
}

double ClapPluginHost::Value(clap_id id) const {
  const auto* params = static_cast<const clap_plugin_params_t*>(Extension(CLAP_EXT_PARAMS));
  double value = 0;
  if (params == nullptr || !params->get_value(plugin_, id, &value)) return std::nan("");
  return value;
}

std::string ClapPluginHost::Text(clap_id id, double value) const {
  const auto* params = static_cast<const clap_plugin_params_t*>(Extension(CLAP_EXT_PARAMS));
  char text[256] = {};
  if (params == nullptr || !params->value_to_text(plugin_, id, value, text, sizeof text)) return {};
  text[sizeof text - 1] = 0;
  return text;
}

const ClapParam& ClapPluginHost::Find(const std::string& key) const {
  for (const auto& p : params_)
    if (p.name == key) return p;
  for (const auto& p : params_)
    if (Lower(p.name) == Lower(key) || BareName(p.name) == BareName(key)) return p;
  char* end = nullptr;
  const unsigned long id = std::strtoul(key.c_str(), &end, 10);
  if (!key.empty() && *end == 0)
    if (const ClapParam* p = Param(static_cast<clap_id>(id))) return *p;
  std::string names;
  for (const auto& p : params_) names += (names.empty() ? "\"" : ", \"") + p.name + "\"";
  throw HostError("no parameter '" + key + "'; the plug-in has " + (names.empty() ? "none" : names));
}

ClapParamEvent ClapPluginHost::Resolve(const std::string& assignment) const {
  const auto eq = assignment.rfind('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == assignment.size())
    throw HostError("'" + assignment + "' is not NAME=VALUE");
  const ClapParam& param = Find(assignment.substr(0, eq));
  const std::string text = assignment.substr(eq + 1);
  const auto* params = static_cast<const clap_plugin_params_t*>(Extension(CLAP_EXT_PARAMS));
  double value = 0;
  if (params == nullptr || !params->text_to_value(plugin_, param.id, text.c_str(), &value)) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != 0)
      throw HostError("'" + text + "' is not a value of \"" + param.name + "\"");
  }
  // A number the plug-in took as another (clamped into its range) is
  // refused rather than rendered as something the user did not ask for.
  char* end = nullptr;
  const double asked = std::strtod(text.c_str(), &end);
  if (end != text.c_str() && *end == 0) {
    const std::string shown = Text(param.id, value);
    char* shownEnd = nullptr;
    const double got = std::strtod(shown.c_str(), &shownEnd);
    if (shownEnd != shown.c_str() && std::fabs(got - asked) > 0.01 * std::fabs(asked) + 0.01)
      throw HostError("\"" + param.name + "\" takes " + Text(param.id, param.minimum) + " .. " +
                      Text(param.id, param.maximum) + "; '" + text + "' is outside");
  }
  if (!(value >= param.minimum && value <= param.maximum))
    throw HostError("\"" + param.name + "\" takes " + Text(param.id, param.minimum) + " .. " +
                    Text(param.id, param.maximum) + "; '" + text + "' is outside");
  return {0, param.id, value};
}

std::uint32_t ClapPluginHost::Latency() const {
  const auto* latency = static_cast<const clap_plugin_latency_t*>(Extension(CLAP_EXT_LATENCY));
  return latency != nullptr && active_ ? latency->get(plugin_) : 0;
}

std::uint32_t ClapPluginHost::Tail() const {
  const auto* tail = static_cast<const clap_plugin_tail_t*>(Extension(CLAP_EXT_TAIL));
  return tail != nullptr && active_ ? tail->get(plugin_) : 0;
}

void ClapPluginHost::Activate(double sampleRate, std::uint32_t maxBlock, std::uint32_t minBlock) {
  Deactivate();
  if (!plugin_->activate(plugin_, sampleRate, minBlock, maxBlock))
    throw HostError("the plug-in would not activate at " + std::to_string(sampleRate) + " Hz");
  active_ = true;
  sampleRate_ = sampleRate;
  maxBlock_ = maxBlock;
  position_ = 0;
  block_.reserve(4096);
  // One scratch channel per channel of every port but the main ones.
  scratch32_.clear();
  scratch64_.clear();
  scratchPtr32_.clear();
  scratchPtr64_.clear();
  std::size_t extra = 0;
  for (std::size_t i = 1; i < inputs_.size(); ++i) extra += inputs_[i].channels;
  for (std::size_t i = 1; i < outputs_.size(); ++i) extra += outputs_[i].channels;
  for (std::size_t c = 0; c < extra; ++c) {
    scratch32_.emplace_back(maxBlock, 0.0f);
    scratch64_.emplace_back(maxBlock, 0.0);
  }
  for (std::size_t c = 0; c < extra; ++c) {
    scratchPtr32_.push_back(scratch32_[c].data());
    scratchPtr64_.push_back(scratch64_[c].data());
  }
  inBuffers_.assign(inputs_.size(), clap_audio_buffer_t{});
  outBuffers_.assign(outputs_.size(), clap_audio_buffer_t{});
  std::size_t at = 0;
  for (auto* list : {&inBuffers_, &outBuffers_}) {
    const auto& ports = list == &inBuffers_ ? inputs_ : outputs_;
    for (std::size_t i = 1; i < list->size(); ++i) {
      (*list)[i] = {extra > 0 ? scratchPtr32_.data() + at : nullptr,
                    extra > 0 ? scratchPtr64_.data() + at : nullptr, ports[i].channels, 0, 0};
      at += ports[i].channels;
    }
  }
}

void ClapPluginHost::Deactivate() {
  if (!active_) return;
  if (processing_) StopProcessing();
  plugin_->deactivate(plugin_);
  active_ = false;
}

void ClapPluginHost::StopProcessing() {
  if (!processing_) return;
  services_.EnterAudio();
  plugin_->stop_processing(plugin_);
  services_.LeaveAudio();
  processing_ = false;
}

void ClapPluginHost::SetTransport(double tempo, int numerator, int denominator, bool playing) {
  transport_.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_BEATS_TIMELINE |
                     CLAP_TRANSPORT_HAS_SECONDS_TIMELINE | CLAP_TRANSPORT_HAS_TIME_SIGNATURE |
                     (playing ? static_cast<std::uint32_t>(CLAP_TRANSPORT_IS_PLAYING) : 0u);
  transport_.tempo = tempo;
  transport_.tsig_num = static_cast<std::uint16_t>(numerator);
  transport_.tsig_denom = static_cast<std::uint16_t>(denominator);
}

void ClapPluginHost::Schedule(std::vector<ClapParamEvent> events) {
  queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(next_));
  next_ = 0;
  queue_.insert(queue_.end(), events.begin(), events.end());
  std::stable_sort(queue_.begin(), queue_.end(),
                   [](const ClapParamEvent& a, const ClapParamEvent& b) { return a.frame < b.frame; });
  block_.reserve(queue_.size() + 16);
}

namespace {

clap_event_param_value_t ValueEvent(const ClapParamEvent& e, std::uint32_t time, void* cookie) {
  clap_event_param_value_t v{};
  v.header = {sizeof(clap_event_param_value_t), time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
  v.param_id = e.id;
  v.cookie = cookie;
  v.note_id = -1;
  v.port_index = -1;
  v.channel = -1;
  v.key = -1;
  v.value = e.value;
  return v;
}

struct EventLists {
  explicit EventLists(const std::vector<clap_event_param_value_t>& events) : events_(events) {
    in.ctx = this;
    in.size = [](const clap_input_events_t* list) {
      return static_cast<std::uint32_t>(static_cast<const EventLists*>(list->ctx)->events_.size());
    };
    in.get = [](const clap_input_events_t* list, std::uint32_t index) -> const clap_event_header_t* {
      const auto& events = static_cast<const EventLists*>(list->ctx)->events_;
      return index < events.size() ? &events[index].header : nullptr;
    };
    out.ctx = this;
    out.try_push = [](const clap_output_events_t*, const clap_event_header_t* event) {
      return event != nullptr;
    };
  }
  const std::vector<clap_event_param_value_t>& events_;
  clap_input_events_t in{};
  clap_output_events_t out{};
};

}  // namespace

void ClapPluginHost::Flush(const std::vector<ClapParamEvent>& events) {
  const auto* params = static_cast<const clap_plugin_params_t*>(Extension(CLAP_EXT_PARAMS));
  if (params == nullptr || params->flush == nullptr) return;
  std::vector<clap_event_param_value_t> list;
  for (const auto& e : events) {
    const ClapParam* p = Param(e.id);
    list.push_back(ValueEvent(e, 0, p != nullptr ? p->cookie : nullptr));
  }
  EventLists lists(list);
  params->flush(plugin_, &lists.in, &lists.out);
}

clap_process_status ClapPluginHost::Run(const clap_audio_buffer_t* in, clap_audio_buffer_t* out,
                                        std::uint32_t frames) {
  if (!active_ || frames > maxBlock_)
    return CLAP_PROCESS_ERROR;  // the host's own mistake, never the plug-in's
  services_.EnterAudio();
  if (!processing_) {
    processing_ = plugin_->start_processing(plugin_);
    if (!processing_) {
      services_.LeaveAudio();
      return CLAP_PROCESS_ERROR;
    }
  }
  block_.clear();
  while (next_ < queue_.size() && queue_[next_].frame < position_ + frames) {
    const ClapParamEvent& e = queue_[next_++];
    const std::uint32_t time = e.frame > position_ ? static_cast<std::uint32_t>(e.frame - position_) : 0;
    const ClapParam* p = Param(e.id);
    block_.push_back(ValueEvent(e, time, p != nullptr ? p->cookie : nullptr));
  }
  EventLists lists(block_);
  const double seconds = static_cast<double>(position_) / sampleRate_;
  const double beats = seconds * transport_.tempo / 60.0;
  transport_.song_pos_seconds = static_cast<clap_sectime>(std::llround(seconds * CLAP_SECTIME_FACTOR));
  transport_.song_pos_beats = static_cast<clap_beattime>(std::llround(beats * CLAP_BEATTIME_FACTOR));
  const double beatsPerBar = transport_.tsig_num * 4.0 / std::max<int>(1, transport_.tsig_denom);
  transport_.bar_number = static_cast<std::int32_t>(std::floor(beats / beatsPerBar));
  transport_.bar_start =
      static_cast<clap_beattime>(std::llround(transport_.bar_number * beatsPerBar * CLAP_BEATTIME_FACTOR));
  // The side ports' inputs are silence each block (a plug-in may write into them).
  for (std::size_t i = 1; i < inBuffers_.size(); ++i)
    for (std::uint32_t c = 0; c < inBuffers_[i].channel_count; ++c) {
      std::fill_n(inBuffers_[i].data32[c], frames, 0.0f);
      std::fill_n(inBuffers_[i].data64[c], frames, 0.0);
    }
  if (in != nullptr && !inBuffers_.empty()) inBuffers_[0] = *in;
  if (out != nullptr && !outBuffers_.empty()) outBuffers_[0] = *out;
  clap_process_t process{};
  process.steady_time = static_cast<std::int64_t>(position_);
  process.frames_count = frames;
  process.transport = &transport_;
  process.audio_inputs = inBuffers_.empty() ? nullptr : inBuffers_.data();
  process.audio_outputs = outBuffers_.empty() ? nullptr : outBuffers_.data();
  process.audio_inputs_count = static_cast<std::uint32_t>(inBuffers_.size());
  process.audio_outputs_count = static_cast<std::uint32_t>(outBuffers_.size());
  process.in_events = &lists.in;
  process.out_events = &lists.out;
  const clap_process_status status = plugin_->process(plugin_, &process);
  services_.LeaveAudio();
  position_ += frames;
  return status;
}

clap_process_status ClapPluginHost::Process(const float* const* in, float* const* out, std::uint32_t frames) {
  clap_audio_buffer_t input{const_cast<float**>(in), nullptr, static_cast<std::uint32_t>(numInputs()), 0, 0};
  clap_audio_buffer_t output{const_cast<float**>(out), nullptr, static_cast<std::uint32_t>(numOutputs()), 0,
                             0};
  return Run(numInputs() > 0 ? &input : nullptr, numOutputs() > 0 ? &output : nullptr, frames);
}

clap_process_status ClapPluginHost::Process64(const double* const* in, double* const* out,
                                              std::uint32_t frames) {
  clap_audio_buffer_t input{nullptr, const_cast<double**>(in), static_cast<std::uint32_t>(numInputs()), 0, 0};
  clap_audio_buffer_t output{nullptr, const_cast<double**>(out), static_cast<std::uint32_t>(numOutputs()), 0,
                             0};
  return Run(numInputs() > 0 ? &input : nullptr, numOutputs() > 0 ? &output : nullptr, frames);
}

// ---- state

bool ClapPluginHost::HasState() const {
  return Extension(CLAP_EXT_STATE) != nullptr;
}

bool ClapPluginHost::SaveState(std::vector<std::uint8_t>& bytes, std::size_t chunk) const {
  const auto* state = static_cast<const clap_plugin_state_t*>(Extension(CLAP_EXT_STATE));
  if (state == nullptr) return false;
  bytes.clear();
  OutStream sink{&bytes, std::max<std::size_t>(chunk, 1)};
  clap_ostream_t stream{&sink,
                        [](const clap_ostream_t* s, const void* buffer, std::uint64_t size) -> std::int64_t {
                          auto* sink = static_cast<OutStream*>(s->ctx);
                          if (buffer == nullptr || sink->bytes->size() > (64u << 20)) return -1;
                          const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(size, sink->chunk));
                          const auto* b = static_cast<const std::uint8_t*>(buffer);
                          sink->bytes->insert(sink->bytes->end(), b, b + n);
                          return static_cast<std::int64_t>(n);
                        }};
  return state->save(plugin_, &stream);
}

bool ClapPluginHost::LoadState(const std::vector<std::uint8_t>& bytes, std::size_t chunk) {
  const auto* state = static_cast<const clap_plugin_state_t*>(Extension(CLAP_EXT_STATE));
  if (state == nullptr) return false;
  InStream source{&bytes, std::max<std::size_t>(chunk, 1)};
  clap_istream_t stream{
      &source, [](const clap_istream_t* s, void* buffer, std::uint64_t size) -> std::int64_t {
        auto* source = static_cast<InStream*>(s->ctx);
        if (buffer == nullptr) return -1;
        const std::size_t left = source->bytes->size() - source->at;
        const auto n = static_cast<std::size_t>(
            std::min<std::uint64_t>({size, source->chunk, static_cast<std::uint64_t>(left)}));
        if (n > 0) std::memcpy(buffer, source->bytes->data() + source->at, n);
        source->at += n;
        return static_cast<std::int64_t>(n);
      }};
  return state->load(plugin_, &stream);
}

}  // namespace vornhost
