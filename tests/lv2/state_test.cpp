// State through lilv: the LV2 plug-in saves the VST chunk as one property,
// a restore brings the settings back (and VST chunks load into LV2), and
// malformed or foreign state changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "tests/lv2/lilv_host.h"
#include "tests/support/plugin_instance.h"

namespace {

using lv2test::Instance;

struct Noise {
  std::vector<float> left, right;
  Noise() : left(20000), right(20000) {
    std::mt19937 generator(3);
    std::uniform_real_distribution<float> d(-0.5f, 0.5f);
    for (std::size_t i = 0; i < left.size(); ++i) left[i] = right[i] = d(generator);
  }
  std::vector<float> Both() const {
    std::vector<float> both = left;
    both.insert(both.end(), right.begin(), right.end());
    return both;
  }
};

std::vector<float> Render(Instance& lv2) {
  Noise audio;
  lv2.Process(audio.left, audio.right);
  return audio.Both();
}

std::vector<float> Render(PluginInstance& vst) {
  Noise audio;
  vst.Process(audio.left, audio.right);
  return audio.Both();
}

void Configure(Instance& lv2) {
  lv2.Set("delay", 120);
  lv2.Set("feedback", 65);
  lv2.Set("ping_pong", 1);
  lv2.Set("color", 900);
  lv2.Set("dry", -10);
}

// The base64 text of the saved chunk property.
std::string ChunkText(const std::string& turtle) {
  std::smatch m;
  const std::regex chunk("chunk>\\s+\"\"\"([^\"]*)\"\"\"");
  if (!std::regex_search(turtle, m, chunk)) return {};
  std::string text = m[1].str();
  text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return std::isspace(c) != 0; }),
             text.end());
  return text;
}

std::string Base64(const unsigned char* data, std::size_t size) {
  static const char* kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < size; i += 3) {
    std::uint32_t n = static_cast<std::uint32_t>(data[i]) << 16;
    if (i + 1 < size) n |= static_cast<std::uint32_t>(data[i + 1]) << 8;
    if (i + 2 < size) n |= data[i + 2];
    out += kDigits[(n >> 18) & 63];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < size ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < size ? kDigits[n & 63] : '=';
  }
  return out;
}

TEST(Lv2State, ASavedStateRestoresTheSettingsIntoAFreshInstanceAndIsTheVstChunk) {
  Instance configured;
  ASSERT_NE(configured.instance, nullptr);
  Configure(configured);
  std::vector<float> warmup(64), warmupRight(64);
  configured.Process(warmup, warmupRight);  // the controls reach the script
  const std::string saved = configured.SaveState();
  ASSERT_FALSE(saved.empty());

  // The property is the chunk the VST build hands its host for the same settings.
  PluginInstance vst;
  vst.SetSlider(1, 120);
  vst.SetSlider(3, 65);
  vst.SetSlider(7, 1);
  vst.SetSlider(4, 900);
  vst.SetSlider(8, -10);
  void* data = nullptr;
  const auto size = vst.Dispatch(effGetChunk, 0, 0, &data);
  ASSERT_EQ(size, 260);
  EXPECT_EQ(ChunkText(saved), Base64(static_cast<const unsigned char*>(data), 260)) << saved;

  // A fresh instance restored from it, its control ports left at their
  // defaults, sounds exactly like the VST build given the same chunk (the
  // chunk holds floats, so both differ from the unsaved settings alike).
  PluginInstance vstRestored;
  ASSERT_EQ(vstRestored.Dispatch(effSetChunk, 0, 260, data), 260);
  const std::vector<float> expected = Render(vstRestored);
  Instance restored;
  ASSERT_TRUE(restored.RestoreState(saved, false));
  EXPECT_TRUE(Render(restored) == expected);
}

TEST(Lv2State, MalformedOrForeignStateChangesNothing) {
  Instance plain;
  const std::vector<float> expected = Render(plain);
  ASSERT_FALSE(expected.empty());
  Instance configured;
  Configure(configured);
  std::vector<float> l(64), r(64);
  configured.Process(l, r);
  const std::string saved = configured.SaveState();
  const std::string chunk = ChunkText(saved);
  ASSERT_FALSE(chunk.empty());

  const auto replaced = [&](const std::string& with) {
    return std::regex_replace(saved, std::regex("chunk>\\s+\"\"\"[^\"]*\"\"\""),
                              "chunk> \"\"\"" + with + "\"\"\"");
  };
  std::vector<unsigned char> badMarker(260, 0);
  std::vector<unsigned char> shortChunk(100, 0);
  const std::string variants[] = {
      replaced(Base64(badMarker.data(), badMarker.size())),       // not our marker
      replaced(Base64(shortChunk.data(), shortChunk.size())),     // too short
      replaced(""),                                               // empty
      std::regex_replace(saved, std::regex("chunk>"), "other>"),  // a property we do not know
  };
  for (const std::string& variant : variants) {
    Instance target;
    target.RestoreState(variant, false);
    EXPECT_TRUE(Render(target) == expected) << variant;
  }
}

}  // namespace
