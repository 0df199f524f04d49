#include "host/lv2/lv2_plugin_host.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/port-props/port-props.h>
#include <lv2/presets/presets.h>
#include <lv2/time/time.h>
#include <lv2/units/units.h>

#include "host/host_error.h"

namespace vornhost {

namespace {

constexpr std::size_t kAtomCapacity = 8192;

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

class Node {
 public:
  Node(LilvWorld* world, const char* uri) : node_(lilv_new_uri(world, uri)) {}
  ~Node() { lilv_node_free(node_); }
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  const LilvNode* get() const { return node_; }

 private:
  LilvNode* node_;
};

std::string TakeString(LilvNode* node) {
  std::string text = node != nullptr ? lilv_node_as_string(node) : "";
  lilv_node_free(node);
  return text;
}

LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri);
const char* UnmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid);

}  // namespace

bool IsLv2Reference(const std::string& reference) {
  if (reference.empty() || IsFile(reference)) return false;
  if (IsFolder(reference)) return true;
  // A URI: a scheme of letters, then ':'; "C:" style drive letters are not one.
  const std::size_t colon = reference.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    if (!std::isalpha(static_cast<unsigned char>(reference[i]))) return false;
  }
  return true;
}

namespace {

LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri) {
  return uri != nullptr ? static_cast<Lv2PluginHost*>(handle)->Map(uri) : 0;
}

}  // namespace

std::uint32_t Lv2PluginHost::Map(const char* uri) {
  // A known URI is only looked up, so the audio path allocates nothing.
  const auto known = ids_.find(std::string_view(uri));
  if (known != ids_.end()) return known->second;
  const auto id = static_cast<LV2_URID>(names_.size() + 1);
  names_.emplace_back(uri);
  ids_.emplace(uri, id);
  return id;
}

Lv2PluginHost::Lv2PluginHost(const std::string& reference)
    : ownedWorld_(lilv_world_new()), world_(ownedWorld_.get()) {
  map_ = {this, MapUri};
  unmap_ = {&names_, UnmapUrid};
  lilv_world_load_all(world_);
  std::string uri = reference;
  if (IsFolder(reference)) {
    // A bundle folder: load it and take its first plug-in.
    std::string folder = reference;
    if (folder.back() != '/') folder += '/';
    // lilv would print its own lines about the missing file first.
    if (!IsFile(folder + "manifest.ttl"))
      throw HostError("no LV2 plug-in in the bundle '" + reference + "': it has no manifest.ttl");
    LilvNode* bundle = lilv_new_file_uri(world_, nullptr, folder.c_str());
    const auto find = [&] {
      const LilvPlugins* all = lilv_world_get_all_plugins(world_);
      LILV_FOREACH(plugins, it, all) {
        const LilvPlugin* candidate = lilv_plugins_get(all, it);
        if (lilv_node_equals(lilv_plugin_get_bundle_uri(candidate), bundle)) return candidate;
      }
      return static_cast<const LilvPlugin*>(nullptr);
    };
    // Loaded already when the folder lies on the search path.
    plugin_ = find();
    if (plugin_ == nullptr) {
      lilv_world_load_bundle(world_, bundle);
      plugin_ = find();
    }
    lilv_node_free(bundle);
    if (plugin_ == nullptr) throw HostError("no LV2 plug-in in the bundle '" + reference + "'");
  } else {
    LilvNode* node = lilv_new_uri(world_, uri.c_str());
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), node);
    lilv_node_free(node);
    if (plugin_ == nullptr)
      throw HostError("no LV2 plug-in '" + reference +
                      "' installed (searched LV2_PATH or the default folders)");
  }
  if (!lilv_plugin_verify(plugin_)) throw HostError("the LV2 description of '" + Uri() + "' is invalid");
  LoadControls();
}

Lv2PluginHost::~Lv2PluginHost() {
  Stop();
}

