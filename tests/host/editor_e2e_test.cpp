// `vornhost edit` end to end on a virtual display: the test starts the
// host as a child process, finds its window, moves and clicks the pointer
// through the XTest extension, and reads back what the host saw (the
// parameters it prints) and what it showed (the screenshot).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cairo.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

// Xlib's macros (None, Bool, …) must come after every C++ header.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace vornhost_test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How long any one awaited event may take on a loaded machine before the
// test gives up on it.
constexpr auto kEventLimit = 30s;

// How often `needle` occurs in text.
int Count(const std::string& text, const std::string& needle) {
  int n = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

std::string Slurp(const std::string& path) {
  std::string text;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

// vornhost as a child process whose output lands in files.
class Host {
 public:
  // withScaleVariable false: the host runs without VORN_UI_SCALE, so the
  // editor's scale comes from the display.
  Host(const std::vector<std::string>& args, const std::string& dir, bool withDisplay = true,
       bool withScaleVariable = true)
      : out_(dir + "/out.txt"), err_(dir + "/err.txt") {
    pid_ = fork();
    if (pid_ == 0) {
      if (std::freopen(out_.c_str(), "w", stdout) == nullptr ||
          std::freopen(err_.c_str(), "w", stderr) == nullptr ||
          std::freopen("/dev/null", "r", stdin) == nullptr)
        _exit(127);
      if (!withDisplay) unsetenv("DISPLAY");
      if (!withScaleVariable) unsetenv("VORN_UI_SCALE");
      std::vector<char*> argv{const_cast<char*>(VORNHOST_EXE)};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(VORNHOST_EXE, argv.data());
      _exit(127);
    }
  }
  ~Host() {
    if (pid_ > 0 && !finished_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  pid_t pid() const { return pid_; }
  // What the child has printed so far.
  std::string Output() const { return Slurp(out_); }
  // Waits until what the child printed satisfies done; false when the child
  // ended or limit passed first.
  bool WaitForOutput(const std::function<bool(const std::string&)>& done,
                     std::chrono::milliseconds limit = kEventLimit) {
    const auto end = Clock::now() + limit;
    for (;;) {
      if (done(Output())) return true;
      if (!running() || Clock::now() >= end) return done(Output());
      std::this_thread::sleep_for(10ms);
    }
  }
  // Waits for the line vornhost prints once the editor shows and Ctrl-C is
  // handled.
  bool WaitUntilReady() {
    return WaitForOutput([](const std::string& out) { return out.find(" editor; ") != std::string::npos; });
  }
  // Waits until needle occurs at least count times in the output.
  bool WaitForCount(const std::string& needle, int count, std::chrono::milliseconds limit = kEventLimit) {
    return WaitForOutput([&](const std::string& out) { return Count(out, needle) >= count; }, limit);
  }
  bool running() {
    if (finished_) return false;
    int raw = 0;
    if (waitpid(pid_, &raw, WNOHANG) != pid_) return true;
    Finish(raw);
    return false;
  }
  // Waits for the exit; kills the child after limit and reports -1.
  Outcome Wait(std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (running() && Clock::now() < end) std::this_thread::sleep_for(20ms);
    if (!finished_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      finished_ = true;
    }
    outcome_.out = Slurp(out_);
    outcome_.err = Slurp(err_);
    return outcome_;
  }

 private:
  void Finish(int raw) {
    finished_ = true;
    outcome_.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  }
  std::string out_, err_;
  pid_t pid_ = -1;
  bool finished_ = false;
  Outcome outcome_;
};

// The display and the pointer as a user moves them.
class Screen {
 public:
  Screen() : display_(XOpenDisplay(nullptr)) {}
  ~Screen() {
    if (display_) XCloseDisplay(display_);
  }
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;
  Display* display() const { return display_; }
  // The desktop's X resources as xrdb would load them (null removes them).
  void SetResources(const char* text) {
    const Atom property = XInternAtom(display_, "RESOURCE_MANAGER", False);
    if (text)
      XChangeProperty(display_, DefaultRootWindow(display_), property, XA_STRING, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text), static_cast<int>(std::strlen(text)));
    else
      XDeleteProperty(display_, DefaultRootWindow(display_), property);
    XSync(display_, False);
  }
  bool HasXTest() const {
    int event = 0, error = 0, major = 0, minor = 0;
    return display_ && XTestQueryExtension(display_, &event, &error, &major, &minor);
  }

  // The top-level window whose name starts with prefix once it holds a
  // mapped child (the editor); 0 when none shows up within limit.
  ::Window FindEditorWindow(const std::string& prefix, std::chrono::milliseconds limit,
                            const std::function<bool()>& keepWaiting) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end && keepWaiting()) {
      ::Window root = 0, parent = 0, *children = nullptr;
      unsigned count = 0;
      ::Window found = 0;
      if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i)
          if (NameStartsWith(children[i], prefix) && HasMappedChild(children[i])) found = children[i];
        if (children) XFree(children);
      }
      if (found) return found;
      std::this_thread::sleep_for(50ms);
    }
    return 0;
  }

  void SetOrigin(::Window window) {
    ::Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &originX_, &originY_, &child);
  }
  // Pointer moves and buttons in the window's coordinates, sent at once.
  // The editor reads them in order; what it made of them shows in the
  // edits the host prints, which the tests wait for.
  void Move(int x, int y) {
    XTestFakeMotionEvent(display_, -1, originX_ + x, originY_ + y, CurrentTime);
    XSync(display_, False);
  }
  // The way a real pointer arrives: the frame takes the first motion over a
  // view as the mouse entering it, the next ones as moves.
  void Approach(int x, int y) {
    Move(x - 3, y + 2);
    Move(x - 1, y + 1);
    Move(x, y);
  }
  void Button(bool down) {
    XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime);
    XSync(display_, False);
  }
  void SendClose(::Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
  }

 private:
  bool NameStartsWith(::Window window, const std::string& prefix) {
    char* name = nullptr;
    bool match = false;
    if (XFetchName(display_, window, &name) && name) {
      match = std::string(name).rfind(prefix, 0) == 0;
      XFree(name);
    }
    return match;
  }
  bool HasMappedChild(::Window window) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    bool mapped = false;
    if (XQueryTree(display_, window, &root, &parent, &children, &count)) {
      for (unsigned i = 0; i < count && !mapped; ++i) {
        XWindowAttributes a{};
        mapped = XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable;
      }
      if (children) XFree(children);
    }
    return mapped;
  }

  Display* display_;
  int originX_ = 0, originY_ = 0;
};

