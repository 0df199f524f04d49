// The CLAP editor under a virtual display, in a host of ours that drives it
// through timer-support or posix-fd-support: embedded in the host's window
// at the size of its scale, a drag through XTest becomes gestures and
// values that the host's flush turns into the sound and into events the
// host records, a host value shows in the editor, nothing stays registered
// with the host after destroy, and without a display, a window or a loop
// the editor is refused cleanly. Without the host's scale it follows the
// desktop's as its window reports it.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/clap/gui_host.h"

namespace {

using namespace std::chrono_literals;
using claptest::GuiHost;

constexpr clap_id kDelay = 1;
constexpr clap_id kFeedback = 3;

// Which host, at which scale.
struct Setup {
  bool fds;  // posix-fd-support only, else timer-support only
  double scale;
};

void PrintTo(const Setup& setup, std::ostream* out) {
  *out << (setup.fds ? "posix-fd-support" : "timer-support") << " at scale " << setup.scale;
}

std::string Name(const ::testing::TestParamInfo<Setup>& info) {
  return std::string(info.param.fds ? "Fds" : "Timers") + "AtScale" +
         std::to_string(static_cast<int>(info.param.scale));
}

class ClapGui : public ::testing::TestWithParam<Setup> {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest";
    parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1000, 960, 0, 0, 0);
    XMapWindow(display_, parent_);
    XSync(display_, False);
    GuiHost::Offers offers;
    offers.timers = !GetParam().fds;
    offers.fds = GetParam().fds;
    host_ = std::make_unique<GuiHost>(offers);
    ASSERT_NE(host_->gui(), nullptr);
  }

  void TearDown() override {
    if (host_ != nullptr && host_->gui() != nullptr) {
      host_->gui()->destroy(host_->plugin());
      EXPECT_TRUE(host_->timers.empty()) << "a timer outlived the editor";
      EXPECT_TRUE(host_->fds.empty()) << "a descriptor outlived the editor";
    }
    host_.reset();
    if (display_ != nullptr) {
      XDestroyWindow(display_, parent_);
      XCloseDisplay(display_);
    }
  }

  // create, set_scale, get_size, set_parent, show: the embedding order.
  void Open() {
    const clap_plugin_gui_t* gui = host_->gui();
    const clap_plugin_t* plugin = host_->plugin();
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_X11, false));
    ASSERT_TRUE(gui->set_scale(plugin, GetParam().scale));
    ASSERT_FALSE(gui->can_resize(plugin));
    ASSERT_TRUE(gui->get_size(plugin, &width_, &height_));
    clap_window_t window{};
    window.api = CLAP_WINDOW_API_X11;
    window.x11 = parent_;
    ASSERT_TRUE(gui->set_parent(plugin, &window));
    ASSERT_TRUE(gui->show(plugin));
    ASSERT_TRUE(PumpUntil([&] { return EditorWindow() != 0; })) << "no editor window in the parent";
  }

  void Activate(GuiHost& host) {
    ASSERT_TRUE(host.plugin()->activate(host.plugin(), 44100, 1, 8192));
    ASSERT_TRUE(host.plugin()->start_processing(host.plugin()));
  }

  // The host's loop until `done` holds, at most five seconds.
  bool PumpUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      if (host_->Pump(10) == 0 || host_->fds.empty()) std::this_thread::sleep_for(5ms);
    }
    return true;
  }

  // The editor's window: the parent's only child.
  ::Window EditorWindow() {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, parent_, &root, &parent, &children, &count)) return 0;
    const ::Window child = count == 1 ? children[0] : 0;
    if (children != nullptr) XFree(children);
    return child;
  }

  // The editor's pixels as the server has them, as far as the screen shows
  // them (the window at scale 2 is taller than the virtual screen).
  std::vector<unsigned long> Pixels() {
    std::vector<unsigned long> pixels;
    const auto width = std::min<unsigned>(width_, static_cast<unsigned>(DisplayWidth(display_, 0)));
    const auto height = std::min<unsigned>(height_, static_cast<unsigned>(DisplayHeight(display_, 0)));
    XImage* image = XGetImage(display_, EditorWindow(), 0, 0, width, height, AllPlanes, ZPixmap);
    if (image == nullptr) return pixels;
    shotWidth_ = width;
    shotHeight_ = height;
    for (unsigned y = 0; y < height; ++y)
      for (unsigned x = 0; x < width; ++x)
        pixels.push_back(XGetPixel(image, static_cast<int>(x), static_cast<int>(y)));
    XDestroyImage(image);
    return pixels;
  }

  // With VORN_CLAP_GUI_SHOTS set, the editor as a PPM picture in that folder.
  void Shoot(const char* name) {
    const char* folder = std::getenv("VORN_CLAP_GUI_SHOTS");
    if (folder == nullptr) return;
    const std::vector<unsigned long> pixels = Pixels();
    const std::string path = std::string(folder) + "/" + name + ".ppm";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fprintf(file, "P6\n%u %u\n255\n", shotWidth_, shotHeight_);
    for (unsigned long pixel : pixels) {
      const unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16),
                                    static_cast<unsigned char>(pixel >> 8),
                                    static_cast<unsigned char>(pixel)};
      std::fwrite(rgb, 1, 3, file);
    }
    std::fclose(file);
  }

  // The host's loop until the editor has drawn a frame: a point of ours on
  // its window, painted over by the editor's next frame.
  bool WaitForFrame() {
    const ::Window editor = EditorWindow();
    GC gc = XCreateGC(display_, editor, 0, nullptr);
    constexpr unsigned long kMark = 0xff00ff;
    XSetForeground(display_, gc, kMark);
    XDrawPoint(display_, editor, gc, 0, 0);
    XFreeGC(display_, gc);
    XSync(display_, False);
    return PumpUntil([&] {
      XImage* image = XGetImage(display_, editor, 0, 0, 1, 1, AllPlanes, ZPixmap);
      const bool painted = image != nullptr && (XGetPixel(image, 0, 0) & 0xffffff) != kMark;
      if (image != nullptr) XDestroyImage(image);
      return painted;
    });
  }
  // A pointer event, then the host's loop until the editor handed the
  // plug-in an edit (when `edits`), else until it drew a frame with it.
  void Pointer(const std::function<void()>& send, bool edits) {
    const int before = host_->flushRequests;
    send();
    XSync(display_, False);
    if (edits) {
      EXPECT_TRUE(PumpUntil([&] { return host_->flushRequests > before; })) << "no edit reached the host";
    } else {
      EXPECT_TRUE(WaitForFrame()) << "the editor drew no frame";
    }
  }
  void Move(int x, int y, bool edits) {
    const int s = static_cast<int>(GetParam().scale);
    Pointer([&] { XTestFakeMotionEvent(display_, -1, x * s, y * s, CurrentTime); }, edits);
  }
  void Button(bool down) {
    Pointer([&] { XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime); }, true);
  }
  // The drag on the feedback slider the VST and LV2 editor tests make, in
  // units of the editor's layout: the slider sees the pointer over it, then
  // the press, the moves and the release.
  void DragFeedback() {
    Move(57, 162, false);
    Move(60, 160, false);
    Button(true);
    for (int x = 100; x <= 200; x += 50) Move(x, 160, true);
    Button(false);
  }

  Display* display_ = nullptr;
  ::Window parent_ = 0;
  std::unique_ptr<GuiHost> host_;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
  unsigned shotWidth_ = 0;
  unsigned shotHeight_ = 0;
};

