// The painted interface: drawn offscreen, driven through the mouse entries.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/cbitmap.h"
#include "gui/coffscreen_context.h"
#include "runtime/graphics_primitives.h"
#include "tests/support/plugin_instance.h"

namespace {

class Interface : public ::testing::Test {
 protected:
  // One frame of the graphics section into the offscreen picture.
  void Frame() {
    p.Adapter().drawContext = &screen;
    p.Script().OnGraphics();
    p.Adapter().drawContext = nullptr;
  }
  void Move(double x, double y) { p.Adapter().bridge.MouseMove(&p.Adapter(), x, y, 0); }
  void Press(double x, double y, int buttons) { p.Adapter().bridge.MouseDown(&p.Adapter(), x, y, buttons); }
  void Release(double x, double y) { p.Adapter().bridge.MouseUp(&p.Adapter(), x, y, 0); }

  PluginInstance p;
  VSTGUI::COffscreenContext screen{nullptr, 500, 480};
};

}  // namespace

TEST_F(Interface, PaintsTheBackgroundTheMeterAndTheKnobs) {
  p.Script().v.meterPeak = 1.0;
  Frame();
  EXPECT_TRUE(screen.writePng((::testing::TempDir() + "interface_frame.png").c_str()));
  const VSTGUI::CColor bar = screen.pixelAt(437, 200);
  EXPECT_GT(bar.red, 100);  // white at half alpha over the meter frame
  EXPECT_NEAR(p.Script().v.meterPeak, 0.99, 1e-12);
  EXPECT_EQ(p.Script().v.knobW, 32);
  EXPECT_EQ(p.Script().v.feedbackSlider.track, 216);
  EXPECT_EQ(p.Script().v.feedbackSlider.knobY, 144);
  EXPECT_EQ(p.Script().v.msSlider.readoutX, 280);
  EXPECT_EQ(p.Script().GetString(190000), "0 dB");  // the last read-out drawn: wet
  EXPECT_EQ(p.Script().textHeight, 12);
}

TEST_F(Interface, DraggingASliderSetsItsValueAndTheCoefficients) {
  Frame();
  Move(100, 160);
  Frame();  // hover seen with no button
  Press(100, 160, 0x2);
  Frame();
  // pos = 100 - 30 - 16 = 54; u = 54 / 216 = 0.25; ceil(25) = 25
  EXPECT_EQ(p.Script().sliderValues[4], 25);
  EXPECT_DOUBLE_EQ(p.Script().v.feedback, 0.25);
  EXPECT_NEAR(p.GetParameter(3), 0.25f, 1e-6);
  Move(600, 700);  // outside the slider and the window, the drag goes on
  Frame();
  EXPECT_EQ(p.Script().sliderValues[4], 100);
  Release(600, 700);
  Frame();
  Move(100, 160);
  Frame();
  EXPECT_EQ(p.Script().sliderValues[4], 100);  // hovering alone changes nothing
}

TEST_F(Interface, ControlClickResetsAndAPressFromOutsideDoesNotDrag) {
  p.SetSlider(3, 60);
  Frame();
  Move(10, 160);
  Press(10, 160, 0x2);
  Frame();
  Move(100, 160);
  Frame();
  EXPECT_EQ(p.Script().sliderValues[4], 60);  // the press began outside
  Release(100, 160);
  Frame();
  Press(100, 160, 0x2 | 0x20);
  Frame();
  EXPECT_EQ(p.Script().sliderValues[4], 10);  // control: the default, wherever the knob is pressed
  EXPECT_DOUBLE_EQ(p.Script().v.feedback, 0.10);
}

TEST_F(Interface, TogglesFlipOnceAfterAHoverFrame) {
  Frame();
  Press(40, 100, 0x2);  // arrives and presses in the same frame
  Frame();
  EXPECT_EQ(p.Script().sliderValues[3], 0);
  Release(40, 100);
  Frame();
  Press(40, 100, 0x2);
  Frame();
  Frame();  // holding does not flip again
  EXPECT_EQ(p.Script().sliderValues[3], 1);
  EXPECT_EQ(p.Script().v.tempoSync, 1);
}

TEST_F(Interface, WithTempoSyncTheQuarterNoteSliderReadsItsValue) {
  p.SetSlider(2, 1);
  p.SetSlider(0, 18);
  Frame();
  EXPECT_EQ(p.Script().GetString(190001), "3.25 quarter notes");
  Move(60, 60);
  Frame();
  Press(60, 60, 0x2 | 0x20);
  Frame();
  EXPECT_EQ(p.Script().sliderValues[1], 4);
}

TEST_F(Interface, DrawingOutsideARepaintDoesNothing) {
  CHoxa* adapter = &p.Adapter();
  ASSERT_EQ(adapter->drawContext, nullptr);
  p.Script().OnGraphics();  // the section runs, but draws nowhere
  EXPECT_EQ(p.Script().v.layoutReady, 1);
  BitmapHolder* background = p.Script().LoadImage(1).holder;
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(morvox::DrawHolder(adapter, background, 0, 0, 500, 480, 0, 0), 0);
  EXPECT_EQ(morvox::SetFillColour(adapter, 255, 0, 0, 255), 0);
  EXPECT_EQ(morvox::DrawRectangle(adapter, 0, 0, 500, 480, 1), 0);
  EXPECT_EQ(morvox::DrawTextAt(adapter, "x", 10, 10, true), 0);
  EXPECT_EQ(morvox::DrawPoint(adapter, 5, 5, 255, 0, 0, 255), 0);
  EXPECT_EQ(morvox::TextWidth(adapter, "abc"), 0);
  EXPECT_EQ(morvox::FontSize(adapter), 0);
  int red = 1, green = 1, blue = 1, alpha = 1;
  EXPECT_EQ(morvox::ReadPixel(adapter, 5, 5, red, green, blue, alpha), 0);
  // The next repaint is whole, as if nothing had happened in between.
  Frame();
  VSTGUI::COffscreenContext fresh{nullptr, 500, 480};
  PluginInstance other;
  other.Adapter().drawContext = &fresh;
  other.Script().OnGraphics();
  other.Adapter().drawContext = nullptr;
  for (int y = 0; y < 480; y += 7) {
    for (int x = 0; x < 500; x += 7) {
      const VSTGUI::CColor a = screen.pixelAt(x, y), b = fresh.pixelAt(x, y);
      ASSERT_TRUE(a.red == b.red && a.green == b.green && a.blue == b.blue) << x << "," << y;
    }
  }
}

