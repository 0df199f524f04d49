// The frame's view tree: ownership, drawing order and clipping, routing of
// mouse, wheel and keys, invalidation and the window class bookkeeping.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "gui/cdraw_context.h"
#include "gui/cframe.h"
#include "gui/coffscreen_context.h"
#include "recording_backend.h"

using namespace VSTGUI;
using vorn_test::RecordingSurface;
using vorn_test::ScopedRecordingBackend;
using Lines = std::vector<std::string>;

namespace {

void* const kHostWindow = reinterpret_cast<void*>(0x42);

// A view that writes what reaches it into a shared list.
class ProbeView : public CView {
 public:
  ProbeView(const CRect& r, std::string name, Lines& events,
            CMouseEventResult pressResult = kMouseEventHandled)
      : CView(r), name_(std::move(name)), events_(events), pressResult_(pressResult) {}
  ~ProbeView() override { events_.push_back(name_ + " deleted"); }

  void draw(CDrawContext* context) override {
    CRect clip;
    context->getClipRect(clip);
    events_.push_back(name_ + " draw clip " + str(clip));
  }
  CMouseEventResult onMouseDown(CPoint& p, const CButtonState& b) override {
    return log("down", p, b), pressResult_;
  }
  CMouseEventResult onMouseUp(CPoint& p, const CButtonState& b) override {
    return log("up", p, b), kMouseEventHandled;
  }
  CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override {
    return log("moved", p, b), moveResult;
  }
  CMouseEventResult onMouseEntered(CPoint& p, const CButtonState& b) override {
    return log("entered", p, b), kMouseEventHandled;
  }
  CMouseEventResult onMouseExited(CPoint& p, const CButtonState& b) override {
    return log("exited", p, b), kMouseEventHandled;
  }
  void mouse(CDrawContext*, CPoint& p, CButtonState b) override { log("legacy", p, b); }
  bool onWheel(const CPoint& p, const CMouseWheelAxis&, const float& d, const CButtonState& b) override {
    events_.push_back(name_ + " wheel " + num(p.x) + "," + num(p.y) + " " + num(d) + " " + hex(b));
    return true;
  }
  int32_t onKeyDown(CKeyCode& key) override {
    events_.push_back(name_ + " key " + std::to_string(key.character));
    return 1;
  }

  CMouseEventResult moveResult = kMouseEventHandled;

 private:
  static std::string num(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
  }
  static std::string hex(int32_t v) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%x", static_cast<unsigned>(v));
    return b;
  }
  static std::string str(const CRect& r) {
    return num(r.left) + " " + num(r.top) + " " + num(r.right) + " " + num(r.bottom);
  }
  void log(const char* what, const CPoint& p, CButtonState b) {
    events_.push_back(name_ + " " + what + " " + num(p.x) + "," + num(p.y) + " " + hex(b));
  }
  std::string name_;
  Lines& events_;
  CMouseEventResult pressResult_;
};

class ViewTreeTest : public ::testing::Test {
 protected:
  ScopedRecordingBackend scoped;
  vorn_test::Log& log = scoped.backend.log;
  Lines events;
  CFrame* frame = nullptr;

  void SetUp() override { frame = new CFrame(CRect(0, 0, 500, 480), kHostWindow, nullptr); }
  void TearDown() override {
    if (frame) frame->forget();
  }
  ProbeView* add(const CRect& r, const char* name, CMouseEventResult press = kMouseEventHandled) {
    auto* view = new ProbeView(r, name, events, press);
    EXPECT_TRUE(frame->addView(view));  // the construction reference is handed over
    return view;
  }
};

TEST_F(ViewTreeTest, TheFrameOwnsItsViewsAndDeletesThemWithItself) {
  ProbeView* view = add(CRect(0, 0, 500, 480), "script");
  EXPECT_EQ(view->getNbReference(), 2);
  EXPECT_TRUE(view->isAttached());
  EXPECT_EQ(view->getFrame(), frame);
  EXPECT_EQ(view->getParentView(), frame);
  EXPECT_FALSE(frame->addView(view));  // already attached
  EXPECT_FALSE(frame->addView(nullptr));
  EXPECT_EQ(view->getNbReference(), 2);
  frame->forget();
  frame = nullptr;
  EXPECT_EQ(events, (Lines{"script deleted"}));
}