TEST_P(ClapGui, TheEditorIsEmbeddedAtTheSizeOfItsScaleAndItsTicksEndWithIt) {
  Open();
  const auto s = static_cast<std::uint32_t>(GetParam().scale);
  EXPECT_EQ(width_, 500 * s);
  EXPECT_EQ(height_, 480 * s);
  XWindowAttributes attributes{};
  ASSERT_TRUE(XGetWindowAttributes(display_, EditorWindow(), &attributes));
  EXPECT_EQ(attributes.width, static_cast<int>(width_));
  EXPECT_EQ(attributes.height, static_cast<int>(height_));
  EXPECT_EQ(host_->timers.size() + host_->fds.size(), 1u) << "one tick source";
  if (!GetParam().fds) {
    EXPECT_GE(host_->timers.begin()->second, 10u);
    EXPECT_LE(host_->timers.begin()->second, 50u);
  }
  // The first paint is there (not the window's black background).
  const std::vector<unsigned long> black(Pixels().size(), 0);
  ASSERT_TRUE(PumpUntil([&] { return Pixels() != black; }));
  Shoot(GetParam().scale == 1 ? "clap-editor-scale1" : "clap-editor-scale2");
  EXPECT_TRUE(host_->outEvents.empty());
  EXPECT_EQ(host_->flushRequests, 0) << "nothing edited, nothing asked";

  // A new scale while open: the window is made again at its size, the host
  // is asked for the room, and one tick source stays.
  const std::uint32_t other = s == 1 ? 2 : 1;
  ASSERT_TRUE(host_->gui()->set_scale(host_->plugin(), other));
  EXPECT_EQ(host_->resizeRequests,
            (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{500 * other, 480 * other}}));
  ASSERT_TRUE(PumpUntil([&] {
    XWindowAttributes now{};
    return EditorWindow() != 0 && XGetWindowAttributes(display_, EditorWindow(), &now) &&
           now.width == static_cast<int>(500 * other);
  }));
  EXPECT_EQ(host_->timers.size() + host_->fds.size(), 1u);
  EXPECT_FALSE(host_->gui()->set_scale(host_->plugin(), 0));
  EXPECT_FALSE(host_->gui()->set_scale(host_->plugin(), std::nan("")));
  std::uint32_t width = 0, height = 0;
  ASSERT_TRUE(host_->gui()->get_size(host_->plugin(), &width, &height));
  EXPECT_EQ(width, 500 * other) << "a refused scale changes nothing";

  // Hidden, it stops ticking; shown again it ticks; destroyed and made
  // again it works as the first time.
  EXPECT_TRUE(host_->gui()->hide(host_->plugin()));
  EXPECT_TRUE(host_->timers.empty() && host_->fds.empty());
  EXPECT_TRUE(host_->gui()->show(host_->plugin()));
  EXPECT_EQ(host_->timers.size() + host_->fds.size(), 1u);
  host_->gui()->destroy(host_->plugin());
  EXPECT_TRUE(host_->timers.empty() && host_->fds.empty());
  ASSERT_TRUE(PumpUntil([&] { return EditorWindow() == 0; })) << "the window went with the editor";
  Open();
  EXPECT_EQ(width_, 500 * s);
}

