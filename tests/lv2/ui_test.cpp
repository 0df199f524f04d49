// The LV2 UI under a virtual display: embedded in a parent window of ours,
// driven by our idle calls, a drag through XTest on the feedback slider
// reaches the host through the write function, and a host change to a
// control port reaches the plug-in through the port and the editor through
// port_event. The UI never reaches the instance: no port event changes the
// sound, nothing is written without the user, several UIs of one instance
// each work alone, and a UI without a window is refused.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>

#include "tests/lv2/lilv_host.h"

namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kFeedbackPort = 8;

struct Written {
  std::uint32_t port;
  float value;
};

struct Touched {
  std::uint32_t port;
  bool grabbed;
};

void Touch(LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed) {
  static_cast<std::vector<Touched>*>(handle)->push_back({port, grabbed});
}

void Write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size, std::uint32_t format,
           const void* buffer) {
  auto* log = static_cast<std::vector<Written>*>(const_cast<void*>(controller));
  if (format == 0 && size == sizeof(float)) log->push_back({port, *static_cast<const float*>(buffer)});
}

int Resize(LV2UI_Feature_Handle handle, int width, int height) {
  auto* sizes = static_cast<std::vector<std::pair<int, int>>*>(handle);
  sizes->emplace_back(width, height);
  return 0;
}