// A PNG as 0xAARRGGBB words (premultiplied; opaque pixels are plain).
struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

Picture LoadPng(const std::string& path) {
  Picture p;
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(s);
    p.width = cairo_image_surface_get_width(s);
    p.height = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        p.pixels.push_back(
            reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride)[x]);
  }
  cairo_surface_destroy(s);
  return p;
}

int Channel(std::uint32_t p, int shift) {
  return static_cast<int>((p >> shift) & 0xFF);
}

// Mean difference per channel between the opaque pixels of sprite and the
// screen at (x, y).
double Mismatch(const Picture& screen, const Picture& sprite, int x, int y) {
  double sum = 0.0;
  int n = 0;
  for (int j = 0; j < sprite.height; ++j)
    for (int i = 0; i < sprite.width; ++i) {
      const std::uint32_t s = sprite.at(i, j);
      if ((s >> 24) != 0xFF) continue;
      const std::uint32_t d = screen.at(x + i, y + j);
      for (int shift : {0, 8, 16}) sum += std::abs(Channel(s, shift) - Channel(d, shift));
      n += 3;
    }
  return n ? sum / n : 1e9;
}

// The left edge where sprite fits best in the row at y between x0 and x1.
int BestFit(const Picture& screen, const Picture& sprite, int y, int x0, int x1) {
  int best = x0;
  double least = 1e9;
  for (int x = x0; x <= x1; ++x)
    if (double m = Mismatch(screen, sprite, x, y); m < least) least = m, best = x;
  return best;
}