TEST_P(ClapGui, ADragBecomesGesturesAndValuesThatReachTheSoundThroughTheHostsFlush) {
  Activate(*host_);
  Open();
  const std::vector<unsigned long> black(Pixels().size(), 0);
  ASSERT_TRUE(PumpUntil([&] { return Pixels() != black; }));
  DragFeedback();
  // Nothing sounds before the host runs the plug-in.
  EXPECT_TRUE(host_->outEvents.empty());
  std::vector<float> ignored;
  host_->Process(256, {}, 0, &ignored);
  const std::vector<claptest::OutEvent>& out = host_->outEvents;
  ASSERT_GE(out.size(), 3u);
  EXPECT_EQ(out.front().type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
  EXPECT_EQ(out.back().type, CLAP_EVENT_PARAM_GESTURE_END);
  for (const claptest::OutEvent& e : out) {
    EXPECT_EQ(e.param, kFeedback) << "only the dragged slider";
    EXPECT_EQ(e.time, 0u);
  }
  for (std::size_t i = 1; i + 1 < out.size(); ++i) EXPECT_EQ(out[i].type, CLAP_EVENT_PARAM_VALUE);
  // The release at x 200 leaves the knob at (200 - 30 - 16) / 216 of the
  // range, rounded up to whole percent: 72, as in the VST editor.
  EXPECT_EQ(out[out.size() - 2].value, 72.0);
  double feedback = 0;
  ASSERT_TRUE(host_->params()->get_value(host_->plugin(), kFeedback, &feedback));
  EXPECT_EQ(feedback, 72.0);

  // The recorded automation played into a second instance gives the same
  // sound; the first instance's sound is not what it was before the drag.
  GuiHost replay({});
  GuiHost untouched({});
  Activate(replay);
  Activate(untouched);
  std::vector<clap_event_param_value_t> recorded;
  for (const claptest::OutEvent& e : out)
    if (e.type == CLAP_EVENT_PARAM_VALUE) recorded.push_back(GuiHost::Value(e.param, e.value, e.time));
  replay.Process(256, recorded, 0, &ignored);
  untouched.Process(256, {}, 0, &ignored);
  // An impulse, long enough for the echoes that feedback makes.
  const auto impulse = [](GuiHost& host) {
    std::vector<float> output;
    for (int block = 0; block < 8; ++block) host.Process(8192, {}, block == 0 ? 1.0f : 0.0f, &output);
    return output;
  };
  const std::vector<float> ours = impulse(*host_), theirs = impulse(replay), before = impulse(untouched);
  EXPECT_EQ(ours, theirs);
  EXPECT_NE(ours, before);
  EXPECT_TRUE(replay.outEvents.empty()) << "a host's values are not echoed back";
}

TEST_P(ClapGui, AValueFromTheHostShowsInTheEditorAndIsNotSentBack) {
  Activate(*host_);
  Open();
  const std::vector<unsigned long> black(Pixels().size(), 0);
  ASSERT_TRUE(PumpUntil([&] { return Pixels() != black; }));
  host_->Process(64, {}, 0, nullptr);
  // The first frames settle: two pumps in a row give the same picture.
  std::vector<unsigned long> shown = Pixels();
  ASSERT_TRUE(PumpUntil([&] {
    std::vector<unsigned long> now = Pixels();
    const bool same = now == shown;
    shown = std::move(now);
    return same;
  }));
  double delay = 0;
  ASSERT_TRUE(host_->params()->get_value(host_->plugin(), kDelay, &delay));
  host_->Process(64, {GuiHost::Value(kDelay, 100)}, 0, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Pixels() != shown; })) << "the delay slider did not move";
  host_->Process(64, {GuiHost::Value(kDelay, delay)}, 0, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Pixels() == shown; })) << "the delay slider did not come back";
  host_->Process(64, {}, 0, nullptr);
  EXPECT_TRUE(host_->outEvents.empty()) << "a host value is not echoed back";
  EXPECT_EQ(host_->flushRequests, 0);
}