namespace {

// The background picture alone, drawn the way the interface draws it.
VSTGUI::COffscreenContext& Background() {
  static VSTGUI::COffscreenContext* reference = [] {
    auto* context = new VSTGUI::COffscreenContext(nullptr, 500, 480);
    VSTGUI::CBitmap background(VSTGUI::CResourceDescription(1));
    background.draw(context, VSTGUI::CRect(0, 0, 500, 480));
    return context;
  }();
  return *reference;
}

bool SameAsBackground(const VSTGUI::COffscreenContext& screen, int x, int y) {
  const VSTGUI::CColor a = screen.pixelAt(x, y), b = Background().pixelAt(x, y);
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

}  // namespace

TEST_F(Interface, KnobsSitWhereTheLayoutPutsEachDefault) {
  Frame();
  struct Row {
    const SliderLayout& layout;
    double value;
  };
  const DelayVariables& v = p.Script().v;
  const Row rows[] = {{v.msSlider, 500},         {v.feedbackSlider, 10}, {v.colorSlider, 2000},
                      {v.resonanceSlider, 0.05}, {v.mixSlider, 1},       {v.drySlider, 0},
                      {v.wetSlider, 0}};
  for (const Row& row : rows) {
    const SliderLayout& s = row.layout;
    const int x = static_cast<int>(s.x + 1 + s.track * (row.value + s.range - s.maximum) / s.range);
    const int y = static_cast<int>(s.knobY);
    EXPECT_FALSE(SameAsBackground(screen, x + 16, y + 16)) << s.y;  // the knob's centre
    EXPECT_TRUE(SameAsBackground(screen, x - 3, y + 16) || x - 3 < 30) << s.y;
  }
  EXPECT_EQ(static_cast<int>(v.feedbackSlider.x + 1 + v.feedbackSlider.track * 0.1), 52);
}

TEST_F(Interface, TheMeterBarFollowsThePeak) {
  p.Script().v.meterPeak = 0;
  Frame();
  for (int y = 71; y < 370; y += 7) ASSERT_TRUE(SameAsBackground(screen, 437, y)) << y;

  p.Script().v.meterPeak = 0.0992;  // -20 dB: 150 pixels
  Frame();
  EXPECT_FALSE(SameAsBackground(screen, 437, 369));
  EXPECT_FALSE(SameAsBackground(screen, 437, 221));
  EXPECT_TRUE(SameAsBackground(screen, 437, 218));

  p.Script().v.meterPeak = 1.5;  // 0 dB or more: the full 299 pixels
  Frame();
  EXPECT_FALSE(SameAsBackground(screen, 437, 72));
  EXPECT_TRUE(SameAsBackground(screen, 437, 69));
}

TEST_F(Interface, ReadoutsAreDrawnBesideTheirSliders) {
  Frame();
  const SliderLayout& s = p.Script().v.feedbackSlider;
  const int top = static_cast<int>(std::floor(s.readoutCentreY - 8));
  int changed = 0;
  for (int x = static_cast<int>(s.readoutX); x < s.readoutX + 40; ++x) {
    for (int y = top; y < top + 16; ++y) changed += SameAsBackground(screen, x, y) ? 0 : 1;
  }
  EXPECT_GT(changed, 20);  // "10 %" in light grey
}

TEST_F(Interface, AMissingPictureShowsARedErrorMark) {
  p.Script().FileNameTable[7] = "vorn_delay_gfx\\missing.png";
  p.Adapter().drawContext = &screen;
  p.Script().gfxX = 100;
  p.Script().gfxY = 100;
  p.Script().BlitImage(7, 1, 0, 0, 0);
  p.Adapter().drawContext = nullptr;
  const VSTGUI::CColor mark = screen.pixelAt(102, 102);
  EXPECT_EQ(mark.red, 255);
  EXPECT_EQ(mark.green, 0);
  EXPECT_EQ(p.Script().images[7].width, 0);
  EXPECT_NE(p.Script().images[7].holder, nullptr);  // tried once, not again
}

TEST_F(Interface, ShiftDragsMoveTheKnobByAFractionOfThePointer) {
  p.SetSlider(3, 75);  // knob centre near x = 200
  Frame();
  Move(200, 160);
  Frame();
  Press(200, 160, 0x2 | 0x10);
  Frame();
  const double before = p.Script().sliderValues[4];
  Move(300, 160);  // 100 pixels right: the knob moves (300 / 200 - 1) = 0.5 pixel
  Frame();
  const double after = p.Script().sliderValues[4];
  EXPECT_GE(after, before);
  EXPECT_LE(after - before, 1.0);
  // pos = (200 / 200 - 1) + 16 + (200 - 30 - 32) = 154; ceil(154 / 216 × 100) = 72
  EXPECT_EQ(before, 72);
}
