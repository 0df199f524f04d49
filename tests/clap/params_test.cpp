// The parameters as a CLAP host sees them: the VST parameters with their
// own units, the VST texts both ways, flush, and the GUI's edits on their
// way to the host.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "formats/clap/clap_plugin.h"
#include "tests/clap/clap_test_host.h"
#include "tests/support/plugin_instance.h"

namespace {

std::string VstText(PluginInstance& vst, VstInt32 opcode, VstInt32 index) {
  char text[256] = {};
  vst.Dispatch(opcode, index, 0, text);
  return text;
}

std::string ClapText(ClapInstance& clap, clap_id id, double value) {
  char text[256] = {};
  if (!clap.params->value_to_text(clap.plugin, id, value, text, sizeof text)) return "<refused>";
  return text;
}

TEST(ClapParams, TheTenVstParametersInTheirOwnUnitsAndTheBypass) {
  PluginInstance vst;
  ClapTestHost host;
  ClapInstance clap(host);
  ASSERT_EQ(clap.params->count(clap.plugin), 11u);
  for (std::uint32_t i = 0; i < 10; ++i) {
    clap_param_info_t info{};
    ASSERT_TRUE(clap.params->get_info(clap.plugin, i, &info));
    const SliderInfo& slider = vst.Script().sliders[i];
    EXPECT_EQ(info.id, i);
    EXPECT_EQ(std::string(info.name), VstText(vst, effGetParamName, static_cast<VstInt32>(i)));
    EXPECT_EQ(info.min_value, slider.minimum);
    EXPECT_EQ(info.max_value, slider.maximum);
    EXPECT_EQ(info.default_value, slider.defaultValue);
    EXPECT_EQ(clap.Value(i), slider.defaultValue);
    EXPECT_TRUE(info.flags & CLAP_PARAM_IS_AUTOMATABLE);
    EXPECT_FALSE(info.flags & CLAP_PARAM_IS_BYPASS);
    // The quarter-note list (0) and the two switches (2, 7) are stepped.
    EXPECT_EQ((info.flags & CLAP_PARAM_IS_STEPPED) != 0, i == 0 || i == 2 || i == 7) << i;
  }
  clap_param_info_t bypass{};
  ASSERT_TRUE(clap.params->get_info(clap.plugin, 10, &bypass));
  EXPECT_EQ(bypass.id, ClapPlugin::kBypassParam);
  EXPECT_TRUE((bypass.flags & CLAP_PARAM_IS_BYPASS) && (bypass.flags & CLAP_PARAM_IS_STEPPED));
  EXPECT_EQ(bypass.default_value, 0);
  clap_param_info_t none{};
  EXPECT_FALSE(clap.params->get_info(clap.plugin, 11, &none));
  double value = 0;
  EXPECT_FALSE(clap.params->get_value(clap.plugin, 11, &value));
}

TEST(ClapParams, TextsAreTheVstDisplaysAndReadBack) {
  PluginInstance vst;
  ClapTestHost host;
  ClapInstance clap(host);
  for (std::uint32_t i = 0; i < 10; ++i) {
    const SliderInfo& slider = vst.Script().sliders[i];
    // Shares away from the half-step ties, where the VST's float arithmetic
    // and a plain double may round apart.
    for (double share : {0.0, 0.137, 0.5, 0.761, 1.0}) {
      const double value = slider.minimum + share * (slider.maximum - slider.minimum);
      vst.SetSlider(static_cast<VstInt32>(i), value);
      const std::string shown = VstText(vst, effGetParamDisplay, static_cast<VstInt32>(i));
      EXPECT_EQ(ClapText(clap, i, value), shown) << i << " at " << value;
      double back = -1;
      ASSERT_TRUE(clap.params->text_to_value(clap.plugin, i, shown.c_str(), &back)) << shown;
      EXPECT_EQ(ClapText(clap, i, back), shown);
    }
  }
  EXPECT_EQ(ClapText(clap, 10, 1), "On");
  double value = -1;
  EXPECT_TRUE(clap.params->text_to_value(clap.plugin, 10, "off", &value));
  EXPECT_EQ(value, 0);
  EXPECT_TRUE(clap.params->text_to_value(clap.plugin, 2, " On ", &value));
  EXPECT_EQ(value, 1);
  EXPECT_TRUE(clap.params->text_to_value(clap.plugin, 1, "12345", &value));
  EXPECT_EQ(value, 4000) << "a typed value beyond the range is the range's end";
  EXPECT_FALSE(clap.params->text_to_value(clap.plugin, 1, "soon", &value));
  EXPECT_FALSE(clap.params->text_to_value(clap.plugin, 0, "0.40", &value)) << "not one of the list's texts";
  EXPECT_FALSE(clap.params->text_to_value(clap.plugin, 11, "1", &value));
  EXPECT_EQ(ClapText(clap, 11, 1), "<refused>");
  // A short buffer gets the start of the text, terminated.
  char small[4];
  std::memset(small, 'x', sizeof small);
  ASSERT_TRUE(clap.params->value_to_text(clap.plugin, 1, 1250, small, sizeof small));
  EXPECT_STREQ(small, "125");
}

TEST(ClapParams, FlushSetsValuesWhileInactiveAndWhileActive) {
  ClapTestHost host;
  ClapInstance clap(host);
  ClapEventList events;
  events.Value(0, 3, 70);
  events.Value(0, 10, 1);
  ClapOutputList out;
  clap.params->flush(clap.plugin, events.Input(), out.Output());
  EXPECT_EQ(clap.Value(3), 70);
  EXPECT_EQ(clap.Value(10), 1);
  ASSERT_TRUE(clap.Activate());
  ClapEventList more;
  more.Value(0, 3, 20);
  clap.params->flush(clap.plugin, more.Input(), out.Output());
  EXPECT_EQ(clap.Value(3), 20);
  EXPECT_TRUE(out.pushed.empty()) << "the host's own values are not echoed back";
  EXPECT_TRUE(host.log.empty()) << host.log.front();
}

TEST(ClapParams, TheGuisEditsReachTheSoundAndTheHostAsEvents) {
  ClapTestHost host;
  ClapInstance clap(host);
  ClapPlugin* plugin = ClapPlugin::Of(clap.plugin);
  ASSERT_TRUE(plugin->PushUiEdit({ClapUiEdit::kBegin, 3, 0}));
  ASSERT_TRUE(plugin->PushUiEdit({ClapUiEdit::kValue, 3, 33}));
  ASSERT_TRUE(plugin->PushUiEdit({ClapUiEdit::kEnd, 3, 0}));
  EXPECT_FALSE(plugin->PushUiEdit({ClapUiEdit::kValue, 11, 1})) << "no such parameter";
  EXPECT_EQ(host.flushRequests, 3);
  EXPECT_EQ(clap.Value(3), 10) << "nothing changes before the host flushes";

  // Inactive: the host flushes on the main thread.
  ClapOutputList out;
  ClapEventList none;
  clap.params->flush(clap.plugin, none.Input(), out.Output());
  ASSERT_EQ(out.pushed.size(), 3u);
  EXPECT_EQ(out.pushed[0].type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
  EXPECT_EQ(out.pushed[1].type, CLAP_EVENT_PARAM_VALUE);
  EXPECT_EQ(out.pushed[1].value, 33);
  EXPECT_EQ(out.pushed[2].type, CLAP_EVENT_PARAM_GESTURE_END);
  EXPECT_EQ(clap.Value(3), 33);

  // Active: the next process call takes them.
  ASSERT_TRUE(clap.Activate());
  ASSERT_TRUE(plugin->PushUiEdit({ClapUiEdit::kValue, 10, 1}));
  std::vector<float> left(64, 0.0f);
  std::vector<float> right(64, 0.0f);
  ClapOutputList during;
  clap.ProcessBlock(left.data(), right.data(), 64, nullptr, &during);
  ASSERT_EQ(during.pushed.size(), 1u);
  EXPECT_EQ(during.pushed[0].id, 10u);
  EXPECT_EQ(clap.Value(10), 1);

  // A full ring refuses rather than waits.
  int accepted = 0;
  while (plugin->PushUiEdit({ClapUiEdit::kValue, 4, 500}) && accepted < 1000) ++accepted;
  EXPECT_EQ(accepted, static_cast<int>(ClapUiEditQueue::kCapacity));
}

}  // namespace
