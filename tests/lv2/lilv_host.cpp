#include "tests/lv2/lilv_host.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>

namespace lv2test {

namespace {

constexpr const char* kPluginUri = "urn:fenmoor:vorn-delay-2";

LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<UridMap*>(handle)->Map(uri);
}

const char* UnmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
  return static_cast<UridMap*>(handle)->Unmap(urid);
}

}  // namespace

UridMap::UridMap() {
  map = {this, MapUri};
  unmap = {this, UnmapUrid};
  mapFeature = {LV2_URID__map, &map};
  unmapFeature = {LV2_URID__unmap, &unmap};
}

LV2_URID UridMap::Map(const std::string& uri) {
  auto [it, added] = ids_.emplace(uri, static_cast<LV2_URID>(names_.size() + 1));
  if (added) names_.push_back(uri);
  return it->second;
}

const char* UridMap::Unmap(LV2_URID urid) const {
  return urid >= 1 && urid <= names_.size() ? names_[urid - 1].c_str() : nullptr;
}

World& World::Get() {
  static World world;
  return world;
}

World::World() {
  // Only the build tree's bundle, never an installed copy.
  setenv("LV2_PATH", VORN_LV2_PATH, 1);
  world = lilv_world_new();
  lilv_world_load_all(world);
  LilvNode* uri = Uri(kPluginUri);
  plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
  lilv_node_free(uri);
}

Instance::Instance(double sampleRate, int blockLength, bool withFeatures) : atomBuffer_(4096) {
  World& w = World::Get();
  if (w.plugin == nullptr) return;
  static std::int32_t length;
  length = blockLength;
  static LV2_Options_Option options[2];
  options[0] = {
      LV2_OPTIONS_INSTANCE,       0,      w.urids.Map(LV2_BUF_SIZE__nominalBlockLength), sizeof(std::int32_t),
      w.urids.Map(LV2_ATOM__Int), &length};
  options[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
  static LV2_Feature optionsFeature;
  optionsFeature = {LV2_OPTIONS__options, options};
  const LV2_Feature* features[] = {&w.urids.mapFeature, &w.urids.unmapFeature, &optionsFeature, nullptr};
  instance = lilv_plugin_instantiate(w.plugin, sampleRate, withFeatures ? features : nullptr);
  if (instance == nullptr) return;

  const std::uint32_t ports = lilv_plugin_get_num_ports(w.plugin);
  controls_.assign(ports, 0.0f);
  std::vector<float> defaults(ports, 0.0f);
  lilv_plugin_get_port_ranges_float(w.plugin, nullptr, nullptr, defaults.data());
  LilvNode* control = w.Uri(LV2_CORE__ControlPort);
  for (std::uint32_t i = 0; i < ports; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(w.plugin, i);
    portOf_[lilv_node_as_string(lilv_port_get_symbol(w.plugin, port))] = i;
    if (lilv_port_is_a(w.plugin, port, control)) {
      controls_[i] = defaults[i];
      lilv_instance_connect_port(instance, i, &controls_[i]);
    }
  }
  lilv_node_free(control);
  lilv_instance_connect_port(instance, 4, atomBuffer_.data());
  ForgePosition(nullptr);
  lilv_instance_activate(instance);
}

Instance::~Instance() {
  if (instance == nullptr) return;
  lilv_instance_deactivate(instance);
  lilv_instance_free(instance);
}

void Instance::Set(const std::string& symbol, float value) {
  controls_.at(portOf_.at(symbol)) = value;
}

float Instance::Get(const std::string& symbol) const {
  return controls_.at(portOf_.at(symbol));
}

void Instance::DisconnectTimeInput() {
  lilv_instance_connect_port(instance, 4, nullptr);
  timeConnected_ = false;
}

void Instance::ForgePosition(const Position* position) {
  if (!timeConnected_) return;
  UridMap& u = World::Get().urids;
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, &u.map);
  lv2_atom_forge_set_buffer(&forge, atomBuffer_.data(), atomBuffer_.size());
  LV2_Atom_Forge_Frame sequence;
  lv2_atom_forge_sequence_head(&forge, &sequence, 0);
  if (position != nullptr) {
    lv2_atom_forge_frame_time(&forge, 0);
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_object(&forge, &object, 0, u.Map(LV2_TIME__Position));
    lv2_atom_forge_key(&forge, u.Map(LV2_TIME__beatsPerMinute));
    lv2_atom_forge_float(&forge, static_cast<float>(position->beatsPerMinute));
    lv2_atom_forge_key(&forge, u.Map(LV2_TIME__beatsPerBar));
    lv2_atom_forge_float(&forge, static_cast<float>(position->beatsPerBar));
    lv2_atom_forge_key(&forge, u.Map(LV2_TIME__beatUnit));
    lv2_atom_forge_int(&forge, static_cast<std::int32_t>(position->beatUnit));
    lv2_atom_forge_key(&forge, u.Map(LV2_TIME__bar));
    lv2_atom_forge_long(&forge, static_cast<std::int64_t>(position->bar));
    lv2_atom_forge_key(&forge, u.Map(LV2_TIME__barBeat));
    lv2_atom_forge_float(&forge, static_cast<float>(position->barBeat));
    lv2_atom_forge_key(&forge, u.Map(LV2_TIME__speed));
    lv2_atom_forge_float(&forge, static_cast<float>(position->speed));
    lv2_atom_forge_pop(&forge, &object);
  }
  lv2_atom_forge_pop(&forge, &sequence);
}

