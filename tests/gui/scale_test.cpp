// The editor's scale: where it comes from, how bad values end, and how a
// frame at a scale converts window sizes, paints, invalidations, pictures
// and the mouse between device pixels and units.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "gui/cbitmap.h"
#include "gui/cdraw_context.h"
#include "gui/cframe.h"
#include "gui/coffscreen_context.h"
#include "gui/ui_scale.h"
#include "recording_backend.h"

using namespace VSTGUI;
using vorn_test::ScopedRecordingBackend;
using Lines = std::vector<std::string>;

namespace {

void* const kHostWindow = reinterpret_cast<void*>(0x42);

// Sets (or with null removes) the scale variable for one test.
class ScaleVariable {
 public:
  explicit ScaleVariable(const char* value) {
    if (const char* old = std::getenv(kScaleVariable)) previous_ = old;
    set(value);
  }
  ~ScaleVariable() { set(previous_ ? previous_->c_str() : nullptr); }

 private:
  static void set(const char* value) {
#ifdef _WIN32
    _putenv_s(kScaleVariable, value ? value : "");
#else
    if (value)
      setenv(kScaleVariable, value, 1);
    else
      unsetenv(kScaleVariable);
#endif
  }
  std::optional<std::string> previous_;
};

TEST(Scale, BadValuesAreNeutralAndTheRangeIsOneToThree) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(ClampScale(nan), 1);
  EXPECT_EQ(ClampScale(inf), 1);
  EXPECT_EQ(ClampScale(-inf), 1);
  EXPECT_EQ(ClampScale(0), 1);
  EXPECT_EQ(ClampScale(-2), 1);
  EXPECT_EQ(ClampScale(0.5), 1);
  EXPECT_EQ(ClampScale(1.25), 1.25);
  EXPECT_EQ(ClampScale(3), 3);
  EXPECT_EQ(ClampScale(100), 3);

  EXPECT_EQ(ParseScaleNumber("2"), 2);
  EXPECT_EQ(ParseScaleNumber(" 1.5\n"), 1.5);
  for (const char* bad : {"", "  ", "abc", "2x", "1,5", "-1", "0", "nan", "inf", "1e999"})
    EXPECT_EQ(ParseScaleNumber(bad), 0) << bad;
  EXPECT_EQ(ParseScaleNumber(nullptr), 0);

  EXPECT_EQ(ScaleFromDpi(192), 2);
  EXPECT_EQ(ScaleFromDpi(120), 1.25);
  EXPECT_EQ(ScaleFromDpi(0), 0);
  EXPECT_EQ(ScaleFromDpi(-96), 0);
  EXPECT_EQ(ScaleFromDpi(nan), 0);
}

TEST(Scale, DeviceLengthsCoverEveryUnitAndAreExactAtWholeProducts) {
  EXPECT_EQ(ScaledLength(500, 1), 500);
  EXPECT_EQ(ScaledLength(480, 2), 960);
  EXPECT_EQ(ScaledLength(500, 1.25), 625);
  EXPECT_EQ(ScaledLength(480, 1.25), 600);
  EXPECT_EQ(ScaledLength(480, 1.1), 528);
  EXPECT_EQ(ScaledLength(480, 1.33), 639);  // 638.4, rounded up
  EXPECT_EQ(ScaledLength(500, 100), 1500);  // clamped to 3
  EXPECT_EQ(ScaledLength(0, 2), 0);
}

TEST(Scale, TheHostsScaleWinsThenTheVariableThenTheDesktop) {
  ScopedRecordingBackend scoped;
  scoped.backend.desktop = 1.5;
  {
    ScaleVariable unset(nullptr);
    EXPECT_EQ(EditorScale(nullptr), 1.5);
    EXPECT_EQ(scoped.backend.log.count("desktop scale"), 1u);
    EXPECT_EQ(EditorScale(kHostWindow, 2), 2);
    EXPECT_EQ(scoped.backend.log.count("desktop scale"), 1u);  // the host's answer is enough
    EXPECT_EQ(EditorScale(kHostWindow, std::nan("")), 1.5);    // a bad host value is no value
    EXPECT_EQ(scoped.backend.log.count("desktop scale"), 2u);
    scoped.backend.desktop = 0;  // the window system says nothing usable
    EXPECT_EQ(EditorScale(nullptr), 1);
    scoped.backend.desktop = 1.5;
  }
  {
    ScaleVariable two("2");
    EXPECT_EQ(EditorScale(nullptr), 2);
    EXPECT_EQ(EditorScale(nullptr, 1.25), 1.25);
  }
  {
    ScaleVariable huge("100");
    EXPECT_EQ(EditorScale(nullptr), 3);
  }
  for (const char* malformed : {"", "zero", "0", "-3", "nan"}) {
    ScaleVariable bad(malformed);
    EXPECT_EQ(EditorScale(nullptr), 1.5) << malformed;
  }
}

