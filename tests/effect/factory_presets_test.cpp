// The factory preset table: names hosts can show, values every slider
// accepts as they stand, and the chunk the presets ship as.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "effect/factory_presets.h"
#include "tests/support/plugin_instance.h"

namespace {

using presets::FactoryPreset;
using presets::FactoryPresets;

std::string Lower(const char* text) {
  std::string out;
  for (const char* c = text; *c != '\0'; ++c)
    out += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  return out;
}

TEST(FactoryPresets, AboutADozenWithUniqueNamesThatFitAVstProgramName) {
  EXPECT_GE(FactoryPresets().size(), 10u);
  EXPECT_LE(FactoryPresets().size(), 16u);
  std::set<std::string> names, symbols;
  for (const FactoryPreset& preset : FactoryPresets()) {
    EXPECT_TRUE(names.insert(Lower(preset.name)).second) << preset.name;
    EXPECT_TRUE(symbols.insert(presets::PresetSymbol(preset)).second) << preset.name;
    EXPECT_LE(std::strlen(preset.name), 24u) << preset.name;  // kVstMaxProgNameLen
    EXPECT_EQ(presets::FindFactoryPreset(Lower(preset.name)), &preset);
  }
  EXPECT_EQ(presets::FindFactoryPreset("no such preset"), nullptr);
  EXPECT_EQ(presets::PresetSymbol(*presets::FindFactoryPreset("Dotted Eighth Ping-Pong")),
            "dotted-eighth-ping-pong");
}

TEST(FactoryPresets, EveryValueIsAStepOfItsSliderInsideTheRangeAndExactAsAFloat) {
  const TMorvoxEffect effect;
  ASSERT_EQ(static_cast<std::size_t>(effect.SliderCount()), presets::kSliderCount);
  for (const FactoryPreset& preset : FactoryPresets()) {
    for (std::size_t i = 0; i < presets::kSliderCount; ++i) {
      const SliderInfo& slider = *effect.SliderAt(static_cast<std::int32_t>(i));
      const double value = preset.values[i];
      SCOPED_TRACE(std::string(preset.name) + ": " + slider.name);
      EXPECT_GE(value, slider.minimum);
      EXPECT_LE(value, slider.maximum);
      const double steps = value / slider.step;
      EXPECT_NEAR(steps, std::round(steps), 1e-9);
      EXPECT_EQ(static_cast<double>(static_cast<float>(value)), value);
    }
  }
}

// Whichever way a host applies a preset (the chunk, or each value as a
// normalised parameter, as LV2 port values and .fxp parameter lists do),
// every slider ends up at the table's value exactly.
TEST(FactoryPresets, TheChunkAndTheParameterPathBothGiveTheTablesValues) {
  for (const FactoryPreset& preset : FactoryPresets()) {
    SCOPED_TRACE(preset.name);
    const std::vector<std::uint8_t> chunk = presets::PresetChunk(preset);
    ASSERT_EQ(chunk.size(), 260u);
    float marker = 0;
    std::memcpy(&marker, chunk.data(), 4);
    EXPECT_EQ(marker, -1000.0f);

    PluginInstance fromChunk;
    ASSERT_EQ(fromChunk.Dispatch(effSetChunk, 1, 260, const_cast<std::uint8_t*>(chunk.data())), 260);
    PluginInstance fromParameters;
    TMorvoxEffect& script = fromParameters.Script();
    for (std::size_t i = 0; i < presets::kSliderCount; ++i) {
      const SliderInfo& slider = *script.SliderAt(static_cast<std::int32_t>(i));
      fromParameters.SetParameter(
          static_cast<VstInt32>(i),
          static_cast<float>((preset.values[i] - slider.minimum) / (slider.maximum - slider.minimum)));
    }
    for (std::size_t i = 0; i < presets::kSliderCount; ++i) {
      const auto number = static_cast<std::size_t>(script.SliderAt(static_cast<std::int32_t>(i))->number);
      EXPECT_EQ(fromChunk.Script().sliderValues[number], preset.values[i]) << i;
      EXPECT_EQ(script.sliderValues[number], preset.values[i]) << i;
    }
    // The slots without a slider stay 0, as in a chunk the effect saves.
    EXPECT_EQ(fromChunk.Script().sliderValues[9], 0.0);
  }
}

}  // namespace
