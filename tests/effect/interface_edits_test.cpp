// What the interface tells the host about the user's edits, and presses
// that come and go between two frames.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/cframe.h"
#include "gui/coffscreen_context.h"
#include "tests/support/plugin_instance.h"

namespace {

constexpr VstInt32 kFeedback = 3;  // host index of slider 4
constexpr VstInt32 kPingPong = 7;  // host index of slider 8

class InterfaceEdits : public ::testing::Test {
 protected:
  void Frame() {
    p.Adapter().drawContext = &screen;
    p.Script().OnGraphics();
    p.Adapter().drawContext = nullptr;
  }
  void Move(double x, double y) { p.Adapter().bridge.MouseMove(&p.Adapter(), x, y, 0); }
  void Press(double x, double y, int buttons = 0x2) {
    p.Adapter().bridge.MouseDown(&p.Adapter(), x, y, buttons);
  }
  void Release(double x, double y) { p.Adapter().bridge.MouseUp(&p.Adapter(), x, y, 0); }
  // The recorded edits as text: "begin 3", "value 3 0.25", "end 3".
  std::vector<std::string> Edits() {
    std::vector<std::string> out;
    for (const TestHost::Edit& e : p.host->edits) {
      char line[64];
      if (e.opcode == audioMasterBeginEdit)
        std::snprintf(line, sizeof line, "begin %d", e.index);
      else if (e.opcode == audioMasterEndEdit)
        std::snprintf(line, sizeof line, "end %d", e.index);
      else
        std::snprintf(line, sizeof line, "value %d %.4f", e.index, static_cast<double>(e.value));
      out.push_back(line);
    }
    p.host->edits.clear();
    return out;
  }
  using Lines = std::vector<std::string>;

  PluginInstance p;
  VSTGUI::COffscreenContext screen{nullptr, 500, 480};
};

}  // namespace

TEST_F(InterfaceEdits, ADragIsBeginValuesWhileItChangesAndEndAtTheRelease) {
  Frame();
  Move(100, 160);
  Frame();
  EXPECT_EQ(Edits(), Lines{});  // hovering is no edit
  Press(100, 160);
  Frame();
  EXPECT_EQ(Edits(), (Lines{"begin 3", "value 3 0.2500"}));
  Move(154, 160);  // (154 - 46) / 216 = 0.5
  Frame();
  Frame();  // held still: nothing new
  EXPECT_EQ(Edits(), (Lines{"value 3 0.5000"}));
  Release(154, 160);
  Frame();
  EXPECT_EQ(Edits(), (Lines{"end 3"}));
  EXPECT_NEAR(p.GetParameter(kFeedback), 0.5f, 1e-6);
  Frame();
  EXPECT_EQ(Edits(), Lines{});
}

TEST_F(InterfaceEdits, AToggleClickIsBeginValueEndInOneFrame) {
  Frame();
  Move(200, 100);
  Frame();
  Press(200, 100);
  Frame();
  EXPECT_EQ(Edits(), (Lines{"begin 7", "value 7 1.0000", "end 7"}));
  Frame();  // held: no second flip, no second edit
  Release(200, 100);
  Frame();
  EXPECT_EQ(Edits(), Lines{});
  Press(200, 100);
  Frame();
  EXPECT_EQ(Edits(), (Lines{"begin 7", "value 7 0.0000", "end 7"}));
  EXPECT_EQ(p.GetParameter(kPingPong), 0.0f);
}

TEST_F(InterfaceEdits, HostChangesAndAudioNeverReportEdits) {
  Frame();
  Move(100, 160);
  Frame();
  Press(100, 160);
  Frame();
  Edits();
  p.SetSlider(kFeedback, 80);  // the host's own change while the user holds the knob
  std::vector<float> left(4096, 0.1f), right(4096, 0.1f);
  p.Process(left, right);
  Frame();  // the knob is still held where it was
  Release(100, 160);
  Frame();
  for (const TestHost::Edit& e : p.host->edits) EXPECT_FALSE(e.duringProcessing);
  EXPECT_EQ(Edits(), (Lines{"value 3 0.2500", "end 3"}));
}

// A press and its release both before the next frame: the frame still
// sees the press, the one after it the release.
TEST_F(InterfaceEdits, QuickTapsBetweenTwoFramesAllCount) {
  Frame();
  Move(40, 100);  // the tempo button
  Frame();
  int flips = 0;
  for (int tap = 0; tap < 10; ++tap) {
    const double before = p.Script().sliderValues[3];
    Press(40, 100);
    Release(40, 100);
    Frame();
    Frame();
    flips += p.Script().sliderValues[3] != before ? 1 : 0;
  }
  EXPECT_EQ(flips, 10);
  EXPECT_EQ(p.host->edits.size(), 30u);

  // On a slider a quick click sets the value where it was pressed.
  Move(100, 160);
  Frame();
  Edits();
  Press(100, 160);
  Move(180, 160);
  Release(180, 160);
  Frame();
  EXPECT_EQ(p.Script().sliderValues[4], 25);
  Frame();
  EXPECT_EQ(Edits(), (Lines{"begin 3", "value 3 0.2500", "end 3"}));
  EXPECT_EQ(p.Script().mouseX, 180);  // the live position moved on
}

TEST_F(InterfaceEdits, ClosingTheEditorMidDragEndsTheEdit) {
  int notAWindow = 0;
  ASSERT_EQ(p.Dispatch(effEditOpen, 0, 0, &notAWindow), 1);  // a frame without a window
  Frame();
  Move(100, 160);
  Frame();
  Press(100, 160);
  Frame();
  EXPECT_EQ(Edits(), (Lines{"begin 3", "value 3 0.2500"}));
  p.Dispatch(effEditClose);
  EXPECT_EQ(Edits(), (Lines{"end 3"}));
  Release(100, 160);
  Frame();
  EXPECT_EQ(Edits(), Lines{});  // ended once only
}

// A second open without a close closes the first frame (under
// AddressSanitizer a leaked frame fails the run).
TEST_F(InterfaceEdits, OpeningTheEditorTwiceKeepsOneFrame) {
  int notAWindow = 0;
  const std::int32_t before = VSTGUI::CFrame::liveFrameCount();
  ASSERT_EQ(p.Dispatch(effEditOpen, 0, 0, &notAWindow), 1);
  ASSERT_EQ(p.Dispatch(effEditOpen, 0, 0, &notAWindow), 1);
  EXPECT_EQ(VSTGUI::CFrame::liveFrameCount(), before + 1);
  p.Dispatch(effEditClose);
  EXPECT_EQ(VSTGUI::CFrame::liveFrameCount(), before);
}