double Brightness(std::uint32_t p) {
  return (Channel(p, 16) + Channel(p, 8) + Channel(p, 0)) / 3.0;
}

// The display text vornhost printed for a parameter ("10.00"), or "?".
std::string Shown(const std::string& out, const std::string& name) {
  std::smatch m;
  const std::regex line("\\n\\s*\\d+  " + std::regex_replace(name, std::regex(R"([\[\]\\/])"), R"(\$&)") +
                        " = ([^ \\n]+)");
  return std::regex_search(out, m, line) ? m[1].str() : "?";
}

// The edit lines vornhost printed, as "begin 3;value 3 0.250000;…;".
std::string EditLines(const std::string& out) {
  std::string lines;
  const std::regex line("\\n  edit ([^\\n]+)");
  for (auto it = std::sregex_iterator(out.begin(), out.end(), line); it != std::sregex_iterator(); ++it)
    lines += (*it)[1].str() + ";";
  return lines;
}

// A press (and with tap a release at once) at (x, y) after the pointer
// came there with no button down, until the host reports the count-th
// needle. The script takes a press only where one of its frames saw the
// pointer without a button first, and its frames are not visible from
// here: a press it did not take changes nothing, so it is released and
// tried again with more time for a frame before it. Each try waits for the
// edit itself, long past the latency of a loaded machine.
bool PressUntil(Screen& screen, Host& host, int x, int y, bool tap, const std::string& needle, int count) {
  for (auto lead : {40ms, 120ms, 400ms, 1200ms, 3000ms}) {
    screen.Move(x - 1, y + 1);
    screen.Move(x, y);
    std::this_thread::sleep_for(lead);  // room for a frame; what counts is the edit below
    screen.Button(true);
    if (tap) screen.Button(false);
    if (host.WaitForCount(needle, count, 3s)) return true;
    if (!tap) screen.Button(false);
    if (!host.running()) return false;
  }
  return false;
}

// A press on the feedback slider at the first of xs (window coordinates at
// row y), a drag through the others and a release there, then a click at
// (bx, by) on the ping-pong button, each step waiting for the edit it
// makes to reach the host.
void DragThenClick(Screen& screen, Host& host, int y, const std::vector<int>& xs, int bx, int by) {
  screen.Approach(xs.front(), y);
  ASSERT_TRUE(PressUntil(screen, host, xs.front(), y, false, "edit begin 3", 1)) << host.Output();
  for (std::size_t i = 1; i < xs.size(); ++i) {
    const int x = xs[i];
    const int values = Count(host.Output(), "edit value 3 ");
    screen.Move(x, y);
    ASSERT_TRUE(host.WaitForCount("edit value 3 ", values + 1)) << "no edit for the move to " << x;
  }
  screen.Button(false);
  ASSERT_TRUE(host.WaitForCount("edit end 3", 1)) << host.Output();
  screen.Approach(bx, by);
  ASSERT_TRUE(PressUntil(screen, host, bx, by, true, "edit end 7", 1)) << host.Output();
}

const std::string kTitle = "vornhost edit";

class EditorEndToEnd : public ::testing::Test {
 protected:
  // One connection for the whole suite: when its last client leaves, the X
  // server resets, and a connection made during the reset fails.
  static void SetUpTestSuite() {
    if (std::getenv("DISPLAY") != nullptr) shared_ = new Screen;
  }
  static void TearDownTestSuite() {
    delete shared_;
    shared_ = nullptr;
  }
  void SetUp() override {
    if (shared_ == nullptr || shared_->display() == nullptr)
      GTEST_SKIP() << "no X display: run under xvfb-run (package xvfb)";
    if (!shared_->HasXTest()) GTEST_SKIP() << "no XTest extension on this display";
    // Start with the pointer outside where any editor window will be.
    XTestFakeMotionEvent(shared_->display(), -1, 900, 700, CurrentTime);
    XFlush(shared_->display());
  }
  static Screen* shared_;
  Screen& screen() { return *shared_; }
};

Screen* EditorEndToEnd::shared_ = nullptr;

