#include <gtest/gtest.h>

#include "runtime/morvox.h"

namespace {

class Counting : public TMorvox {
 public:
  void OnInit() override { order += "i"; }
  void OnSlider() override { order += "s"; }
  std::string order;
};

}  // namespace

TEST(Hooks, ResumeRunsInitThenSliderEveryTime) {
  Counting s;
  s.OnResume();
  s.OnResume();
  EXPECT_EQ(s.order, "isis");
}

TEST(Hooks, InitOnceRunsInitOnlyOnTheFirstCall) {
  Counting s;
  EXPECT_EQ(s.InitOnce(), 1);
  EXPECT_EQ(s.InitOnce(), 2);
  EXPECT_EQ(s.InitOnce(), 3);
  EXPECT_EQ(s.order, "i");
  EXPECT_EQ(s.initCount, 3);
  s.OnResume();
  EXPECT_EQ(s.order, "iis");
}

TEST(Hooks, ResetDropsMemoryAndStrings) {
  Counting s;
  s.Memory(123456) = 4;
  s.SetString(1, "x");
  s.lastRedrawTicks = 77;
  s.OnReset();
  EXPECT_EQ(s.PageCount(), 0u);
  EXPECT_EQ(s.Memory(123456), 0);
  EXPECT_EQ(s.stringCount, 0);
  EXPECT_EQ(s.lastRedrawTicks, 0u);
}

namespace {

// A script object whose idle clock the test sets.
class ClockedScript : public TMorvox {
 public:
  std::uint32_t now = 0;

 protected:
  std::uint32_t IdleMilliseconds() const override { return now; }
};

constexpr std::uint32_t kDayMs = 86400000;

}  // namespace

TEST(Hooks, IdleRedrawsOnlyAtAPositiveRate) {
  ClockedScript s;
  s.gfxRate = 0;
  s.lastRedrawTicks = 12345;
  s.now = 99999;
  s.OnIdle();
  EXPECT_EQ(s.lastRedrawTicks, 12345u);
  s.gfxRate = -5;
  s.OnIdle();
  EXPECT_EQ(s.lastRedrawTicks, 12345u);
}

// At 30 frames a second a request needs more than 33.3 ms since the last
// one, at any clock value (0, 24.86, 34.7 and 49.71 days) and across the
// 32-bit wrap, starting from the 0 that a reset leaves.
TEST(Hooks, IdleRedrawsAfterTheIntervalAtAnyClockValue) {
  const std::uint32_t starts[] = {0u, static_cast<std::uint32_t>(24.86 * kDayMs),
                                  static_cast<std::uint32_t>(34.7 * kDayMs),
                                  static_cast<std::uint32_t>(49.71 * kDayMs), 0xFFFFFFFFu - 40u};
  for (std::uint32_t start : starts) {
    ClockedScript s;
    s.gfxRate = 30;
    s.OnReset();
    s.now = start;
    s.OnIdle();
    EXPECT_EQ(s.lastRedrawTicks, start) << start;  // at 0 no request yet, later ones at once
    s.now = start + 34;
    s.OnIdle();
    EXPECT_EQ(s.lastRedrawTicks, start + 34) << start;
    s.now = start + 34 + 33;  // 33 ms: too soon
    s.OnIdle();
    EXPECT_EQ(s.lastRedrawTicks, start + 34) << start;
    s.now = start + 34 + 34;  // crosses the wrap for the last start
    s.OnIdle();
    EXPECT_EQ(s.lastRedrawTicks, start + 68) << start;
  }
}

TEST(Hooks, HostServicesWithoutAdapterAnswerNeutrally) {
  double tempo = 5, num = 6, den = 7;
  EXPECT_EQ(morvox::GetSampleRate(nullptr), 0.0);
  EXPECT_EQ(morvox::GetBlockSize(nullptr), 0);
  EXPECT_EQ(morvox::GetNumInputs(nullptr), 0);
  EXPECT_EQ(morvox::GetTempo(nullptr), 0.0);
  EXPECT_FALSE(morvox::GetTempoAndSignature(nullptr, tempo, num, den));
  EXPECT_EQ(tempo, 5);
  EXPECT_FALSE(morvox::IsPlaying(nullptr));
  EXPECT_FALSE(morvox::IsRecording(nullptr));
  EXPECT_EQ(morvox::GetPlayPosition(nullptr), 0.0);
  double d = 1, b0 = 1, b1 = 1, b2 = 1;
  EXPECT_FALSE(morvox::ReadMidiEvent(nullptr, d, b0, b1, b2));
  EXPECT_EQ(d + b0 + b1 + b2, 0);
  EXPECT_EQ(morvox::SendMidiEvent(nullptr, 0, 0x90, 60, 100), 0);
  morvox::RequestEditorRedraw(nullptr);
}
