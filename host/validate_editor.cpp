// The editor: size, open into a host window, idle, close, reopen, close;
// for several instances open at the same time.
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "host/editor_window.h"
#include "host/validate_checks.h"

namespace vornhost::validate {

namespace {

constexpr int kInstances = 3;

struct OpenEditor {
  std::unique_ptr<PluginInstance> plugin;
  std::unique_ptr<EditorWindow> window;
};

}  // namespace

CheckResult CheckEditor(Context& c) {
  std::vector<OpenEditor> editors;
  int width = 0, height = 0;
  for (int i = 0; i < kInstances; ++i) {
    OpenEditor e;
    e.plugin = c.Make();
    if (!e.plugin->HasEditor()) return Skip("the plug-in has no editor");
    // The window system first: some editors cannot even report their size
    // without one.
    std::string why;
    e.window = EditorWindow::Create(640, 480, why);
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

}  // namespace vornhost::validate
