// The editor on the main thread against process on an audio thread, for
// ThreadSanitizer: the editor is opened, dragged on, rescaled, destroyed
// and made again while blocks run with the host's own parameter changes.
// What the two threads share is the link's atomics and ring alone.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "tests/clap/gui_host.h"

namespace {

using namespace std::chrono_literals;
using claptest::GuiHost;

constexpr clap_id kDelay = 1;
constexpr clap_id kFeedback = 3;

TEST(ClapGuiThreads, TheEditorAgainstProcessOnAnotherThread) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest";
  const ::Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1000, 960, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);

  GuiHost host({});
  const clap_plugin_t* plugin = host.plugin();
  const clap_plugin_gui_t* gui = host.gui();
  ASSERT_TRUE(plugin->activate(plugin, 44100, 1, 512));

  // The audio thread: blocks of 64 frames, the host moving the delay now
  // and then, until told to stop.
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    plugin->start_processing(plugin);
    std::vector<float> ignored;
    for (int n = 0; !stop.load(); ++n) {
      std::vector<clap_event_param_value_t> in;
      if (n % 16 == 0)
        in.push_back(GuiHost::Value(kDelay, 100 + (n / 16) % 400, static_cast<std::uint32_t>(n % 64)));
      ignored.clear();
      host.Process(64, in, n % 100 == 0 ? 1.0f : 0.0f, &ignored);
      ++blocks;
      std::this_thread::yield();
    }
    plugin->stop_processing(plugin);
  });

  const auto pumpUntil = [&](const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!done() && std::chrono::steady_clock::now() < end) {
      host.Pump(0);
      std::this_thread::sleep_for(5ms);
    }
    return done();
  };
  const auto open = [&](double scale) {
    ASSERT_TRUE(gui->create(plugin, CLAP_WINDOW_API_X11, false));
    ASSERT_TRUE(gui->set_scale(plugin, scale));
    clap_window_t window{};
    window.api = CLAP_WINDOW_API_X11;
    window.x11 = parent;
    ASSERT_TRUE(gui->set_parent(plugin, &window));
    ASSERT_TRUE(gui->show(plugin));
  };
  // A point of ours on the editor's window, painted over by its next frame.
  const auto waitForFrame = [&] {
    ::Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count) || count != 1) return false;
    const ::Window editor = children[0];
    XFree(children);
    GC gc = XCreateGC(display, editor, 0, nullptr);
    XSetForeground(display, gc, 0xff00ff);
    XDrawPoint(display, editor, gc, 0, 0);
    XFreeGC(display, gc);
    XSync(display, False);
    return pumpUntil([&] {
      XImage* image = XGetImage(display, editor, 0, 0, 1, 1, AllPlanes, ZPixmap);
      const bool painted = image != nullptr && (XGetPixel(image, 0, 0) & 0xffffff) != 0xff00ff;
      if (image != nullptr) XDestroyImage(image);
      return painted;
    });
  };
  const auto pointer = [&](const std::function<void()>& send, bool edits) {
    const int before = host.flushRequests;
    send();
    XSync(display, False);
    if (edits) {
      EXPECT_TRUE(pumpUntil([&] { return host.flushRequests > before; }));
    } else {
      EXPECT_TRUE(waitForFrame());
    }
  };

  for (int round = 0; round < 2; ++round) {
    open(1);
    const int seen = blocks;
    ASSERT_TRUE(pumpUntil([&] { return blocks > seen + 50; })) << "the audio thread stalled";
    pointer([&] { XTestFakeMotionEvent(display, -1, 57, 162, CurrentTime); }, false);
    pointer([&] { XTestFakeMotionEvent(display, -1, 60, 160, CurrentTime); }, false);
    pointer([&] { XTestFakeButtonEvent(display, 1, True, CurrentTime); }, true);
    for (int x = 100; x <= 200; x += 50)
      pointer([&] { XTestFakeMotionEvent(display, -1, x, 160, CurrentTime); }, true);
    pointer([&] { XTestFakeButtonEvent(display, 1, False, CurrentTime); }, true);
    // Made again at twice the size while the blocks run on.
    ASSERT_TRUE(gui->set_scale(plugin, 2));
    const int later = blocks;
    ASSERT_TRUE(pumpUntil([&] { return blocks > later + 50; }));
    gui->destroy(plugin);
  }
  stop = true;
  audio.join();
  plugin->deactivate(plugin);

  // The edits reached the sound on the audio thread, and the host heard of them.
  double feedback = 0;
  ASSERT_TRUE(host.params()->get_value(plugin, kFeedback, &feedback));
  EXPECT_EQ(feedback, 72.0);
  int begins = 0, ends = 0;
  for (const claptest::OutEvent& e : host.outEvents) {
    if (e.type == CLAP_EVENT_PARAM_GESTURE_BEGIN) ++begins;
    if (e.type == CLAP_EVENT_PARAM_GESTURE_END) ++ends;
  }
  EXPECT_EQ(begins, 2);
  EXPECT_EQ(ends, 2);
  EXPECT_TRUE(host.timers.empty());
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
}

}  // namespace