class Lv2Ui : public ::testing::Test {
 protected:
  // What a fixture of the scale tests gives the UI: the host's
  // ui:scaleFactor (0: no options feature), the desktop's X resources
  // (null: none) and whether VORN_UI_SCALE stays at the test command's 1.
  float scaleOption_ = 0;
  const char* resources_ = nullptr;
  bool keepScaleVariable_ = true;

  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest";
    SetResources(resources_);
    if (const char* old = std::getenv("VORN_UI_SCALE")) savedScale_ = old;
    if (!keepScaleVariable_) unsetenv("VORN_UI_SCALE");
    parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 500, 480, 0, 0, 0);
    XMapWindow(display_, parent_);
    XSync(display_, False);

    plugin_ = std::make_unique<lv2test::Instance>();
    ASSERT_NE(plugin_->instance, nullptr);
    lv2test::World& w = lv2test::World::Get();
    LilvUIs* uis = lilv_plugin_get_uis(w.plugin);
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
    char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
    library_ = dlopen(binary, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library_, "lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    descriptor_ = entry(0);
    ASSERT_NE(descriptor_, nullptr);

    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(parent_)};
    LV2_Feature access{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(plugin_->instance)};
    LV2_Feature idle{LV2_UI__idleInterface, nullptr};
    touch_ = {&touched_, Touch};
    LV2_Feature touch{LV2_UI__touch, &touch_};
    resize_ = {&resized_, Resize};
    LV2_Feature resize{LV2_UI__resize, &resize_};
    const LV2_Options_Option options[] = {{LV2_OPTIONS_INSTANCE, 0, w.urids.Map(LV2_UI__scaleFactor),
                                           sizeof(float), w.urids.Map(LV2_ATOM__Float), &scaleOption_},
                                          {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
    std::vector<const LV2_Feature*> features{&w.urids.mapFeature, &parent, &access, &idle, &touch, &resize};
    if (scaleOption_ != 0) features.push_back(&optionsFeature);
    features.push_back(nullptr);
    handle_ = descriptor_->instantiate(descriptor_, "urn:fenmoor:vorn-delay-2", bundle, Write, &written_,
                                       &widget_, features.data());
    lilv_free(binary);
    lilv_free(bundle);
    lilv_uis_free(uis);
    ASSERT_NE(handle_, nullptr);
    idle_ = static_cast<const LV2UI_Idle_Interface*>(descriptor_->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle_, nullptr);
  }

  // One more UI of the same instance, in `parent`, writing into `log`.
  // Instance-access is offered, as some hosts do; the UI takes no use of it.
  LV2UI_Handle OpenUi(::Window parent, std::vector<Written>* log, LV2UI_Widget* widget,
                      LV2UI_Touch* touch = nullptr) {
    lv2test::World& w = lv2test::World::Get();
    LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
    LV2_Feature idle{LV2_UI__idleInterface, nullptr};
    LV2_Feature touchFeature{LV2_UI__touch, touch};
    LV2_Feature access{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(plugin_->instance)};
    const LV2_Feature* features[] = {&w.urids.mapFeature,
                                     &parentFeature,
                                     &idle,
                                     &access,
                                     touch != nullptr ? &touchFeature : nullptr,
                                     nullptr};
    return descriptor_->instantiate(descriptor_, "urn:fenmoor:vorn-delay-2", "", Write, log, widget,
                                    features);
  }
  ::Window MakeParent(int x) {
    ::Window parent = XCreateSimpleWindow(display_, DefaultRootWindow(display_), x, 0, 500, 480, 0, 0, 0);
    XMapWindow(display_, parent);
    XSync(display_, False);
    return parent;
  }

  void TearDown() override {
    if (handle_ != nullptr) descriptor_->cleanup(handle_);
    plugin_.reset();
    if (savedScale_) setenv("VORN_UI_SCALE", savedScale_->c_str(), 1);
    if (display_ != nullptr) {
      if (resources_ != nullptr) SetResources(nullptr);
      XCloseDisplay(display_);
    }
    // The library stays loaded: lilv holds it too.
  }

  // Runs the host's idle calls for `time`, as a host does at about 60 Hz.
  void Idle(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    do {
      EXPECT_EQ(idle_->idle(handle_), 0);
      std::this_thread::sleep_for(10ms);
    } while (std::chrono::steady_clock::now() < end);
  }
  // Idles as a host does until done() holds; false when limit passed first.
  bool IdleUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 30s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() >= end) return false;
      EXPECT_EQ(idle_->idle(handle_), 0);
      if (alsoIdle_ != nullptr) {
        EXPECT_EQ(idle_->idle(alsoIdle_), 0);
      }
      std::this_thread::sleep_for(10ms);
    }
    return true;
  }
  // A drag on a slider from the first of xs through the others (row y),
  // each step waiting for what it makes the UI tell the host: the gesture's
  // start through the touch feature, a written value per move, its end.
  // The script takes a press only where one of its frames saw the pointer
  // without a button first, and its frames are not visible from here: a
  // press it did not take changes nothing, so it is released and tried
  // again with more time for a frame before it.
  // release: false leaves the button down at the last step.
  void Drag(int y, const std::vector<int>& xs, bool release = true) {
    const std::size_t touches = touched_.size();
    bool grabbed = false;
    for (auto lead : {40ms, 120ms, 400ms, 1200ms, 3000ms}) {
      Move(xs.front() - 1, y + 1, 10ms);
      Move(xs.front(), y, lead);  // room for a frame; what counts is the touch below
      XTestFakeButtonEvent(display_, 1, True, CurrentTime);
      XFlush(display_);
      grabbed = IdleUntil([&] { return touched_.size() > touches; }, 3s);
      if (grabbed) break;
      XTestFakeButtonEvent(display_, 1, False, CurrentTime);
      XFlush(display_);
    }
    ASSERT_TRUE(grabbed) << "the press never started a gesture";
    for (std::size_t i = 1; i < xs.size(); ++i) {
      const std::size_t writes = written_.size();
      XTestFakeMotionEvent(display_, -1, xs[i], y, CurrentTime);
      XFlush(display_);
      ASSERT_TRUE(IdleUntil([&] { return written_.size() > writes; }))
          << "no value for the move to " << xs[i];
    }
    if (!release) return;
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
    ASSERT_TRUE(IdleUntil([&] { return touched_.size() > touches + 1; })) << "the gesture never ended";
  }
  void Move(int x, int y, std::chrono::milliseconds pause = 80ms) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XFlush(display_);
    Idle(pause);
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
  XWindowAttributes EditorWindow() {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, reinterpret_cast<::Window>(widget_), &attributes);
    return attributes;
  }
  void Button(bool down) {
    XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime);
    XFlush(display_);
    Idle(80ms);
  }

  Display* display_ = nullptr;
  ::Window parent_ = 0;
  std::unique_ptr<lv2test::Instance> plugin_;
  void* library_ = nullptr;
  const LV2UI_Descriptor* descriptor_ = nullptr;
  LV2UI_Handle handle_ = nullptr;
  LV2UI_Widget widget_ = nullptr;
  const LV2UI_Idle_Interface* idle_ = nullptr;
  // A second UI that IdleUntil idles beside the first, when set.
  LV2UI_Handle alsoIdle_ = nullptr;
  std::vector<Written> written_;
  LV2UI_Touch touch_{};
  std::vector<Touched> touched_;
  LV2UI_Resize resize_{};
  std::vector<std::pair<int, int>> resized_;
  std::optional<std::string> savedScale_;
};

