// The CLAP editor on Windows, in a host of ours that offers no timers: the
// editor is embedded in the host's window at the size of its scale, paced
// by a timer on its own window that the host's message loop dispatches, a
// drag becomes gestures and values for the host's flush, and after destroy
// and unload the message loop runs on with nothing of ours left in it.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "formats/clap/abi/core.h"
#include "formats/clap/abi/gui.h"
#include "formats/clap/abi/params.h"

namespace {

constexpr clap_id kFeedback = 3;

struct Out {
  std::uint16_t type;
  clap_id param;
  double value;
};

struct Host {
  clap_host_t record{};
  clap_host_params_t params{};
  std::atomic<int> flushRequests{0};
  std::vector<Out> out;

  Host() {
    record.clap_version = CLAP_VERSION;
    record.host_data = this;
    record.name = "gui test host";
    record.vendor = "Fenmoor";
    record.url = "";
    record.version = "1";
    record.get_extension = [](const clap_host_t* host, const char* id) -> const void* {
      if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &static_cast<Host*>(host->host_data)->params;
      return nullptr;  // no timer-support: the editor's own timer paces it
    };
    record.request_restart = [](const clap_host_t*) {};
    record.request_process = [](const clap_host_t*) {};
    record.request_callback = [](const clap_host_t*) {};
    params.rescan = [](const clap_host_t*, clap_param_rescan_flags) {};
    params.clear = [](const clap_host_t*, clap_id, clap_param_clear_flags) {};
    params.request_flush = [](const clap_host_t* host) {
      ++static_cast<Host*>(host->host_data)->flushRequests;
    };
  }
};

bool Push(const clap_output_events_t* list, const clap_event_header_t* event) {
  auto& out = *static_cast<std::vector<Out>*>(list->ctx);
  if (event->type == CLAP_EVENT_PARAM_VALUE) {
    const auto* value = reinterpret_cast<const clap_event_param_value_t*>(event);
    out.push_back({event->type, value->param_id, value->value});
  } else if (event->type == CLAP_EVENT_PARAM_GESTURE_BEGIN || event->type == CLAP_EVENT_PARAM_GESTURE_END) {
    out.push_back({event->type, reinterpret_cast<const clap_event_param_gesture_t*>(event)->param_id, 0});
  }
  return true;
}

// The host's message loop until a timer message for `window` was
// dispatched (at most five seconds); with null, until the queue is empty.
bool RunMessages(HWND window) {
  const DWORD end = GetTickCount() + 5000;
  for (;;) {
    MSG msg;
    bool any = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      any = true;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (window != nullptr && msg.message == WM_TIMER && msg.hwnd == window) return true;
    }
    if (window == nullptr && !any) return true;
    if (GetTickCount() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}

LPARAM At(int x, int y) {
  return MAKELPARAM(x, y);
}

TEST(ClapGuiWin32, EmbeddedPacedByItsOwnTimerADragReachesTheHostAndNothingStays) {
  HMODULE module = LoadLibraryA(VORN_CLAP_MODULE);
  ASSERT_NE(module, nullptr);
  const auto* entry = reinterpret_cast<const clap_plugin_entry_t*>(
      reinterpret_cast<void*>(GetProcAddress(module, CLAP_ENTRY_SYMBOL)));
  ASSERT_NE(entry, nullptr);
  ASSERT_TRUE(entry->init(VORN_CLAP_MODULE));
  const auto* factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
  Host host;
  const clap_plugin_t* plugin = factory->create_plugin(factory, &host.record, "com.fenmoor.vorn-delay-2");
  ASSERT_NE(plugin, nullptr);
  ASSERT_TRUE(plugin->init(plugin));
  const auto* gui = static_cast<const clap_plugin_gui_t*>(plugin->get_extension(plugin, CLAP_EXT_GUI));
  const auto* params =
      static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
  ASSERT_NE(gui, nullptr);
  ASSERT_NE(params, nullptr);
  EXPECT_EQ(plugin->get_extension(plugin, "clap.posix-fd-support"), nullptr);

  HWND parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1100, 1050,
                                nullptr, nullptr, nullptr, nullptr);
  if (parent == nullptr) GTEST_SKIP() << "no window can be made here (no display for wine?)";
  const char* api = nullptr;
  bool floating = true;
  ASSERT_TRUE(gui->get_preferred_api(plugin, &api, &floating));
  EXPECT_STREQ(api, CLAP_WINDOW_API_WIN32);
  EXPECT_FALSE(gui->is_api_supported(plugin, CLAP_WINDOW_API_X11, false));
  const auto open = [&](double scale) {
    EXPECT_TRUE(gui->create(plugin, CLAP_WINDOW_API_WIN32, false));
    EXPECT_TRUE(gui->set_scale(plugin, scale));
    clap_window_t window{};
    window.api = CLAP_WINDOW_API_WIN32;
    window.win32 = parent;
    EXPECT_TRUE(gui->set_parent(plugin, &window));
    EXPECT_TRUE(gui->show(plugin));
    return FindWindowExW(parent, nullptr, nullptr, nullptr);
  };

  HWND child = open(1);
  ASSERT_NE(child, nullptr);
  std::uint32_t width = 0, height = 0;
  ASSERT_TRUE(gui->get_size(plugin, &width, &height));
  EXPECT_EQ(width, 500u);
  EXPECT_EQ(height, 480u);
  RECT client{};
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, 500);
  EXPECT_EQ(client.bottom, 480);
  EXPECT_TRUE(RunMessages(child)) << "no tick from the editor's own timer";

  // A frame now, as the host's paint would draw one.
  const auto frame = [&] {
    InvalidateRect(child, nullptr, FALSE);
    UpdateWindow(child);
  };
  SendMessageW(child, WM_MOUSEMOVE, 0, At(57, 162));
  frame();
  SendMessageW(child, WM_MOUSEMOVE, 0, At(60, 160));
  frame();
  SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, At(60, 160));
  frame();
  for (int x = 100; x <= 200; x += 50) {
    SendMessageW(child, WM_MOUSEMOVE, MK_LBUTTON, At(x, 160));
    frame();
  }
  SendMessageW(child, WM_LBUTTONUP, 0, At(200, 160));
  frame();
  EXPECT_GT(host.flushRequests, 0);
  const clap_output_events_t out{&host.out, Push};
  params->flush(plugin, nullptr, &out);
  ASSERT_GE(host.out.size(), 3u);
  EXPECT_EQ(host.out.front().type, CLAP_EVENT_PARAM_GESTURE_BEGIN);
  EXPECT_EQ(host.out.back().type, CLAP_EVENT_PARAM_GESTURE_END);
  EXPECT_EQ(host.out[host.out.size() - 2].value, 72.0);
  for (const Out& e : host.out) EXPECT_EQ(e.param, kFeedback);

  // At twice the scale a window of twice the size, paced the same way.
  ASSERT_TRUE(gui->set_scale(plugin, 2));
  child = FindWindowExW(parent, nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, 1000);
  EXPECT_EQ(client.bottom, 960);
  EXPECT_TRUE(RunMessages(child));
  gui->destroy(plugin);
  EXPECT_EQ(FindWindowExW(parent, nullptr, nullptr, nullptr), nullptr);

  // Made again after destroy, then the instance and the module go while
  // the editor is open; the host's loop runs on without us.
  child = open(1);
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(RunMessages(child));
  plugin->destroy(plugin);
  entry->deinit();
  FreeLibrary(module);
  EXPECT_TRUE(RunMessages(nullptr));
  DestroyWindow(parent);
  EXPECT_TRUE(RunMessages(nullptr));
}

}  // namespace