TEST_P(ClapGui, AnEditorDestroyedMidDragEndsItsGesture) {
  Activate(*host_);
  Open();
  Move(57, 162, false);
  Move(60, 160, false);
  Button(true);
  Move(150, 160, true);
  host_->gui()->destroy(host_->plugin());
  XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  XSync(display_, False);
  host_->Process(64, {}, 0, nullptr);
  ASSERT_GE(host_->outEvents.size(), 3u);
  EXPECT_EQ(host_->outEvents.front().type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
  EXPECT_EQ(host_->outEvents.back().type, CLAP_EVENT_PARAM_GESTURE_END);
  EXPECT_EQ(host_->outEvents.back().param, kFeedback);
}

TEST_P(ClapGui, AParentTheHostDestroysClosesTheEditorAndItsTicks) {
  Open();
  XDestroyWindow(display_, parent_);
  XSync(display_, False);
  ASSERT_TRUE(PumpUntil([&] { return host_->closedCalls > 0; })) << "the host was not told";
  EXPECT_EQ(host_->closedCalls, 1);
  EXPECT_TRUE(host_->timers.empty() && host_->fds.empty());
  EXPECT_FALSE(host_->gui()->show(host_->plugin()));
  parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 10, 10, 0, 0, 0);
}

TEST_P(ClapGui, AnInstanceDestroyedWithItsEditorOpenTakesItAllAlong) {
  Open();
  const ::Window editor = EditorWindow();
  // Callbacks that are not ours change nothing.
  const clap_plugin_t* plugin = host_->plugin();
  const auto* timer =
      static_cast<const clap_plugin_timer_support_t*>(plugin->get_extension(plugin, CLAP_EXT_TIMER_SUPPORT));
  const auto* fd = static_cast<const clap_plugin_posix_fd_support_t*>(
      plugin->get_extension(plugin, CLAP_EXT_POSIX_FD_SUPPORT));
  ASSERT_NE(timer, nullptr);
  ASSERT_NE(fd, nullptr);
  timer->on_timer(plugin, 12345);
  fd->on_fd(plugin, 0, CLAP_POSIX_FD_READ);
  EXPECT_EQ(host_->timers.size() + host_->fds.size(), 1u);
  host_->DestroyPlugin();
  EXPECT_TRUE(host_->timers.empty() && host_->fds.empty());
  ASSERT_TRUE(PumpUntil([&] { return EditorWindow() == 0; })) << "the window " << editor << " stayed";
}

