// What a host sees of the delay's parameters.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/plugin_instance.h"

namespace {

std::string Text(PluginInstance& p, VstInt32 opcode, VstInt32 index) {
  char text[256] = "garbage";
  p.Dispatch(opcode, index, 0, text);
  return text;
}

}  // namespace

TEST(DelayParameters, TenParametersWithTheirNamesAndDefaults) {
  PluginInstance p;
  ASSERT_NE(p.effect, nullptr);
  EXPECT_EQ(p.effect->numParams, 10);
  const char* names[] = {
      "Delay [1/4 Notes]", "Delay [ms]", "Tempo Delay [Off/On]", "Feedback [%]", "Color [Hz]",
      "Resonance",         "Color Mix",  "Ping Pong [Off/On]",   "Dry [dB]",     "Wet [dB]"};
  const char* displays[] = {"0.75", "500.00", "0.00", "10.00", "2000.00",
                            "0.05", "1.00",   "0.00", "0.00",  "0.00"};
  const float normalised[] = {4.0f / 23, 500.0f / 4000, 0, 0.1f, 1600.0f / 3600, 0.05f, 1, 0, 0.8f, 0.8f};
  for (VstInt32 i = 0; i < 10; ++i) {
    EXPECT_EQ(Text(p, effGetParamName, i), names[i]);
    EXPECT_EQ(Text(p, effGetParamDisplay, i), displays[i]);
    EXPECT_EQ(Text(p, effGetParamLabel, i), "");
    EXPECT_FLOAT_EQ(p.GetParameter(i), normalised[i]) << i;
  }
}

TEST(DelayParameters, QuarterNoteOptionsNameTheirValues) {
  PluginInstance p;
  const std::pair<double, const char*> cases[] = {
      {0, "0.25"}, {5, "1.00"}, {18, "3.25"}, {19, "3.33"}, {23, "4.00"}};
  for (auto [value, text] : cases) {
    p.SetSlider(0, value);
    EXPECT_EQ(p.Script().sliderValues[1], value);
    EXPECT_EQ(Text(p, effGetParamDisplay, 0), text);
    EXPECT_EQ(p.Script().v.quarterNotes, TMorvoxEffect::kQuarterNotes[static_cast<int>(value)]);
  }
  p.SetParameter(0, 0.5f);  // raw 11.5 rounds up
  EXPECT_EQ(Text(p, effGetParamDisplay, 0), "2.25");
}

TEST(DelayParameters, HostIndicesEightAndNineAreSlidersTenAndEleven) {
  PluginInstance p;
  p.SetParameter(8, 0.0f);
  p.SetParameter(9, 1.0f);
  EXPECT_EQ(p.Script().sliderValues[10], -40);
  EXPECT_EQ(p.Script().sliderValues[11], 10);
  EXPECT_EQ(p.Script().sliderValues[9], 0);
  EXPECT_DOUBLE_EQ(p.Script().v.dryGain, 0.01);
  EXPECT_DOUBLE_EQ(p.Script().v.wetGain, std::pow(10.0, 0.5));
}
