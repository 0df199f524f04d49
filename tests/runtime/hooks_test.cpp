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
  EXPECT_EQ(s.lastRedrawTicks, 0);
}

TEST(Hooks, IdleRedrawsOnlyAtAPositiveRateAndAfterTheInterval) {
  Counting s;
  s.gfxRate = 0;
  s.lastRedrawTicks = 12345;
  s.OnIdle();
  EXPECT_EQ(s.lastRedrawTicks, 12345);
  s.gfxRate = 30;
  s.OnIdle();  // long past: a request, and the clock is taken
  const std::int32_t taken = s.lastRedrawTicks;
  EXPECT_NE(taken, 12345);
  s.OnIdle();  // within 33.3 ms of the last request
  EXPECT_EQ(s.lastRedrawTicks, taken);
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