void Instance::Process(std::vector<float>& left, std::vector<float>& right, int block,
                       const Position* position) {
  ForgePosition(position);
  for (std::size_t start = 0; start < left.size(); start += static_cast<std::size_t>(block)) {
    const auto frames = static_cast<std::uint32_t>(std::min<std::size_t>(block, left.size() - start));
    lilv_instance_connect_port(instance, 0, left.data() + start);
    lilv_instance_connect_port(instance, 1, right.data() + start);
    lilv_instance_connect_port(instance, 2, left.data() + start);
    lilv_instance_connect_port(instance, 3, right.data() + start);
    lilv_instance_run(instance, frames);
    if (start == 0) ForgePosition(nullptr);  // the position goes with the first block only
  }
}

namespace {

const void* PortValue(const char* symbol, void* data, std::uint32_t* size, std::uint32_t* type) {
  auto* self = static_cast<std::pair<Instance*, LV2_URID>*>(data);
  static float value;
  value = self->first->Get(symbol);
  *size = sizeof value;
  *type = self->second;
  return &value;
}

void SetPortValue(const char* symbol, void* data, const void* value, std::uint32_t size, std::uint32_t) {
  auto* self = static_cast<std::pair<Instance*, LV2_URID>*>(data);
  if (size == sizeof(float)) self->first->Set(symbol, *static_cast<const float*>(value));
}

}  // namespace

std::string Instance::SaveState() {
  World& w = World::Get();
  std::pair<Instance*, LV2_URID> self{this, w.urids.Map(LV2_ATOM__Float)};
  LilvState* state = lilv_state_new_from_instance(w.plugin, instance, &w.urids.map, nullptr, nullptr, nullptr,
                                                  nullptr, PortValue, &self, 0, nullptr);
  if (state == nullptr) return {};
  char* text = lilv_state_to_string(w.world, &w.urids.map, &w.urids.unmap, state, "urn:test:state", nullptr);
  std::string turtle = text != nullptr ? text : "";
  lilv_free(text);
  lilv_state_free(state);
  return turtle;
}

bool Instance::RestoreState(const std::string& turtle, bool withPorts) {
  World& w = World::Get();
  LilvState* state = lilv_state_new_from_string(w.world, &w.urids.map, turtle.c_str());
  if (state == nullptr) return false;
  std::pair<Instance*, LV2_URID> self{this, w.urids.Map(LV2_ATOM__Float)};
  lilv_state_restore(state, instance, withPorts ? SetPortValue : nullptr, &self, 0, nullptr);
  lilv_state_free(state);
  return true;
}

}  // namespace lv2test