TEST_F(Lv2Ui, TheEditorIsAChildOfTheParentWindowSizedAsTheVstEditor) {
  ASSERT_NE(widget_, nullptr);
  Idle(200ms);
  ::Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  ASSERT_TRUE(XQueryTree(display_, reinterpret_cast<::Window>(widget_), &root, &parent, &children, &count));
  if (children != nullptr) XFree(children);
  EXPECT_EQ(parent, parent_);
  XWindowAttributes attributes{};
  ASSERT_TRUE(XGetWindowAttributes(display_, reinterpret_cast<::Window>(widget_), &attributes));
  EXPECT_EQ(attributes.width, 500);
  EXPECT_EQ(attributes.height, 480);
  EXPECT_TRUE(written_.empty()) << "nothing edited, nothing written";
  EXPECT_EQ(resized_, (std::vector<std::pair<int, int>>{{500, 480}}));
}

TEST_F(Lv2Ui, ADragOnTheFeedbackSliderIsWrittenToItsControlPort) {
  Move(57, 162, 10ms);
  ASSERT_NO_FATAL_FAILURE(Drag(160, {60, 100, 150, 200}));
  Move(400, 470, 10ms);
  // The release at x 200 leaves the knob at (200 - 30 - 16) / 216 of the
  // range, rounded up to whole percent: 72, as in the VST editor.
  ASSERT_FALSE(written_.empty());
  EXPECT_EQ(written_.back().port, kFeedbackPort);
  EXPECT_EQ(written_.back().value, 72.0f);
  for (const Written& w : written_) EXPECT_EQ(w.port, kFeedbackPort) << "only the dragged slider";
  // One gesture around the drag, for the host's undo and automation.
  ASSERT_EQ(touched_.size(), 2u);
  EXPECT_EQ(touched_[0].port, kFeedbackPort);
  EXPECT_TRUE(touched_[0].grabbed);
  EXPECT_EQ(touched_[1].port, kFeedbackPort);
  EXPECT_FALSE(touched_[1].grabbed);
}