// Before any window of its own is open the scale comes from what is known
// without asking the display: the last window's report, else 1.
TEST(Scale, WithoutHostVariableOrSystemAnswerTheLastWindowsReportHolds) {
  ScopedRecordingBackend scoped;
  scoped.backend.desktop = 0;
  ScaleVariable unset(nullptr);
  EXPECT_FALSE(ScaleIsGiven());
  EXPECT_TRUE(ScaleIsGiven(1.5));
  RememberWindowScale(2);
  EXPECT_EQ(LastWindowScale(), 2);
  EXPECT_EQ(EditorScale(nullptr), 2);
  EXPECT_EQ(EditorScale(nullptr, 1.25), 1.25);
  scoped.backend.desktop = 1.5;  // a system that tells without a window wins
  EXPECT_EQ(EditorScale(kHostWindow), 1.5);
  scoped.backend.desktop = 0;
  {
    ScaleVariable one("1");
    EXPECT_TRUE(ScaleIsGiven());
    EXPECT_EQ(EditorScale(nullptr), 1);
  }
  RememberWindowScale(std::nan(""));
  EXPECT_EQ(LastWindowScale(), 0);
  EXPECT_EQ(EditorScale(nullptr), 1);
}

// Xft.dpi as xrdb leaves it in RESOURCE_MANAGER, and what is not it.
TEST(Scale, XftDpiIsReadFromTheResourceTextAsXrmWouldMatchIt) {
  EXPECT_EQ(XftDpiFromResources("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192);
  EXPECT_EQ(XftDpiFromResources("Xft.dpi:144"), 144);  // no tab, no last newline
  EXPECT_EQ(XftDpiFromResources("  Xft.dpi :\t 120 \n"), 120);
  EXPECT_EQ(XftDpiFromResources("*dpi:\t96\n"), 96);
  EXPECT_EQ(XftDpiFromResources("Xft.dpi:\t192\n*dpi:\t96\n"), 192);     // the full name wins
  EXPECT_EQ(XftDpiFromResources("Xft.dpi:\t96\nXft.dpi:\t144\n"), 144);  // the last one wins
  for (const char* none : {"", "Xft.dpi:\tlots\n", "Xft.dpi:\t-96\n", "Xft.dpix:\t192\n", "XTerm.dpi:\t192\n",
                           "Xft.dpi\t192\n", "Xft.antialias:\t1\n"})
    EXPECT_EQ(XftDpiFromResources(none), 0) << none;
  EXPECT_EQ(XftDpiFromResources(nullptr), 0);
}

class ScaledFrame : public ::testing::Test {
 protected:
  ScopedRecordingBackend scoped;
  vorn_test::Log& log = scoped.backend.log;
};

// A view that records its clip and the mouse positions it receives.
class Probe : public CView {
 public:
  Probe(const CRect& r, Lines& events) : CView(r), events_(events) {}
  void draw(CDrawContext* context) override {
    CRect clip;
    context->getClipRect(clip);
    char text[96];
    std::snprintf(text, sizeof text, "draw clip %g %g %g %g at scale %g", clip.left, clip.top, clip.right,
                  clip.bottom, context->getScale());
    events_.push_back(text);
  }
  CMouseEventResult onMouseDown(CPoint& p, const CButtonState&) override { return log("down", p); }
  CMouseEventResult onMouseMoved(CPoint& p, const CButtonState&) override { return log("moved", p); }
  CMouseEventResult onMouseUp(CPoint& p, const CButtonState&) override { return log("up", p); }

 private:
  CMouseEventResult log(const char* what, const CPoint& p) {
    char text[64];
    std::snprintf(text, sizeof text, "%s %g,%g", what, p.x, p.y);
    events_.push_back(text);
    return kMouseEventHandled;
  }
  Lines& events_;
};

TEST_F(ScaledFrame, AtScaleOneEverythingIsAsBefore) {
  auto* frame = new CFrame(CRect(0, 0, 500, 480), kHostWindow, nullptr, 1);
  EXPECT_EQ(log.count("create window"), 1u);
  EXPECT_EQ(log.with("create window")[0].substr(log.with("create window")[0].size() - 7), "500 480");
  log.clear();
  scoped.backend.lastWindow->paint(CRect(0, 0, 500, 480));
  EXPECT_EQ(log.count("scale"), 0u);  // no surface is asked to scale
  EXPECT_EQ(log.count("create image 500 480"), 1u);
  frame->forget();
}

TEST_F(ScaledFrame, TheWindowAndTheBackBufferHaveTheDeviceSizeAndPaintsConvertToUnits) {
  Lines events;
  auto* frame = new CFrame(CRect(0, 0, 500, 480), kHostWindow, nullptr, 2);
  frame->addView(new Probe(CRect(0, 0, 500, 480), events));
  EXPECT_EQ(frame->getScale(), 2);
  EXPECT_EQ(frame->getDeviceWidth(), 1000);
  EXPECT_EQ(frame->getDeviceHeight(), 960);
  EXPECT_EQ(log.with("create window")[0].substr(log.with("create window")[0].size() - 8), "1000 960");
  log.clear();
  // Device pixels 21 … 221 × 41 … 141 are units 10.5 … 110.5 × 20.5 … 70.5:
  // the views draw the whole units around them.
  scoped.backend.lastWindow->paint(CRect(21, 41, 221, 141));
  EXPECT_EQ(events, (Lines{"draw clip 10 20 111 71 at scale 2"}));
  EXPECT_EQ(log.count("create image 1000 960"), 1u);
  EXPECT_EQ(log.count("scale 2"), 1u);  // the back buffer's surface
  // The back buffer's pixels reach the window one to one, unscaled.
  EXPECT_EQ(log.with("image 1000x960"),
            (Lines{"image 1000x960 src 21 41 size 200 100 at 21 41 opacity 255"}));
  frame->forget();
}

TEST_F(ScaledFrame, InvalidationsCoverEveryDevicePixelOfTheUnits) {
  auto* frame = new CFrame(CRect(0, 0, 500, 480), kHostWindow, nullptr, 1.5);
  EXPECT_EQ(log.with("create window")[0].substr(log.with("create window")[0].size() - 7), "750 720");
  log.clear();
  frame->invalidRect(CRect(11, 21, 31, 41));  // device 16.5 … 46.5 × 31.5 … 61.5
  frame->invalidRect(CRect(0, 0, 500, 480));
  EXPECT_EQ(log.with("invalidate"), (Lines{"invalidate 16 31 31 31", "invalidate 0 0 750 720"}));
  frame->forget();
}

TEST_F(ScaledFrame, TheMouseArrivesInUnits) {
  Lines events;
  auto* frame = new CFrame(CRect(0, 0, 500, 480), kHostWindow, nullptr, 2);
  frame->addView(new Probe(CRect(0, 0, 500, 480), events));
  auto& window = scoped.backend.lastWindow->listener;
  window.platformMouseDown(CPoint(120, 320), kLButton);
  window.platformMouseMoved(CPoint(401, 320), kLButton);
  window.platformMouseUp(CPoint(400, 320), 0);
  EXPECT_EQ(events, (Lines{"down 60,160", "moved 200.5,160", "up 200,160"}));
  frame->forget();
}

TEST_F(ScaledFrame, ClampedScalesAndAFrameWithoutWindow) {
  auto* frame = new CFrame(CRect(0, 0, 500, 480), nullptr, nullptr, std::nan(""));
  EXPECT_EQ(frame->getScale(), 1);
  frame->forget();
  frame = new CFrame(CRect(0, 0, 500, 480), nullptr, nullptr, 50);
  EXPECT_EQ(frame->getScale(), 3);
  EXPECT_EQ(frame->getDeviceWidth(), 1500);
  frame->invalidRect(CRect(0, 0, 10, 10));  // no window: nothing
  EXPECT_EQ(log.count("invalidate"), 0u);
  frame->forget();
}

TEST_F(ScaledFrame, PicturesDrawTheirDoubleDensityTwinAboveScaleOne) {
  auto* bg = new CBitmap(CResourceDescription(1));
  auto* context = new COffscreenContext(nullptr, 100, 50, kBlackCColor, 2);
  log.clear();
  bg->draw(context, CRect(10, 20, 60, 40), CPoint(5, 6));
  // The twin of picture 1 is 1000 × 960 with two pixels per unit.
  EXPECT_EQ(log.with("scaled image"),
            (Lines{"scaled image 1000x960 density 2 src 5 6 size 50 20 at 10 20 opacity 255"}));
  context->forget();

  // At scale 1 the picture itself, through the unscaled call.
  context = new COffscreenContext(nullptr, 100, 50);
  log.clear();
  bg->draw(context, CRect(10, 20, 60, 40), CPoint(5, 6));
  EXPECT_EQ(log.count("scaled image"), 0u);
  EXPECT_EQ(log.with("image 500x480"), (Lines{"image 500x480 src 5 6 size 50 20 at 10 20 opacity 255"}));
  context->forget();
  bg->forget();

  // A picture without a twin (a file) is filtered once into a picture of
  // the scale's density (7 × 9 units at 1.5: 11 × 14), which every draw at
  // that scale then copies one to one.
  CBitmap* file = CBitmap::loadFromFile("some.png");
  context = new COffscreenContext(nullptr, 100, 50, kBlackCColor, 1.5);
  log.clear();
  file->draw(context, CRect(0, 0, 7, 9));
  file->draw(context, CRect(20, 0, 27, 9));
  EXPECT_EQ(log.with("scaled image"),
            (Lines{"scaled image 7x9 density 1 src 0 0 size 7 9 at 0 0 opacity 255",
                   "scaled image 11x14 density 1.5 src 0 0 size 7 9 at 0 0 opacity 255",
                   "scaled image 11x14 density 1.5 src 0 0 size 7 9 at 20 0 opacity 255"}));
  EXPECT_EQ(log.count("create image 11 14"), 1u);
  context->forget();
  file->forget();
}

}  // namespace