namespace {

const char* UnmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
  const auto* names = static_cast<const std::deque<std::string>*>(handle);
  return urid >= 1 && urid <= names->size() ? (*names)[urid - 1].c_str() : nullptr;
}

}  // namespace

void Lv2PluginHost::LoadControls() {
  Node audio(world_, LV2_CORE__AudioPort), control(world_, LV2_CORE__ControlPort),
      input(world_, LV2_CORE__InputPort), atom(world_, LV2_ATOM__AtomPort), cv(world_, LV2_CORE__CVPort),
      position(world_, LV2_TIME__Position), toggled(world_, LV2_CORE__toggled),
      integer(world_, LV2_CORE__integer), enumeration(world_, LV2_CORE__enumeration),
      unitKey(world_, LV2_UNITS__unit), enabled(world_, LV2_CORE__enabled);
  const LilvPort* bypass = lilv_plugin_get_port_by_designation(plugin_, input.get(), enabled.get());
  const std::uint32_t count = lilv_plugin_get_num_ports(plugin_);
  controlValues_.assign(count, 0.0f);
  std::vector<float> minimum(count), maximum(count), defaults(count);
  lilv_plugin_get_port_ranges_float(plugin_, minimum.data(), maximum.data(), defaults.data());
  for (std::uint32_t i = 0; i < count; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin_, i);
    const bool isInput = lilv_port_is_a(plugin_, port, input.get());
    if (lilv_port_is_a(plugin_, port, audio.get())) {
      (isInput ? audioIn_ : audioOut_).push_back(i);
    } else if (lilv_port_is_a(plugin_, port, atom.get())) {
      if (isInput && lilv_port_supports_event(plugin_, port, position.get())) timeIn_.push_back(i);
      (isInput ? atomIn_ : atomOut_).push_back(i);
    } else if (port == bypass && lilv_port_is_a(plugin_, port, control.get())) {
      bypassPort_ = i;
    } else if (lilv_port_is_a(plugin_, port, control.get()) && isInput) {
      Lv2Control c;
      c.index = i;
      c.symbol = lilv_node_as_string(lilv_port_get_symbol(plugin_, port));
      c.name = TakeString(lilv_port_get_name(plugin_, port));
      c.minimum = std::isnan(minimum[i]) ? 0.0f : minimum[i];
      c.maximum = std::isnan(maximum[i]) ? 1.0f : maximum[i];
      c.defaultValue = std::isnan(defaults[i]) ? c.minimum : defaults[i];
      c.toggled = lilv_port_has_property(plugin_, port, toggled.get());
      c.integer = lilv_port_has_property(plugin_, port, integer.get());
      c.enumeration = lilv_port_has_property(plugin_, port, enumeration.get());
      if (LilvNodes* units = lilv_port_get_value(plugin_, port, unitKey.get())) {
        std::string unit = lilv_node_as_string(lilv_nodes_get_first(units));
        const std::size_t hash = unit.rfind('#');
        c.unit = hash != std::string::npos ? unit.substr(hash + 1) : unit;
        lilv_nodes_free(units);
      }
      if (LilvScalePoints* points = lilv_port_get_scale_points(plugin_, port)) {
        LILV_FOREACH(scale_points, it, points) {
          const LilvScalePoint* p = lilv_scale_points_get(points, it);
          c.scalePoints.emplace_back(lilv_node_as_float(lilv_scale_point_get_value(p)),
                                     lilv_node_as_string(lilv_scale_point_get_label(p)));
        }
        std::sort(c.scalePoints.begin(), c.scalePoints.end());
        lilv_scale_points_free(points);
      }
      controlValues_[i] = c.defaultValue;
      controls_.push_back(std::move(c));
    } else {
      otherOut_.push_back(i);  // control outputs and CV ports: scratch buffers
    }
  }
}

std::string Lv2PluginHost::Uri() const {
  return lilv_node_as_uri(lilv_plugin_get_uri(plugin_));
}