// One run with input: hover, press and drag on the feedback slider, then a
// click on the ping-pong button, all well inside the screenshot's delay.
TEST_F(EditorEndToEnd, ADragAndAClickReachTheHostAndTheScreenshotShowsThem) {
  const std::string dir = TempDir("edit_input");
  const std::string png = dir + "/shot.png";
  // The screenshot waits long enough for the input even on a loaded
  // machine; the input itself waits on each edit.
  Host host({"edit", VORN_PLUGIN, "--screenshot", png, "--after", "15000", "--print-params", "--print-edits",
             "--input-noise"},
            dir);
  ::Window window = screen().FindEditorWindow(kTitle, 20s, [&] { return host.running(); });
  ASSERT_NE(window, 0u) << host.Wait(1s).err;
  ASSERT_TRUE(host.WaitUntilReady()) << host.Wait(1s).err;
  const auto ready = Clock::now();
  screen().SetOrigin(window);
  // Press on the feedback groove at 60, drag to 200; click ping-pong.
  ASSERT_NO_FATAL_FAILURE(DragThenClick(screen(), host, 160, {60, 100, 150, 200}, 206, 111));
  screen().Move(900, 700);
  const auto injected = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - ready);
  ASSERT_LT(injected.count(), 13000) << "the input took too long to finish before the screenshot";

  Outcome r = host.Wait(60s);
  ASSERT_EQ(r.status, 0) << r.err;
  // The press at x 60 starts the drag; the release at x 200 leaves the knob
  // at (200 - 30 - 16) / 216 of the range, rounded up to whole percent.
  EXPECT_EQ(Shown(r.out, "Feedback [%]"), "72.00") << r.out;
  EXPECT_EQ(Shown(r.out, "Ping Pong [Off/On]"), "1.00") << r.out;
  EXPECT_EQ(Shown(r.out, "Tempo Delay [Off/On]"), "0.00") << r.out;
  EXPECT_EQ(Shown(r.out, "Delay [ms]"), "500.00") << r.out;
  EXPECT_FALSE(FileExists(png + ".part"));
  // The host heard the drag (begin, values, end) and the click (all three),
  // none of it from inside a process call.
  const std::string edits = EditLines(r.out);
  EXPECT_TRUE(std::regex_match(edits, std::regex("begin 3;(value 3 [0-9.]+;)+value 3 0\\.720000;end 3;"
                                                 "begin 7;value 7 1\\.000000;end 7;")))
      << edits;
  EXPECT_NE(r.out.find("edits during processing: 0"), std::string::npos) << r.out;

  Picture shot = LoadPng(png);
  ASSERT_EQ(shot.width, 500);
  ASSERT_EQ(shot.height, 480);
  Picture knob = LoadPng(VORN_KNOB_PNG), lit = LoadPng(VORN_LIT_BUTTON_PNG);
  ASSERT_EQ(knob.width, 32);
  ASSERT_EQ(lit.width, 32);
  // The lit picture covers the ping-pong hole, not the tempo one.
  EXPECT_LT(Mismatch(shot, lit, 190, 95), 8.0);
  EXPECT_GT(Mismatch(shot, lit, 32, 95), 30.0);
  // The feedback knob sits at 31 + 216 × 0.72; the delay knob stayed at 500 ms.
  EXPECT_NEAR(BestFit(shot, knob, 144, 30, 250), 186, 1);
  EXPECT_NEAR(BestFit(shot, knob, 44, 30, 250), 58, 1);
  // The noise lights the meter's lower part.
  EXPECT_GT(Brightness(shot.at(437, 365)), 90.0);
}

