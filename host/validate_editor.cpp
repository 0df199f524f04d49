// The editor: size, open into a host window, idle, close, reopen, close;
// for several instances open at the same time; at editor scale 1 and 2.
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "host/editor_scale.h"
#include "host/editor_window.h"
#include "host/validate_checks.h"

namespace vornhost::validate {

namespace {

constexpr int kInstances = 3;

struct OpenEditor {
  std::unique_ptr<PluginInstance> plugin;
  std::unique_ptr<EditorWindow> window;
};

// One round of the check at one scale; the size the editors reported.
CheckResult CheckEditorAt(Context& c, double scale, int& width, int& height) {
  const EditorScale asked(scale);
  std::vector<OpenEditor> editors;
  for (int i = 0; i < kInstances; ++i) {
    OpenEditor e;
    e.plugin = c.Make();
    if (!e.plugin->HasEditor()) return Skip("the plug-in has no editor");
    // The window system first: some editors cannot even report their size
    // without one.
    std::string why;
    e.window = EditorWindow::Create(640 * static_cast<int>(scale), 480 * static_cast<int>(scale), why);
    if (!e.window) return Skip(why);
    ERect* rect = nullptr;
    e.plugin->Dispatch(effEditGetRect, 0, 0, &rect);
    if (rect != nullptr) {
      width = rect->right - rect->left;
      height = rect->bottom - rect->top;
      if (width < 0 || height < 0 || width > 8192 || height > 8192)
        return Fail(Format("editor rectangle %d x %d is impossible", width, height));
    }
    editors.push_back(std::move(e));
  }
  const int idles = 10 * c.strictness;
  for (int round = 0; round < 2; ++round) {
    // The answer is not checked: many plug-ins answer 0 and open anyway.
    for (OpenEditor& e : editors) e.plugin->Dispatch(effEditOpen, 0, 0, e.window->parent());
    for (int i = 0; i < idles; ++i) {
      for (OpenEditor& e : editors) {
        e.plugin->Dispatch(effEditIdle);
        e.window->Pump();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    for (OpenEditor& e : editors) {
      e.plugin->Dispatch(effEditClose);
      e.window->Pump();
    }
  }
  return Pass(Format("%d editors of %d x %d opened together, idled %d times and closed, twice", kInstances,
                     width, height, idles));
}

}  // namespace

CheckResult CheckEditor(Context& c) {
  int width = 0, height = 0;
  CheckResult one = CheckEditorAt(c, 1, width, height);
  if (one.status != Status::Pass) return one;
  int scaledWidth = 0, scaledHeight = 0;
  CheckResult two = CheckEditorAt(c, 2, scaledWidth, scaledHeight);
  if (two.status != Status::Pass) return {two.status, "at scale 2: " + two.detail};
  // Editors that do not read the scale keep their size, which is no fault.
  const char* followed = scaledWidth == 2 * width && scaledHeight == 2 * height ? "" : " (not scaled)";
  return Pass(one.detail + Format("; at scale 2: %d x %d%s", scaledWidth, scaledHeight, followed));
}

}  // namespace vornhost::validate