std::string Lv2PluginHost::Name() const {
  return TakeString(lilv_plugin_get_name(plugin_));
}

std::string Lv2PluginHost::Author() const {
  return TakeString(lilv_plugin_get_author_name(plugin_));
}

std::string Lv2PluginHost::BundlePath() const {
  char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_plugin_get_bundle_uri(plugin_)), nullptr);
  std::string text = path != nullptr ? path : "";
  lilv_free(path);
  return text;
}

std::vector<std::string> Lv2PluginHost::RequiredFeatures() const {
  std::vector<std::string> names;
  LilvNodes* features = lilv_plugin_get_required_features(plugin_);
  LILV_FOREACH(nodes, it, features) names.emplace_back(lilv_node_as_uri(lilv_nodes_get(features, it)));
  lilv_nodes_free(features);
  return names;
}

std::vector<std::string> Lv2PluginHost::Uis() const {
  std::vector<std::string> names;
  LilvUIs* uis = lilv_plugin_get_uis(plugin_);
  LILV_FOREACH(uis, it, uis) names.emplace_back(lilv_node_as_uri(lilv_ui_get_uri(lilv_uis_get(uis, it))));
  lilv_uis_free(uis);
  return names;
}

bool Lv2PluginHost::HasLatency() const {
  return lilv_plugin_has_latency(plugin_);
}

void Lv2PluginHost::Start(double sampleRate, int maxBlock, bool activate) {
  Stop();
  sampleRate_ = sampleRate;
  blockLength_ = maxBlock;
  options_ = {{LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__maxBlockLength), sizeof(std::int32_t),
               Map(LV2_ATOM__Int), &blockLength_},
              {LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__nominalBlockLength), sizeof(std::int32_t),
               Map(LV2_ATOM__Int), &blockLength_},
              {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  LV2_Feature mapFeature{LV2_URID__map, &map_};
  LV2_Feature unmapFeature{LV2_URID__unmap, &unmap_};
  LV2_Feature optionsFeature{LV2_OPTIONS__options, options_.data()};
  LV2_Feature bounded{LV2_BUF_SIZE__boundedBlockLength, nullptr};
  const LV2_Feature* features[] = {&mapFeature, &unmapFeature, &optionsFeature, &bounded, nullptr};
  instance_ = lilv_plugin_instantiate(plugin_, sampleRate, features);
  if (instance_ == nullptr) {
    std::string needed;
    for (const std::string& f : RequiredFeatures()) needed += " " + f;
    throw HostError("the LV2 plug-in '" + Uri() + "' could not be instantiated (it requires:" + needed + ")");
  }
  for (const Lv2Control& c : controls_)
    lilv_instance_connect_port(instance_, c.index, &controlValues_[c.index]);
  if (bypassPort_ >= 0)
    lilv_instance_connect_port(instance_, static_cast<std::uint32_t>(bypassPort_), &bypassValue_);
  atomBuffers_.assign(atomIn_.size() + atomOut_.size(), std::vector<std::uint8_t>(kAtomCapacity));
  for (std::size_t a = 0; a < atomIn_.size(); ++a)
    lilv_instance_connect_port(instance_, atomIn_[a], atomBuffers_[a].data());
  for (std::size_t a = 0; a < atomOut_.size(); ++a)
    lilv_instance_connect_port(instance_, atomOut_[a], atomBuffers_[atomIn_.size() + a].data());
  scratch_.assign(otherOut_.size(), std::vector<float>(static_cast<std::size_t>(maxBlock) + 1, 0.0f));
  for (std::size_t s = 0; s < otherOut_.size(); ++s)
    lilv_instance_connect_port(instance_, otherOut_[s], scratch_[s].data());
  // Every URI the audio path forges, mapped now.
  for (const char* uri :
       {LV2_ATOM__Chunk, LV2_ATOM__Sequence, LV2_ATOM__Object, LV2_ATOM__Float, LV2_ATOM__Int, LV2_ATOM__Long,
        LV2_TIME__Position, LV2_TIME__frame, LV2_TIME__speed, LV2_TIME__beatsPerMinute, LV2_TIME__beatsPerBar,
        LV2_TIME__beatUnit, LV2_TIME__bar, LV2_TIME__barBeat})
    Map(uri);
  // And those the forge maps when it starts, on every block.
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, &map_);
  if (activate) lilv_instance_activate(instance_);
  active_ = activate;
}

