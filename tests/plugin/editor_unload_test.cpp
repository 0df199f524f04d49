// The VST binary unloaded as a host unloads it once the editor is closed:
// editor opened in a window of the host's, closed, the plug-in closed,
// dlclose. Afterwards the binary is gone from the process and the host's
// next X error reaches the host's own handler.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/select.h>

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>

#include "vst/vst24.h"

namespace {

std::atomic<int> gHostErrors{0};
int HostHandler(Display*, XErrorEvent*) {
  ++gHostErrors;
  return 0;
}

VstIntPtr HostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

bool StillLoaded() {
  void* handle = dlopen(VORN_PLUGIN_PATH, RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}

TEST(VstUnload, AfterTheEditorClosedTheHostsHandlerRuns) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  XSetErrorHandler(HostHandler);
  const ::Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 900, 700, 0, 0, 0);
  XSelectInput(display, parent, SubstructureNotifyMask);
  XMapWindow(display, parent);
  XSync(display, False);

  void* library = dlopen(VORN_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  using Entry = AEffect* (*)(audioMasterCallback);
  auto enter = reinterpret_cast<Entry>(dlsym(library, "VSTPluginMain"));
  ASSERT_NE(enter, nullptr);
  AEffect* effect = enter(HostCallback);
  ASSERT_NE(effect, nullptr);
  auto dispatch = [effect](VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
    return effect->dispatcher(effect, opcode, 0, value, ptr, 0.0f);
  };
  dispatch(effOpen);
  ERect* rect = nullptr;
  dispatch(effEditGetRect, 0, &rect);
  ASSERT_NE(dispatch(effEditOpen, 0, reinterpret_cast<void*>(parent)), 0);

  // The editor's window mapped in ours, the editor idling meanwhile.
  bool mapped = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!mapped && std::chrono::steady_clock::now() < deadline) {
    dispatch(effEditIdle);
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && event.xmap.event == parent) mapped = true;
    }
    fd_set read;
    FD_ZERO(&read);
    FD_SET(ConnectionNumber(display), &read);
    timeval wait{0, 5000};
    select(ConnectionNumber(display) + 1, &read, nullptr, nullptr, &wait);
  }
  EXPECT_TRUE(mapped);
  dispatch(effEditClose);
  dispatch(effClose);
  dlclose(library);
  EXPECT_FALSE(StillLoaded()) << "dlclose unloaded the binary";

  XWindowAttributes attributes{};
  XGetWindowAttributes(display, static_cast<::Window>(0x7ffffff0), &attributes);
  XSync(display, False);
  EXPECT_EQ(gHostErrors.load(), 1) << "the host's handler saw its error";
  EXPECT_EQ(XSetErrorHandler(HostHandler), &HostHandler) << "the host's handler is the process's again";
  XCloseDisplay(display);
}

}  // namespace
