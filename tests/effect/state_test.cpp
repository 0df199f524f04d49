// The delay's state chunk.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "gui/coffscreen_context.h"
#include "tests/support/plugin_instance.h"

namespace {

std::vector<float> Chunk(PluginInstance& p) {
  void* data = nullptr;
  const auto size = p.Dispatch(effGetChunk, 0, 0, &data);
  std::vector<float> floats(static_cast<std::size_t>(size) / 4);
  if (data != nullptr) std::memcpy(floats.data(), data, floats.size() * 4);
  return floats;
}

}  // namespace

TEST(State, AFreshInstanceSavesItsDefaultsIn260Bytes) {
  PluginInstance p;
  std::vector<float> expected = {-1000, 4, 500, 0, 10, 2000, 0.05f, 1, 0, 0, 0, 0};
  expected.resize(65, 0.0f);
  EXPECT_EQ(Chunk(p), expected);
}

TEST(State, RestoreBringsBackEverySliderAndRecomputes) {
  PluginInstance a;
  a.SetSlider(0, 18);
  a.SetSlider(3, 63);
  a.SetSlider(7, 1);
  a.SetSlider(9, -12);
  a.Script().sliderValues[9] = 3;  // a slot without slider travels too
  std::vector<float> saved = Chunk(a);

  PluginInstance b;
  EXPECT_EQ(b.Dispatch(effSetChunk, 0, 260, saved.data()), 260);
  EXPECT_EQ(b.Script().sliderValues[1], 18);
  EXPECT_EQ(b.Script().sliderValues[9], 3);
  EXPECT_DOUBLE_EQ(b.Script().v.feedback, 0.63);
  EXPECT_EQ(b.Script().v.sliderVar[11], -12);
  EXPECT_EQ(b.Script().sliderValues[6], 0.05000000074505806);
  EXPECT_EQ(Chunk(b), saved);
}

TEST(State, AShortChunkRestoresOnlyWhatItHolds) {
  PluginInstance p;
  p.SetSlider(3, 77);
  const float part[] = {-1000, 7, 1000, 1};
  EXPECT_EQ(p.Dispatch(effSetChunk, 0, sizeof part, const_cast<float*>(part)), 16);
  EXPECT_EQ(p.Script().sliderValues[1], 7);
  EXPECT_EQ(p.Script().sliderValues[2], 1000);
  EXPECT_EQ(p.Script().sliderValues[3], 1);
  EXPECT_EQ(p.Script().sliderValues[4], 77);
}

TEST(State, LongMarkerlessAndOddChunksAreHandled) {
  PluginInstance p;
  std::vector<float> longChunk(100, 2.0f);
  longChunk[0] = -1000;
  EXPECT_EQ(p.Dispatch(effSetChunk, 0, 400, longChunk.data()), 400);
  EXPECT_EQ(p.Script().sliderValues[64], 2);
  EXPECT_EQ(p.Script().sliderValues[65], 0);  // beyond the 64 saved slots

  PluginInstance q;
  std::vector<float> foreign(65, 9.0f);
  EXPECT_EQ(q.Dispatch(effSetChunk, 0, 260, foreign.data()), 260);
  EXPECT_EQ(q.Script().sliderValues[1], 4);
  EXPECT_EQ(q.Dispatch(effSetChunk, 0, 3, foreign.data()), 3);
  EXPECT_EQ(q.Dispatch(effSetChunk, 0, 128, nullptr), 0);
  EXPECT_EQ(q.Dispatch(effSetChunk, 0, -8, foreign.data()), 0);
  EXPECT_EQ(q.Script().sliderValues[2], 500);
}

namespace {

// One click on a painted toggle: a frame that sees the mouse over it with
// no button, then a frame with the button down.
void ClickToggle(PluginInstance& p, VSTGUI::COffscreenContext& screen, double x, double y) {
  CHoxa& adapter = p.Adapter();
  const auto frame = [&] {
    adapter.drawContext = &screen;
    p.Script().OnGraphics();
    adapter.drawContext = nullptr;
  };
  adapter.bridge.MouseUp(&adapter, x, y, 0);
  frame();
  adapter.bridge.MouseDown(&adapter, x, y, 0x2);
  frame();
  adapter.bridge.MouseUp(&adapter, 300, 470, 0);
  frame();
}

}  // namespace

// A damaged chunk, with the marker, holding a NaN, an infinity or a huge
// value in any one of the 64 slots: non-finite entries keep their value,
// the output stays finite and bounded even with the wet path open, and
// both switches still flip in the editor.
TEST(State, DamagedValuesNeitherReachTheMixNorStickInTheEditor) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const float bad[] = {std::numeric_limits<float>::quiet_NaN(), kInf, -kInf, 1e30f, -1e30f};
  PluginInstance p;
  VSTGUI::COffscreenContext screen{nullptr, 500, 480};
  const std::vector<float> defaults = Chunk(p);
  for (std::size_t slot = 1; slot <= 64; ++slot) {
    for (float value : bad) {
      std::vector<float> restored = defaults;
      ASSERT_EQ(p.Dispatch(effSetChunk, 0, 260, restored.data()), 260);
      restored[slot] = value;
      ASSERT_EQ(p.Dispatch(effSetChunk, 0, 260, restored.data()), 260);
      if (!std::isfinite(value)) {
        EXPECT_EQ(p.Script().sliderValues[slot], defaults[slot]) << slot << " " << value;
      }

      p.Script().v.levelEnv = 1.0;
      std::vector<float> l(512), r(512);
      for (std::size_t j = 0; j < l.size(); ++j) l[j] = r[j] = static_cast<float>(0.5 * std::sin(0.05 * j));
      p.Process(l, r);
      for (std::size_t j = 0; j < l.size(); ++j) {
        ASSERT_TRUE(std::fabs(l[j]) < 10 && std::fabs(r[j]) < 10) << slot << " " << value << " " << l[j];
      }

      for (const auto& [number, x] : {std::pair{3, 40.0}, std::pair{8, 198.0}}) {
        const double before = p.Script().v.sliderVar[static_cast<std::size_t>(number)];
        ClickToggle(p, screen, x, 100);
        EXPECT_EQ(p.Script().sliderValues[static_cast<std::size_t>(number)], 1 - before)
            << slot << " " << value << " toggle " << number;
      }
    }
  }
}