TEST_F(ViewTreeTest, TheWindowClassIsRegisteredByTheFirstFrameAndDroppedAfterTheLast) {
  EXPECT_EQ(CFrame::liveFrameCount(), 1);
  // "Plugin%p" of the module handle, as this platform's C library prints it.
  char expected[64];
  std::snprintf(expected, sizeof expected, "Plugin%p", reinterpret_cast<void*>(0x1000));
  const std::string name = expected;
  EXPECT_EQ(CFrame::windowClassName(), name);
  auto* second = new CFrame(CRect(0, 0, 500, 480), kHostWindow, nullptr);
  auto* noWindow = new CFrame(CRect(0, 0, 500, 480), reinterpret_cast<void*>(0xBAD), nullptr);
  EXPECT_EQ(noWindow->getPlatformWindow(), nullptr);
  EXPECT_EQ(CFrame::liveFrameCount(), 3);
  noWindow->forget();
  second->forget();
  frame->forget();
  frame = nullptr;
  EXPECT_EQ(CFrame::liveFrameCount(), 0);
  EXPECT_EQ(log.with("register"), (Lines{"register " + name}));
  EXPECT_EQ(log.with("unregister"), (Lines{"unregister " + name}));
  EXPECT_EQ(log.with("create window"),
            (Lines{"create window " + name + " Window 500 480", "create window " + name + " Window 500 480",
                   "create window " + name + " Window 500 480"}));
}

TEST_F(ViewTreeTest, AFrameWithoutParentHasNoWindowAndInvalidatesNothing) {
  auto* orphan = new CFrame(CRect(0, 0, 100, 100), nullptr, nullptr);
  EXPECT_EQ(orphan->getPlatformWindow(), nullptr);
  log.clear();
  orphan->invalidRect(CRect(0, 0, 10, 10));
  orphan->idle();
  EXPECT_TRUE(log.lines.empty());
  orphan->forget();
}

TEST_F(ViewTreeTest, InvalidationTruncatesEachEdgeTowardZero) {
  ProbeView* view = add(CRect(0, 0, 500, 480), "script");
  log.clear();
  view->invalidRect(CRect(10.7, 20.2, 30.9, 40.5));
  view->invalidRect(CRect(-1.5, -0.5, 3.5, 2.5));
  view->setVisible(false);
  view->invalidRect(CRect(0, 0, 5, 5));  // an invisible view invalidates nothing
  EXPECT_EQ(log.with("invalidate"), (Lines{"invalidate 10 20 20 20", "invalidate -1 0 4 2"}));
}

TEST_F(ViewTreeTest, IdleInvalidatesDirtyViewsThenPumpsTheWindow) {
  ProbeView* a = add(CRect(0, 0, 10, 10), "a");
  add(CRect(20, 20, 30, 30), "b");
  log.clear();
  a->setDirty();
  frame->idle();
  EXPECT_EQ(log.lines, (Lines{"invalidate 0 0 10 10", "pump"}));
  EXPECT_FALSE(a->isDirty());
}

TEST_F(ViewTreeTest, DrawingPaintsBlackThenEveryOverlappingChildClippedToIt) {
  add(CRect(0, 0, 100, 100), "a");
  add(CRect(100, 100, 200, 200), "b");  // touches the update rectangle's corner
  add(CRect(300, 300, 400, 400), "c");  // outside
  RecordingSurface surface(log, "surface");
  auto* context = new CDrawContext(frame, &surface, nullptr);
  log.clear();
  frame->drawRect(context, CRect(50, 50, 100, 100));
  EXPECT_FALSE(frame->isFirstDraw());
  // Background: fill and frame colour black, the whole frame, clipped to the update.
  EXPECT_EQ(log.lines, (Lines{"clip 50 50 50 50", "pen ff000000", "fillRect 0 0 500 480",
                              "strokeRect 0 0 499 479", "clip 0 0 500 480"}));
  // b touches the corner but its clip is empty, so only a draws.
  EXPECT_EQ(events, (Lines{"a draw clip 50 50 100 100"}));
  // The view sees: offset 0, black fill and pen, white text, width 1, aliased, Arial 12.
  EXPECT_EQ(context->getFillColor(), kBlackCColor);
  EXPECT_EQ(context->getFrameColor(), kBlackCColor);
  EXPECT_EQ(context->getOffset(), CPoint(0, 0));
  context->forget();
}

TEST_F(ViewTreeTest, AnEmptyUpdateDrawsNothing) {
  add(CRect(0, 0, 100, 100), "a");
  RecordingSurface surface(log, "surface");
  auto* context = new CDrawContext(frame, &surface, nullptr);
  frame->drawRect(context, CRect(10, 10, 10, 50));
  EXPECT_TRUE(events.empty());
  context->forget();
}