// Taps whose press and release reach the plug-in within one idle call:
// each one flips the button and reaches the host as one edit.
TEST_F(EditorEndToEnd, QuickTapsInsideOneIdleIntervalEachCount) {
  const std::string dir = TempDir("edit_taps");
  // Without --after: the window's close ends the run once every tap counted.
  Host host({"edit", VORN_PLUGIN, "--print-params", "--print-edits"}, dir);
  ::Window window = screen().FindEditorWindow(kTitle, 20s, [&] { return host.running(); });
  ASSERT_NE(window, 0u) << host.Wait(1s).err;
  ASSERT_TRUE(host.WaitUntilReady()) << host.Wait(1s).err;
  screen().SetOrigin(window);
  screen().Approach(206, 111);  // hover on the ping-pong button
  constexpr int kTaps = 5;
  for (int tap = 0; tap < kTaps; ++tap)  // each release follows its press at once
    ASSERT_TRUE(PressUntil(screen(), host, 206, 111, true, "edit end 7", tap + 1)) << "tap " << tap << ":\n"
                                                                                   << host.Output();
  screen().Move(900, 700);
  screen().SendClose(window);
  Outcome r = host.Wait(60s);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string edits = EditLines(r.out);
  EXPECT_EQ(edits,
            "begin 7;value 7 1.000000;end 7;begin 7;value 7 0.000000;end 7;begin 7;value 7 1.000000;end 7;"
            "begin 7;value 7 0.000000;end 7;begin 7;value 7 1.000000;end 7;")
      << r.out;
  EXPECT_EQ(Shown(r.out, "Ping Pong [Off/On]"), "1.00") << r.out;
}

// The same editor left alone shows the defaults, an empty meter and reads
// back the defaults; the window manager's close ends the run like --after.
TEST_F(EditorEndToEnd, UntouchedEditorShowsDefaultsAndClosingTheWindowEndsTheRun) {
  const std::string dir = TempDir("edit_idle");
  {
    const std::string png = dir + "/shot.png";
    Host host({"edit", VORN_PLUGIN, "--screenshot", png, "--after", "1500", "--print-params"}, dir);
    Outcome r = host.Wait(60s);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Shown(r.out, "Feedback [%]"), "10.00") << r.out;
    EXPECT_EQ(Shown(r.out, "Ping Pong [Off/On]"), "0.00") << r.out;
    Picture shot = LoadPng(png), knob = LoadPng(VORN_KNOB_PNG), lit = LoadPng(VORN_LIT_BUTTON_PNG);
    ASSERT_EQ(shot.width, 500);
    ASSERT_EQ(shot.height, 480);
    EXPECT_GT(Mismatch(shot, lit, 190, 95), 30.0);
    EXPECT_NEAR(BestFit(shot, knob, 144, 30, 250), 52, 1);  // 31 + 216 × 0.10
    EXPECT_LT(Brightness(shot.at(437, 365)), 60.0);
  }
  {
    Host host({"edit", VORN_PLUGIN, "--print-params"}, dir);
    ::Window window = screen().FindEditorWindow(kTitle, 20s, [&] { return host.running(); });
    ASSERT_NE(window, 0u) << host.Wait(1s).err;
    ASSERT_TRUE(host.WaitUntilReady()) << host.Wait(1s).err;
    screen().SendClose(window);
    Outcome r = host.Wait(30s);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Shown(r.out, "Feedback [%]"), "10.00") << r.out;
  }
  {
    Host host({"edit", VORN_PLUGIN, "--print-params"}, dir);
    // Ctrl-C as soon as the window shows closes the editor and still
    // reports: the handler is armed before there is a window.
    ASSERT_NE(screen().FindEditorWindow(kTitle, 20s, [&] { return host.running(); }), 0u);
    kill(host.pid(), SIGINT);
    Outcome r = host.Wait(30s);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Shown(r.out, "Feedback [%]"), "10.00") << r.out;
  }
}

TEST_F(EditorEndToEnd, NoDisplayNoEditorOrAnUnwritableFileIsAClearError) {
  const std::string dir = TempDir("edit_errors");
  Outcome noDisplay = Host({"edit", VORN_PLUGIN, "--after", "100"}, dir, false).Wait(30s);
  EXPECT_NE(noDisplay.status, 0);
  EXPECT_NE(noDisplay.err.find("no X display"), std::string::npos) << noDisplay.err;

  Outcome noEditor = Host({"edit", FIXTURE_MISBEHAVING, "--after", "100"}, dir).Wait(30s);
  EXPECT_NE(noEditor.status, 0);
  EXPECT_NE(noEditor.err.find("has no editor"), std::string::npos) << noEditor.err;

  const std::string missing = dir + "/no/such/folder/shot.png";
  Outcome unwritable = Host({"edit", VORN_PLUGIN, "--screenshot", missing, "--after", "100"}, dir).Wait(30s);
  EXPECT_NE(unwritable.status, 0);
  EXPECT_NE(unwritable.err.find("cannot write '" + missing + "'"), std::string::npos) << unwritable.err;

  // A directory in the way is not replaced by the picture.
  std::filesystem::create_directories(dir + "/taken.png");
  Outcome taken =
      Host({"edit", VORN_PLUGIN, "--screenshot", dir + "/taken.png", "--after", "100"}, dir).Wait(30s);
  EXPECT_NE(taken.status, 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir + "/taken.png"));
  EXPECT_FALSE(FileExists(dir + "/taken.png.part"));
}