TEST_F(Lv2Ui, AHostChangeToAControlPortReachesThePlugIn) {
  Idle(100ms);
  const float feedback = 33;
  // As a host does: the value goes into the port, run() takes it, and the
  // UI hears of it.
  plugin_->Set("feedback", feedback);
  std::vector<float> audio(64);
  std::vector<float> audioRight(64);
  plugin_->Process(audio, audioRight);
  descriptor_->port_event(handle_, kFeedbackPort, sizeof feedback, 0, &feedback);
  const float bad = 1;
  descriptor_->port_event(handle_, kFeedbackPort, 1, 0, &bad);  // not a float: ignored
  descriptor_->port_event(handle_, 999, sizeof bad, 0, &bad);   // no such port: ignored
  Idle(100ms);
  EXPECT_TRUE(written_.empty()) << "a host change is not echoed back";
  // The plug-in's state is now that of an instance whose port the host set
  // to the same value.
  lv2test::Instance reference;
  reference.Set("feedback", feedback);
  std::vector<float> left(64), right(64);
  reference.Process(left, right);
  const std::regex chunk("chunk>\\s+\"\"\"([^\"]*)\"\"\"");
  std::smatch ours, theirs;
  const std::string state = plugin_->SaveState(), expected = reference.SaveState();
  ASSERT_TRUE(std::regex_search(state, ours, chunk)) << state;
  ASSERT_TRUE(std::regex_search(expected, theirs, chunk)) << expected;
  EXPECT_EQ(ours[1].str(), theirs[1].str());
}

// An impulse through an instance; the output of both channels.
std::vector<float> Impulse(lv2test::Instance& lv2) {
  std::vector<float> left(44100, 0.0f), right(44100, 0.0f);
  left[0] = 1;
  lv2.Process(left, right);
  left.insert(left.end(), right.begin(), right.end());
  return left;
}

TEST_F(Lv2Ui, APortEventNeverChangesTheSound) {
  constexpr std::uint32_t kDelayPort = 6;
  Idle(100ms);
  std::vector<float> left(512), right(512);
  plugin_->Process(left, right);  // the ports' values applied
  const float delay = 100;
  descriptor_->port_event(handle_, kDelayPort, sizeof delay, 0, &delay);
  Idle(100ms);
  lv2test::Instance reference;  // the same frames (the noise term counts them)
  std::vector<float> referenceLeft(512), referenceRight(512);
  reference.Process(referenceLeft, referenceRight);
  EXPECT_EQ(Impulse(*plugin_), Impulse(reference)) << "the sound follows the port, not the UI";
}

TEST_F(Lv2Ui, HostValuesArrivingLateAreNeverWrittenBack) {
  constexpr std::uint32_t kDelayPort = 6;
  Idle(100ms);
  std::vector<float> left(512), right(512);
  // The host moves the port and runs; the UI hears of each value one step
  // late, after the next move has been run already.
  float heard = 500;
  for (float value : {600.0f, 700.0f, 800.0f, 600.0f}) {
    plugin_->Set("delay", value);
    descriptor_->port_event(handle_, kDelayPort, sizeof heard, 0, &heard);
    plugin_->Process(left, right);
    Idle(50ms);
    heard = value;
  }
  descriptor_->port_event(handle_, kDelayPort, sizeof heard, 0, &heard);
  Idle(200ms);
  EXPECT_TRUE(written_.empty()) << written_.size() << " writes without the user, the first to port "
                                << (written_.empty() ? 0 : written_[0].port);
  EXPECT_TRUE(touched_.empty());
}

TEST_F(Lv2Ui, TwoUisOfOneInstanceEachWorkAlone) {
  // The second UI's window lies right of the first; the user drags on the
  // first. A host value sent to the second is echoed by neither.
  ::Window secondParent = MakeParent(520);
  std::vector<Written> secondWritten;
  LV2UI_Widget secondWidget = nullptr;
  LV2UI_Handle second = OpenUi(secondParent, &secondWritten, &secondWidget);
  ASSERT_NE(second, nullptr);
  ASSERT_NE(secondWidget, nullptr);
  const auto both = [&](std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    do {
      EXPECT_EQ(idle_->idle(handle_), 0);
      EXPECT_EQ(idle_->idle(second), 0);
      std::this_thread::sleep_for(10ms);
    } while (std::chrono::steady_clock::now() < end);
  };
  both(300ms);
  const float feedback = 20;
  descriptor_->port_event(second, kFeedbackPort, sizeof feedback, 0, &feedback);
  both(200ms);
  EXPECT_TRUE(written_.empty());
  EXPECT_TRUE(secondWritten.empty());

  alsoIdle_ = second;
  ASSERT_NO_FATAL_FAILURE(Drag(160, {60, 100, 150, 200}, false));
  // Closing the second UI mid-drag leaves the first's gesture alone.
  descriptor_->cleanup(second);
  alsoIdle_ = nullptr;
  XTestFakeButtonEvent(display_, 1, False, CurrentTime);
  XFlush(display_);
  ASSERT_TRUE(IdleUntil([&] { return touched_.size() >= 2; })) << "the first UI's gesture never ended";
  Move(400, 470);
  ASSERT_FALSE(written_.empty()) << "the first UI's own drag";
  EXPECT_EQ(written_.back().value, 72.0f);
  EXPECT_TRUE(secondWritten.empty()) << "nothing reaches the other UI's host side";
  ASSERT_EQ(touched_.size(), 2u);
  EXPECT_TRUE(touched_[0].grabbed);
  EXPECT_FALSE(touched_[1].grabbed);
  XDestroyWindow(display_, secondParent);
}