TEST_F(ViewTreeTest, PaintsGoThroughOneBackBufferOfTheFrameSize) {
  add(CRect(0, 0, 500, 480), "script");
  log.clear();
  scoped.backend.lastWindow->paint(CRect(10, 20, 110, 70));
  scoped.backend.lastWindow->paint(CRect(0, 0, 0, 0));  // empty: nothing
  scoped.backend.lastWindow->paint(CRect(0, 0, 500, 480));
  EXPECT_EQ(log.with("create image"), (Lines{"create image 500 480"}));
  // Each paint copies its rectangle of the back buffer to the window.
  EXPECT_EQ(log.with("image 500x480"), (Lines{"image 500x480 src 10 20 size 100 50 at 10 20 opacity 255",
                                              "image 500x480 src 0 0 size 500 480 at 0 0 opacity 255"}));
  EXPECT_EQ(events, (Lines{"script draw clip 10 20 110 70", "script draw clip 0 0 500 480"}));
  EXPECT_NE(frame->getBackBuffer(), nullptr);
}

TEST(ViewTreePaint, WindowsWithoutBackBufferDrawStraightToThePaintSurface) {
  ScopedRecordingBackend scoped;
  scoped.backend.backBufferWindows = false;
  auto* frame = new CFrame(CRect(0, 0, 50, 50), kHostWindow, nullptr);
  scoped.backend.lastWindow->paint(CRect(0, 0, 50, 50));
  EXPECT_EQ(frame->getBackBuffer(), nullptr);
  EXPECT_EQ(scoped.backend.log.count("fillRect 0 0 50 50"), 1u);
  EXPECT_EQ(scoped.backend.log.count("create image"), 0u);
  frame->forget();
}

TEST_F(ViewTreeTest, APressCapturesTheViewUntilTheRelease) {
  add(CRect(0, 0, 500, 480), "script");
  auto& window = scoped.backend.lastWindow->listener;
  EXPECT_EQ(window.platformMouseDown(CPoint(10, 20), kLButton | kShift), kMouseEventHandled);
  window.platformMouseMoved(CPoint(-30, 900), kLButton | kShift);  // outside: still the view
  window.platformMouseUp(CPoint(-30, 900), 0);
  window.platformMouseMoved(CPoint(5, 5), 0);  // first move after a release: enters only
  window.platformMouseMoved(CPoint(6, 5), 0);
  EXPECT_EQ(events, (Lines{"script down 10,20 0x12", "script moved -30,900 0x12", "script up -30,900 0x0",
                           "script entered 5,5 0x0", "script moved 6,5 0x0"}));
  EXPECT_EQ(frame->getMouseDownView(), nullptr);
  EXPECT_TRUE(frame->isTrackingMouse());
  EXPECT_EQ(log.count("track leave"), 1u);
}

TEST_F(ViewTreeTest, HoverMovesCarryNoButtonsAndLeavingClearsTheMouseOverView) {
  add(CRect(0, 0, 100, 100), "a");
  add(CRect(100, 0, 200, 100), "b");
  auto& window = scoped.backend.lastWindow->listener;
  window.platformMouseMoved(CPoint(10, 10), kShift);
  window.platformMouseMoved(CPoint(11, 10), kShift);
  window.platformMouseMoved(CPoint(150, 10), 0);
  window.platformMouseExited(CPoint(250, 10), 0);
  EXPECT_EQ(events, (Lines{"a entered 10,10 0x10", "a moved 11,10 0x0", "a exited 150,10 0x0",
                           "b entered 150,10 0x0", "b exited 250,10 0x0"}));
  EXPECT_EQ(frame->getMouseOverView(), nullptr);
  EXPECT_FALSE(frame->isTrackingMouse());
}

TEST_F(ViewTreeTest, APressEndsTheHoverAndHitsTheTopmostChild) {
  add(CRect(0, 0, 100, 100), "under");
  add(CRect(0, 0, 100, 100), "over");
  auto& window = scoped.backend.lastWindow->listener;
  window.platformMouseMoved(CPoint(50, 50), 0);
  window.platformMouseDown(CPoint(50, 50), kRButton);
  EXPECT_EQ(events, (Lines{"over entered 50,50 0x0", "over exited 50,50 0x8", "over down 50,50 0x8"}));
  EXPECT_EQ(frame->getMouseOverView(), nullptr);
}