void Lv2PluginHost::Stop() {
  if (instance_ == nullptr) return;
  if (active_) lilv_instance_deactivate(instance_);
  active_ = false;
  lilv_instance_free(instance_);
  instance_ = nullptr;
}

void Lv2PluginHost::Assign(const std::string& assignment) {
  const std::size_t equals = assignment.rfind('=');
  if (equals == std::string::npos || equals == 0)
    throw HostError("'" + assignment + "' is not NAME=VALUE (NAME: a control's symbol or name)");
  const std::string key = assignment.substr(0, equals);
  const std::string text = assignment.substr(equals + 1);
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end == nullptr || *end != '\0' || !std::isfinite(value))
    throw HostError("'" + text + "' is not a number (in '" + assignment + "')");
  for (const Lv2Control& c : controls_) {
    if (c.symbol == key || c.name == key) {
      controlValues_[c.index] = static_cast<float>(value);
      return;
    }
  }
  std::string known;
  for (const Lv2Control& c : controls_) known += " " + c.symbol;
  throw HostError("no control '" + key + "'; the controls are:" + known);
}

std::vector<std::pair<std::string, std::string>> Lv2PluginHost::Presets() const {
  std::vector<std::pair<std::string, std::string>> found;
  Node presetClass(world_, LV2_PRESETS__Preset), label(world_, LILV_NS_RDFS "label");
  LilvNodes* related = lilv_plugin_get_related(plugin_, presetClass.get());
  LILV_FOREACH(nodes, it, related) {
    const LilvNode* uri = lilv_nodes_get(related, it);
    lilv_world_load_resource(world_, uri);
    LilvNodes* labels = lilv_world_find_nodes(world_, uri, label.get(), nullptr);
    std::string text = labels != nullptr ? lilv_node_as_string(lilv_nodes_get_first(labels)) : "";
    lilv_nodes_free(labels);
    found.emplace_back(text, lilv_node_as_uri(uri));
  }
  lilv_nodes_free(related);
  std::sort(found.begin(), found.end());
  return found;
}

namespace {

void SetPortValue(const char* symbol, void* user, const void* value, std::uint32_t size, std::uint32_t type) {
  auto* host = static_cast<Lv2PluginHost*>(user);
  if (size != sizeof(float) || value == nullptr) return;
  float number = 0;
  if (type == host->Map(LV2_ATOM__Float)) {
    std::memcpy(&number, value, sizeof number);
  } else if (type == host->Map(LV2_ATOM__Int)) {
    std::int32_t whole = 0;
    std::memcpy(&whole, value, sizeof whole);
    number = static_cast<float>(whole);
  } else {
    return;
  }
  host->SetControl(symbol, number);
}

}  // namespace

void Lv2PluginHost::SetControl(const char* symbol, float value) {
  for (const Lv2Control& c : controls_) {
    if (c.symbol == symbol) controlValues_[c.index] = value;
  }
}