TEST_F(Lv2Ui, NoWindowNoUi) {
  std::vector<Written> log;
  LV2UI_Widget widget = nullptr;
  // A parent id that names no window.
  EXPECT_EQ(OpenUi(static_cast<::Window>(0x7ffffff0), &log, &widget), nullptr);
  // No display to open.
  const std::string display = std::getenv("DISPLAY");
  setenv("DISPLAY", ":9999", 1);
  EXPECT_EQ(OpenUi(parent_, &log, &widget), nullptr);
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_TRUE(log.empty());
}

TEST_F(Lv2Ui, IdleSaysSoOnceTheHostDestroyedTheParent) {
  ::Window parent = MakeParent(600);
  std::vector<Written> log;
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle ui = OpenUi(parent, &log, &widget);
  ASSERT_NE(ui, nullptr);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(idle_->idle(ui), 0);
    std::this_thread::sleep_for(10ms);
  }
  XDestroyWindow(display_, parent);
  XSync(display_, False);
  int answer = 0;
  for (int i = 0; i < 50 && answer == 0; ++i) {
    answer = idle_->idle(ui);
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_NE(answer, 0);
  descriptor_->cleanup(ui);
}

class Lv2UiHostScale : public Lv2Ui {
 protected:
  Lv2UiHostScale() { scaleOption_ = 2; }
};

TEST_F(Lv2UiHostScale, TheHostsScaleFactorOfTwoMakesTheWindow1000By960AndTheHostIsAskedForIt) {
  Idle(200ms);
  const XWindowAttributes attributes = EditorWindow();
  EXPECT_EQ(attributes.width, 1000);
  EXPECT_EQ(attributes.height, 960);
  EXPECT_EQ(resized_, (std::vector<std::pair<int, int>>{{1000, 960}}));
  // A drag at twice the coordinates writes the value of the drag at 1.
  Move(114, 324, 10ms);
  ASSERT_NO_FATAL_FAILURE(Drag(320, {120, 200, 300, 400}));
  Move(900, 940, 10ms);
  ASSERT_FALSE(written_.empty());
  EXPECT_EQ(written_.back().port, kFeedbackPort);
  EXPECT_EQ(written_.back().value, 72.0f);
}

class Lv2UiDesktopScale : public Lv2Ui {
 protected:
  Lv2UiDesktopScale() {
    resources_ = "Xft.dpi:\t192\n";
    keepScaleVariable_ = false;
  }
};

TEST_F(Lv2UiDesktopScale, WithoutTheOptionXftDpiOf192GivesTheSameWindow) {
  Idle(100ms);
  const XWindowAttributes attributes = EditorWindow();
  EXPECT_EQ(attributes.width, 1000);
  EXPECT_EQ(attributes.height, 960);
  EXPECT_EQ(resized_, (std::vector<std::pair<int, int>>{{1000, 960}}));
}

}  // namespace