TEST_F(ViewTreeTest, AnUnhandledPressFallsBackToTheOlderInterface) {
  add(CRect(0, 0, 100, 100), "old", kMouseEventNotHandled);
  CPoint inside(5, 5);
  EXPECT_EQ(frame->onMouseDown(inside, kLButton), kMouseEventNotHandled);
  CPoint outside(300, 300);
  EXPECT_EQ(frame->onMouseDown(outside, kLButton), kMouseEventNotImplemented);
  EXPECT_EQ(frame->onMouseUp(outside, 0), kMouseEventNotImplemented);
  EXPECT_EQ(events, (Lines{"old down 5,5 0x2", "old legacy 5,5 0x2"}));
}

TEST_F(ViewTreeTest, AMoveTheDraggedViewDoesNotHandleEndsTheDrag) {
  ProbeView* view = add(CRect(0, 0, 100, 100), "v");
  CPoint p(5, 5);
  frame->onMouseDown(p, kLButton);
  view->moveResult = kMouseEventNotHandled;
  CPoint q(6, 6);
  frame->onMouseMoved(q, kLButton);
  EXPECT_EQ(frame->getMouseDownView(), nullptr);
}

TEST_F(ViewTreeTest, TheWheelReachesTheViewUnderThePointunlessADragIsOn) {
  add(CRect(0, 0, 100, 100), "v");
  auto& window = scoped.backend.lastWindow->listener;
  EXPECT_TRUE(window.platformWheel(CPoint(5, 6), -2, kControl));
  EXPECT_FALSE(window.platformWheel(CPoint(300, 300), 1, 0));  // no view there
  window.platformMouseDown(CPoint(5, 5), kLButton);
  EXPECT_FALSE(window.platformWheel(CPoint(5, 6), 1, 0));
  EXPECT_EQ(events, (Lines{"v wheel 5,6 -2 0x20", "v down 5,5 0x2"}));
}

TEST_F(ViewTreeTest, KeysGoToTheFocusViewAndTabFindsNoViewThatWantsFocus) {
  ProbeView* view = add(CRect(0, 0, 100, 100), "v");
  CKeyCode tab{0, kVirtualKeyTab, 0};
  EXPECT_EQ(frame->onKeyDown(tab), -1);
  CKeyCode a{'a', 0, 0};
  EXPECT_EQ(frame->onKeyDown(a), -1);
  view->setWantsFocus(true);
  EXPECT_EQ(frame->onKeyDown(tab), 1);
  EXPECT_EQ(frame->getFocusView(), view);
  EXPECT_EQ(frame->onKeyDown(a), 1);
  EXPECT_EQ(frame->onKeyUp(a), -1);
  CPoint p(1, 1);
  frame->onMouseDown(p, kLButton);  // a press drops the focus
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(events.front(), "v key 97");
}

TEST_F(ViewTreeTest, NestedContainersOffsetDrawingAndRouting) {
  auto* box = new CViewContainer(CRect(100, 100, 300, 300), frame);
  box->setTransparency(true);
  frame->addView(box);
  auto* inner = new ProbeView(CRect(10, 10, 50, 50), "inner", events);
  box->addView(inner);
  EXPECT_EQ(inner->getFrame(), frame);
  log.clear();
  inner->invalidRect(CRect(10, 10, 50, 50));
  EXPECT_EQ(log.with("invalidate"), (Lines{"invalidate 110 110 40 40"}));

  auto& window = scoped.backend.lastWindow->listener;
  window.platformMouseMoved(CPoint(120, 130), 0);
  window.platformMouseDown(CPoint(120, 130), kLButton);
  window.platformMouseMoved(CPoint(125, 130), kLButton);
  window.platformMouseUp(CPoint(125, 130), 0);
  EXPECT_EQ(events, (Lines{"inner entered 20,30 0x0", "inner exited 20,30 0x2", "inner down 20,30 0x2",
                           "inner moved 25,30 0x2", "inner up 25,30 0x0"}));

  events.clear();
  RecordingSurface surface(log, "surface");
  auto* context = new CDrawContext(frame, &surface, nullptr);
  frame->drawRect(context, CRect(0, 0, 500, 480));
  EXPECT_EQ(events, (Lines{"inner draw clip 10 10 50 50"}));
  EXPECT_EQ(context->getOffset(), CPoint(0, 0));
  context->forget();
}

TEST_F(ViewTreeTest, ADestroyedWindowClosesTheFrame) {
  scoped.backend.lastWindow->listener.platformWindowDestroyed();
  EXPECT_FALSE(frame->isOpen());
  EXPECT_EQ(frame->getParentWindow(), nullptr);
  log.clear();
  frame->idle();
  EXPECT_TRUE(log.lines.empty());
}

}  // namespace