void Lv2PluginHost::ApplyPreset(const std::string& preset) {
  if (instance_ == nullptr) throw HostError("a preset needs a running instance");
  std::string wanted = preset;
  for (char& ch : wanted) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  const auto presets = Presets();
  std::string uri;
  for (const auto& [label, presetUri] : presets) {
    std::string lower = label;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (lower == wanted || presetUri == preset) uri = presetUri;
  }
  if (uri.empty()) {
    std::string names;
    for (const auto& [label, presetUri] : presets) names += (names.empty() ? "" : ", ") + label;
    throw HostError("no preset '" + preset + "' for '" + Uri() + "'" +
                    (names.empty() ? std::string(" (it has none)") : "; there are: " + names));
  }
  LilvNode* node = lilv_new_uri(world_, uri.c_str());
  LilvState* state = lilv_state_new_from_world(world_, &map_, node);
  lilv_node_free(node);
  if (state == nullptr) throw HostError("the preset '" + preset + "' (" + uri + ") cannot be read");
  lilv_state_restore(state, instance_, SetPortValue, this, 0, nullptr);
  lilv_state_free(state);
}

void Lv2PluginHost::ForgeInputs(double samplePos) {
  for (std::size_t a = 0; a < atomIn_.size(); ++a) {
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map_);
    lv2_atom_forge_set_buffer(&forge, atomBuffers_[a].data(), atomBuffers_[a].size());
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    const bool wantsTime = std::find(timeIn_.begin(), timeIn_.end(), atomIn_[a]) != timeIn_.end();
    if (wantsTime) {
      // The transport at the block's first frame.
      const double beats = samplePos / sampleRate_ * transport_.tempo / 60.0;
      const double perBar = transport_.timeSigNumerator;
      const double bar = std::floor(beats / perBar);
      lv2_atom_forge_frame_time(&forge, 0);
      LV2_Atom_Forge_Frame object;
      lv2_atom_forge_object(&forge, &object, 0, Map(LV2_TIME__Position));
      lv2_atom_forge_key(&forge, Map(LV2_TIME__frame));
      lv2_atom_forge_long(&forge, static_cast<std::int64_t>(samplePos));
      lv2_atom_forge_key(&forge, Map(LV2_TIME__speed));
      lv2_atom_forge_float(&forge, transport_.playing ? 1.0f : 0.0f);
      lv2_atom_forge_key(&forge, Map(LV2_TIME__beatsPerMinute));
      lv2_atom_forge_float(&forge, static_cast<float>(transport_.tempo));
      lv2_atom_forge_key(&forge, Map(LV2_TIME__beatsPerBar));
      lv2_atom_forge_float(&forge, static_cast<float>(perBar));
      lv2_atom_forge_key(&forge, Map(LV2_TIME__beatUnit));
      lv2_atom_forge_int(&forge, transport_.timeSigDenominator);
      lv2_atom_forge_key(&forge, Map(LV2_TIME__bar));
      lv2_atom_forge_long(&forge, static_cast<std::int64_t>(bar));
      lv2_atom_forge_key(&forge, Map(LV2_TIME__barBeat));
      lv2_atom_forge_float(&forge, static_cast<float>(beats - bar * perBar));
      lv2_atom_forge_pop(&forge, &object);
    }
    lv2_atom_forge_pop(&forge, &sequence);
  }
  // Output sequences start empty with their whole capacity offered.
  for (std::size_t a = 0; a < atomOut_.size(); ++a) {
    auto* atom = reinterpret_cast<LV2_Atom*>(atomBuffers_[atomIn_.size() + a].data());
    atom->size = static_cast<std::uint32_t>(kAtomCapacity - sizeof(LV2_Atom));
    atom->type = Map(LV2_ATOM__Chunk);
  }
}

void Lv2PluginHost::Process(const float* const* in, float* const* out, int frames, double samplePos) {
  ForgeInputs(samplePos);
  for (std::size_t i = 0; i < audioIn_.size(); ++i)
    lilv_instance_connect_port(instance_, audioIn_[i], const_cast<float*>(in[i]));
  for (std::size_t o = 0; o < audioOut_.size(); ++o)
    lilv_instance_connect_port(instance_, audioOut_[o], out[o]);
  lilv_instance_run(instance_, static_cast<std::uint32_t>(frames));
}

}  // namespace vornhost