// The editor at scale 2 needs a screen larger than 1000 × 960 to be read
// back: these tests run on a display of their own (see CMakeLists.txt).
class ScaledEditorEndToEnd : public EditorEndToEnd {};

// The 2 × 2 averages of a picture of twice the size.
Picture HalfSize(const Picture& big) {
  Picture p;
  p.width = big.width / 2;
  p.height = big.height / 2;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      std::uint32_t pixel = 0xFF000000u;
      for (int shift : {0, 8, 16}) {
        int sum = 0;
        for (int dy = 0; dy < 2; ++dy)
          for (int dx = 0; dx < 2; ++dx) sum += Channel(big.at(2 * x + dx, 2 * y + dy), shift);
        pixel |= static_cast<std::uint32_t>((sum + 2) / 4) << shift;
      }
      p.pixels.push_back(pixel);
    }
  return p;
}

// Mean width of the in-between runs from dark to bright (or back) along
// the rows of a region: one device pixel for edges drawn at the screen's
// resolution, two or more for edges drawn at half of it and stretched.
double MeanEdgeWidth(const Picture& p, int x0, int x1, int y0, int y1, double dark, double bright) {
  int edges = 0, total = 0;
  for (int y = y0; y < y1; ++y) {
    int last = -1, run = 0;
    for (int x = x0; x < x1; ++x) {
      const double b = Brightness(p.at(x, y));
      const int kind = b <= dark ? 0 : b >= bright ? 1 : 2;
      if (kind == 2) {
        ++run;
        continue;
      }
      if (last != -1 && kind != last) ++edges, total += run;
      last = kind;
      run = 0;
    }
  }
  return edges > 20 ? static_cast<double>(total) / edges : 1e9;
}

TEST_F(ScaledEditorEndToEnd, AtTwoTheScreenshotIsTwiceAsLargeAveragesToTheOneAtOneAndStaysSharp) {
  const std::string dir = TempDir("edit_scaled");
  const std::string png1 = dir + "/shot1.png", png2 = dir + "/shot2.png";
  Outcome r1 =
      Host({"edit", VORN_PLUGIN, "--screenshot", png1, "--after", "1500", "--scale", "1"}, dir).Wait(60s);
  ASSERT_EQ(r1.status, 0) << r1.err;
  Outcome r2 =
      Host({"edit", VORN_PLUGIN, "--screenshot", png2, "--after", "1500", "--scale", "2"}, dir).Wait(60s);
  ASSERT_EQ(r2.status, 0) << r2.err;
  EXPECT_NE(r2.out.find("1000 x 960"), std::string::npos) << r2.out;
  Picture one = LoadPng(png1), two = LoadPng(png2);
  ASSERT_EQ(one.width, 500);
  ASSERT_EQ(two.width, 1000);
  ASSERT_EQ(two.height, 960);

  const Picture half = HalfSize(two);
  double sum = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 500; ++x)
      for (int shift : {0, 8, 16})
        sum += std::abs(Channel(half.at(x, y), shift) - Channel(one.at(x, y), shift));
  const double mean = sum / (500.0 * 480.0 * 3.0);
  std::printf("2x screenshot averaged to 500 x 480 differs from the 1x one by %.2f of 255 on average\n",
              mean);
  EXPECT_LT(mean, 3.0);
  // The knobs sit where they sit at 1.
  const Picture knob = LoadPng(VORN_KNOB_PNG);
  EXPECT_NEAR(BestFit(half, knob, 144, 30, 250), 52, 1);
  EXPECT_NEAR(BestFit(half, knob, 44, 30, 250), 58, 1);

  // The read-out "10 %" (text drawn by the script) and the left rim of the
  // feedback knob (its 2x picture, between the dark ring and the lit body):
  // edges about one device pixel wide at 2 as at 1.
  const double text2 = MeanEdgeWidth(two, 560, 640, 300, 340, 60, 170);
  const double text1 = MeanEdgeWidth(one, 280, 320, 150, 170, 60, 170);
  const double knob2 = MeanEdgeWidth(two, 100, 130, 305, 335, 60, 170);
  std::printf("edge widths: text %.2f at 2 (%.2f at 1), knob %.2f at 2\n", text2, text1, knob2);
  EXPECT_LE(text2, 1.5);
  EXPECT_LE(knob2, 1.5);
}

