// The painted interface: drawn offscreen, driven through the mouse entries.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/coffscreen_context.h"
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
  EXPECT_TRUE(screen.writePng("interface_frame.png"));
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
  Frame();
  Move(10, 160);
  Press(10, 160, 0x2);
  Frame();
  Move(100, 160);
  Frame();
  EXPECT_EQ(p.Script().sliderValues[4], 10);  // the press began outside
  Release(100, 160);
  Frame();
  Press(100, 160, 0x2 | 0x20);
  Frame();
  EXPECT_EQ(p.Script().sliderValues[4], 10);  // control: the default
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
  p.Script().OnGraphics();  // no draw context: every primitive answers 0
  EXPECT_EQ(p.Script().v.layoutReady, 1);
}