INSTANTIATE_TEST_SUITE_P(Hosts, ClapGui,
                         ::testing::Values(Setup{false, 1}, Setup{false, 2}, Setup{true, 1}, Setup{true, 2}),
                         Name);

// A desktop at 192 dpi (Xft.dpi in the server's resources) and no
// VORN_UI_SCALE: without the host's set_scale the editor takes the scale
// its window reports and asks the host for the room; the host's scale,
// given first, wins over the desktop's.
class ClapGuiDesktopScale : public ClapGui {
 protected:
  void SetUp() override {
    const char* variable = std::getenv("VORN_UI_SCALE");
    hadScale_ = variable != nullptr;
    if (hadScale_) savedScale_ = variable;
    unsetenv("VORN_UI_SCALE");
    ClapGui::SetUp();
  }

  void TearDown() override {
    if (display_ != nullptr) SetResources(nullptr);
    ClapGui::TearDown();
    if (hadScale_) setenv("VORN_UI_SCALE", savedScale_.c_str(), 1);
  }

  // The desktop's X resources as xrdb would load them (null removes them).
  void SetResources(const char* text) {
    const Atom property = XInternAtom(display_, "RESOURCE_MANAGER", False);
    if (text != nullptr)
      XChangeProperty(display_, DefaultRootWindow(display_), property, XA_STRING, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text), static_cast<int>(std::strlen(text)));
    else
      XDeleteProperty(display_, DefaultRootWindow(display_), property);
    XSync(display_, False);
  }

  // create, (set_scale when hostScale > 0), set_parent, show; then the
  // host's loop until the editor's window is `width` pixels wide.
  void OpenAt(double hostScale, int width) {
    const clap_plugin_gui_t* gui = host_->gui();
    const clap_plugin_t* plugin = host_->plugin();
    host_->resizeRequests.clear();
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_X11, false));
    if (hostScale > 0) {
      ASSERT_TRUE(gui->set_scale(plugin, hostScale));
    }
    clap_window_t window{};
    window.api = CLAP_WINDOW_API_X11;
    window.x11 = parent_;
    ASSERT_TRUE(gui->set_parent(plugin, &window));
    ASSERT_TRUE(gui->show(plugin));
    ASSERT_TRUE(PumpUntil([&] {
      XWindowAttributes now{};
      return EditorWindow() != 0 && XGetWindowAttributes(display_, EditorWindow(), &now) &&
             now.width == width;
    })) << "no editor window "
        << width << " pixels wide";
    ASSERT_TRUE(gui->get_size(plugin, &width_, &height_));
  }

  bool hadScale_ = false;
  std::string savedScale_;
};

using Sizes = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

TEST_P(ClapGuiDesktopScale, FollowsTheWindowsScaleUnlessTheHostSetsOne) {
  SetResources("Xft.dpi:\t192\n");
  OpenAt(0, 1000);
  EXPECT_EQ(width_, 1000u);
  EXPECT_EQ(height_, 960u);
  EXPECT_EQ(host_->resizeRequests, (Sizes{{1000, 960}}));
  EXPECT_EQ(host_->timers.size() + host_->fds.size(), 1u) << "one tick source for the window made again";
  const std::vector<unsigned long> black(Pixels().size(), 0);
  ASSERT_TRUE(PumpUntil([&] { return Pixels() != black; })) << "the window made again never painted";
  Shoot(GetParam().fds ? "clap-editor-desktop-fds" : "clap-editor-desktop-timers");

  // A later set_scale still applies, and the window keeps it.
  ASSERT_TRUE(host_->gui()->set_scale(host_->plugin(), 1));
  EXPECT_EQ(host_->resizeRequests, (Sizes{{1000, 960}, {500, 480}}));
  ASSERT_TRUE(PumpUntil([&] {
    XWindowAttributes now{};
    return EditorWindow() != 0 && XGetWindowAttributes(display_, EditorWindow(), &now) && now.width == 500;
  }));
  host_->gui()->destroy(host_->plugin());

  // The host's scale given first: the desktop's is not followed, and the
  // host is asked for nothing.
  OpenAt(1, 500);
  EXPECT_EQ(width_, 500u);
  EXPECT_EQ(height_, 480u);
  EXPECT_TRUE(host_->resizeRequests.empty());
  host_->gui()->destroy(host_->plugin());

  // Back on a 96-dpi desktop the editor follows it down again.
  SetResources("Xft.dpi:\t96\n");
  OpenAt(0, 500);
  EXPECT_EQ(width_, 500u);
  EXPECT_EQ(height_, 480u);
  // The last window's scale (2) was the one to start from: the host hears
  // of the smaller size.
  EXPECT_EQ(host_->resizeRequests, (Sizes{{500, 480}}));
}

