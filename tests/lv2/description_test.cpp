// What an LV2 host reads from the bundle through lilv: the ports match the
// effect's own sliders (the VST parameters), and the UI is announced with
// the features it needs.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/port-props/port-props.h>
#include <lv2/ui/ui.h>
#include <lv2/units/units.h>

#include "effect/morvox_effect.h"
#include "tests/lv2/lilv_host.h"

namespace {

using lv2test::World;

class Node {
 public:
  explicit Node(LilvNode* node) : node_(node) {}
  ~Node() { lilv_node_free(node_); }
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  const LilvNode* get() const { return node_; }

 private:
  LilvNode* node_;
};

std::string Text(const LilvNode* node) {
  return node != nullptr ? lilv_node_as_string(node) : "";
}

TEST(Lv2Description, TheBundleIsFoundWithTwoAudioPairsAnAtomInputAndOneControlPerSlider) {
  World& w = World::Get();
  ASSERT_NE(w.plugin, nullptr) << "no bundle under " << VORN_LV2_PATH;
  EXPECT_TRUE(lilv_plugin_verify(w.plugin));
  Node name(lilv_plugin_get_name(w.plugin));
  EXPECT_EQ(Text(name.get()), "Vorn Delay 2");
  EXPECT_FALSE(lilv_plugin_has_latency(w.plugin));

  const TMorvoxEffect effect;
  // Audio, time, the controls, the bypass at index 15 and the meter.
  ASSERT_EQ(lilv_plugin_get_num_ports(w.plugin), 5u + static_cast<unsigned>(effect.SliderCount()) + 2u);
  Node audio(w.Uri(LV2_CORE__AudioPort)), input(w.Uri(LV2_CORE__InputPort)),
      output(w.Uri(LV2_CORE__OutputPort));
  for (unsigned i = 0; i < 4; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(w.plugin, i);
    EXPECT_TRUE(lilv_port_is_a(w.plugin, port, audio.get())) << i;
    EXPECT_TRUE(lilv_port_is_a(w.plugin, port, i < 2 ? input.get() : output.get())) << i;
  }
  Node atomPort(w.Uri(LV2_ATOM__AtomPort)), position(w.Uri("http://lv2plug.in/ns/ext/time#Position"));
  const LilvPort* time = lilv_plugin_get_port_by_index(w.plugin, 4);
  EXPECT_TRUE(lilv_port_is_a(w.plugin, time, atomPort.get()));
  EXPECT_TRUE(lilv_port_supports_event(w.plugin, time, position.get()));
  Node controlPort(w.Uri(LV2_CORE__ControlPort));
  const LilvPort* meter = lilv_plugin_get_port_by_index(w.plugin, 16);
  EXPECT_TRUE(lilv_port_is_a(w.plugin, meter, controlPort.get()));
  EXPECT_TRUE(lilv_port_is_a(w.plugin, meter, output.get()));
  EXPECT_EQ(Text(lilv_port_get_symbol(w.plugin, meter)), "meter");

  // Nothing is required of the host (a URI map is optional: without one
  // the plug-in runs with no transport and no state).
  LilvNodes* required = lilv_plugin_get_required_features(w.plugin);
  EXPECT_EQ(lilv_nodes_size(required), 0u);
  lilv_nodes_free(required);
}

TEST(Lv2Description, ControlsCarryTheSlidersNamesRangesDefaultsUnitsAndOptions) {
  World& w = World::Get();
  ASSERT_NE(w.plugin, nullptr);
  const TMorvoxEffect effect;
  Node control(w.Uri(LV2_CORE__ControlPort)), toggled(w.Uri(LV2_CORE__toggled)),
      enumeration(w.Uri(LV2_CORE__enumeration)), unitKey(w.Uri(LV2_UNITS__unit));
  const std::string expectedUnits[] = {"", LV2_UNITS__ms, "",           LV2_UNITS__pc, LV2_UNITS__hz, "", "",
                                       "", LV2_UNITS__db, LV2_UNITS__db};
  const std::string expectedNames[] = {"Delay [1/4 Notes]", "Delay",     "Tempo Delay", "Feedback", "Color",
                                       "Resonance",         "Color Mix", "Ping Pong",   "Dry",      "Wet"};
  ASSERT_EQ(effect.SliderCount(), 10);
  for (int i = 0; i < effect.SliderCount(); ++i) {
    SCOPED_TRACE(i);
    const SliderInfo& slider = *effect.SliderAt(i);
    const LilvPort* port = lilv_plugin_get_port_by_index(w.plugin, 5u + static_cast<unsigned>(i));
    ASSERT_TRUE(lilv_port_is_a(w.plugin, port, control.get()));
    Node name(lilv_port_get_name(w.plugin, port));
    EXPECT_EQ(Text(name.get()), expectedNames[i]);
    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(w.plugin, port, &def, &min, &max);
    EXPECT_EQ(lilv_node_as_float(def), static_cast<float>(slider.defaultValue));
    EXPECT_EQ(lilv_node_as_float(min), static_cast<float>(slider.minimum));
    EXPECT_EQ(lilv_node_as_float(max), static_cast<float>(slider.maximum));
    lilv_node_free(def);
    lilv_node_free(min);
    lilv_node_free(max);
    LilvNodes* units = lilv_port_get_value(w.plugin, port, unitKey.get());
    EXPECT_EQ(units != nullptr ? Text(lilv_nodes_get_first(units)) : "", expectedUnits[i]);
    lilv_nodes_free(units);
    EXPECT_EQ(lilv_port_has_property(w.plugin, port, toggled.get()), i == 2 || i == 7);
    EXPECT_EQ(lilv_port_has_property(w.plugin, port, enumeration.get()), i == 0);
  }

  // The quarter-note option: 24 points, labelled as the VST displays them.
  const LilvPort* quarter = lilv_plugin_get_port_by_index(w.plugin, 5);
  LilvScalePoints* points = lilv_port_get_scale_points(w.plugin, quarter);
  ASSERT_EQ(lilv_scale_points_size(points), 24u);
  std::set<std::pair<int, std::string>> seen;
  LILV_FOREACH(scale_points, it, points) {
    const LilvScalePoint* point = lilv_scale_points_get(points, it);
    seen.emplace(static_cast<int>(lilv_node_as_float(lilv_scale_point_get_value(point))),
                 Text(lilv_scale_point_get_label(point)));
  }
  lilv_scale_points_free(points);
  std::set<std::pair<int, std::string>> expected;
  for (int k = 0; k < 24; ++k) expected.emplace(k, effect.sliders[0].options[static_cast<std::size_t>(k)]);
  EXPECT_EQ(seen, expected);
}

// The UI needs no instance-access: it may live in a process of its own.
TEST(Lv2Description, TheX11UiNeedsItsParentAndIdleButNotTheInstance) {
  World& w = World::Get();
  ASSERT_NE(w.plugin, nullptr);
  LilvUIs* uis = lilv_plugin_get_uis(w.plugin);
  ASSERT_EQ(lilv_uis_size(uis), 1u);
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  Node x11(w.Uri(LV2_UI__X11UI));
  EXPECT_TRUE(lilv_ui_is_a(ui, x11.get()));
  EXPECT_EQ(Text(lilv_ui_get_binary_uri(ui)), Text(lilv_plugin_get_library_uri(w.plugin)));
  lilv_world_load_resource(w.world, lilv_ui_get_uri(ui));
  Node required(w.Uri(LV2_CORE__requiredFeature));
  LilvNodes* features = lilv_world_find_nodes(w.world, lilv_ui_get_uri(ui), required.get(), nullptr);
  std::set<std::string> names;
  LILV_FOREACH(nodes, it, features) names.insert(Text(lilv_nodes_get(features, it)));
  lilv_nodes_free(features);
  EXPECT_EQ(names, (std::set<std::string>{LV2_UI__idleInterface, LV2_UI__parent}));
  EXPECT_EQ(names.count(LV2_INSTANCE_ACCESS_URI), 0u);
  lilv_uis_free(uis);
}

}  // namespace