// The drag and click of the test at scale 1, at twice the window
// coordinates: the same values reach the host.
TEST_F(ScaledEditorEndToEnd, ADragAtTwoMovesTheSliderAsTheSameDragAtOne) {
  const std::string dir = TempDir("edit_scaled_input");
  // Without --after: the run ends with the window's close once the input
  // has had its effect.
  Host host({"edit", VORN_PLUGIN, "--print-params", "--print-edits", "--scale", "2"}, dir);
  ::Window window = screen().FindEditorWindow(kTitle, 20s, [&] { return host.running(); });
  ASSERT_NE(window, 0u) << host.Wait(1s).err;
  ASSERT_TRUE(host.WaitUntilReady()) << host.Wait(1s).err;
  screen().SetOrigin(window);
  ASSERT_NO_FATAL_FAILURE(DragThenClick(screen(), host, 320, {120, 200, 300, 400}, 412, 222));
  screen().Move(1900, 1400);
  screen().SendClose(window);
  Outcome r = host.Wait(60s);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Shown(r.out, "Feedback [%]"), "72.00") << r.out;
  EXPECT_EQ(Shown(r.out, "Ping Pong [Off/On]"), "1.00") << r.out;
  EXPECT_EQ(Shown(r.out, "Tempo Delay [Off/On]"), "0.00") << r.out;
  EXPECT_TRUE(
      std::regex_match(EditLines(r.out), std::regex("begin 3;(value 3 [0-9.]+;)+value 3 0\\.720000;end 3;"
                                                    "begin 7;value 7 1\\.000000;end 7;")))
      << r.out;
}

// Without the variable the desktop's Xft.dpi sets the scale; one that is
// not a number leaves it at 1.
TEST_F(ScaledEditorEndToEnd, XftDpiOf192OpensTheEditorAtTwo) {
  const std::string dir = TempDir("edit_xft");
  struct Case {
    const char* resources;
    int width, height;
  } cases[] = {{"Xft.antialias:\t1\nXft.dpi:\t192\n", 1000, 960},
               {"Xft.dpi:\tlots\n", 500, 480},
               {"Xft.dpi:\t144\n", 750, 720}};
  for (const Case& c : cases) {
    screen().SetResources(c.resources);
    const std::string png = dir + "/shot.png";
    Outcome r =
        Host({"edit", VORN_PLUGIN, "--screenshot", png, "--after", "800"}, dir, true, false).Wait(60s);
    ASSERT_EQ(r.status, 0) << r.err;
    const Picture shot = LoadPng(png);
    EXPECT_EQ(shot.width, c.width) << c.resources;
    EXPECT_EQ(shot.height, c.height) << c.resources;
  }
  // The variable still wins over the desktop.
  screen().SetResources("Xft.dpi:\t192\n");
  const std::string png = dir + "/forced.png";
  Outcome r = Host({"edit", VORN_PLUGIN, "--screenshot", png, "--after", "800"}, dir).Wait(60s);
  screen().SetResources(nullptr);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(LoadPng(png).width, 500);
}

}  // namespace
}  // namespace vornhost_test