INSTANTIATE_TEST_SUITE_P(Hosts, ClapGuiDesktopScale, ::testing::Values(Setup{false, 1}, Setup{true, 1}),
                         Name);

// What the editor is refused for, and that a refusal leaves nothing behind.
TEST(ClapGuiRefusal, NoDisplayNoWindowNoLoopNoFloatingNoOtherApi) {
  GuiHost host({});
  const clap_plugin_gui_t* gui = host.gui();
  const clap_plugin_t* plugin = host.plugin();
  ASSERT_NE(gui, nullptr);
  const char* api = nullptr;
  bool floating = true;
  ASSERT_TRUE(gui->get_preferred_api(plugin, &api, &floating));
  EXPECT_STREQ(api, CLAP_WINDOW_API_X11);
  EXPECT_FALSE(floating);
  EXPECT_TRUE(gui->is_api_supported(plugin, CLAP_WINDOW_API_X11, false));
  EXPECT_FALSE(gui->is_api_supported(plugin, CLAP_WINDOW_API_X11, true));
  EXPECT_FALSE(gui->is_api_supported(plugin, CLAP_WINDOW_API_WAYLAND, false));
  EXPECT_FALSE(gui->create(plugin, CLAP_WINDOW_API_X11, true));
  EXPECT_FALSE(gui->create(plugin, CLAP_WINDOW_API_WIN32, false));
  std::uint32_t width = 0, height = 0;
  EXPECT_FALSE(gui->get_size(plugin, &width, &height)) << "no size before create";

  const char* display = std::getenv("DISPLAY");
  const std::string saved = display != nullptr ? display : "";
  unsetenv("DISPLAY");
  EXPECT_FALSE(gui->create(plugin, CLAP_WINDOW_API_X11, false)) << "no display";
  if (!saved.empty()) {
    // A display that does not answer: the window cannot be made.
    setenv("DISPLAY", ":9999", 1);
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_X11, false));
    clap_window_t window{};
    window.api = CLAP_WINDOW_API_X11;
    window.x11 = 1;
    EXPECT_FALSE(gui->set_parent(plugin, &window));
    gui->destroy(plugin);
    setenv("DISPLAY", saved.c_str(), 1);
    // A parent id that names no window.
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_X11, false));
    window.x11 = 0x7ffffff0;
    EXPECT_FALSE(gui->set_parent(plugin, &window));
    EXPECT_FALSE(gui->show(plugin));
    gui->destroy(plugin);
  }
  EXPECT_TRUE(host.timers.empty() && host.fds.empty());

  // Without the host's scale the environment's holds.
  if (!saved.empty()) {
    const char* variable = std::getenv("VORN_UI_SCALE");
    const std::string savedScale = variable != nullptr ? variable : "";
    setenv("VORN_UI_SCALE", "2", 1);
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_X11, false));
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    EXPECT_EQ(width, 1000u);
    EXPECT_EQ(height, 960u);
    ASSERT_TRUE(gui->set_scale(plugin, 1));
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    EXPECT_EQ(width, 500u) << "the host's scale wins";
    EXPECT_FALSE(gui->set_size(plugin, 600, 600));
    EXPECT_TRUE(gui->set_size(plugin, 500, 480));
    gui->destroy(plugin);
    if (variable != nullptr) {
      setenv("VORN_UI_SCALE", savedScale.c_str(), 1);
    } else {
      unsetenv("VORN_UI_SCALE");
    }
  }

  // A host with neither timers nor descriptors drives no loop of ours.
  GuiHost idle({false, false, true});
  if (!saved.empty()) {
    EXPECT_FALSE(idle.gui()->create(idle.plugin(), CLAP_WINDOW_API_X11, false));
  }
  EXPECT_EQ(host.flushRequests, 0);
}

}  // namespace
