// The editor: size, open into a host window, idle, close; twice.
#include <chrono>
#include <thread>

#include "host/editor_window.h"
#include "host/validate_checks.h"

namespace vornhost::validate {

CheckResult CheckEditor(Context& c) {
  auto p = c.Make();
  if (!p->HasEditor()) return Skip("the plug-in has no editor");
  // The window system first: some editors cannot even report their size
  // without one.
  std::string why;
  auto window = EditorWindow::Create(640, 480, why);
  if (!window) return Skip(why);
  ERect* rect = nullptr;
  p->Dispatch(effEditGetRect, 0, 0, &rect);
  int width = 0, height = 0;
  if (rect != nullptr) {
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    if (width < 0 || height < 0 || width > 8192 || height > 8192)
      return Fail(Format("editor rectangle %d x %d is impossible", width, height));
  }
  const int idles = 10 * c.strictness;
  for (int round = 0; round < 2; ++round) {
    // The answer is not checked: many plug-ins answer 0 and open anyway.
    p->Dispatch(effEditOpen, 0, 0, window->parent());
    for (int i = 0; i < idles; ++i) {
      p->Dispatch(effEditIdle);
      window->Pump();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    p->Dispatch(effEditClose);
    window->Pump();
  }
  return Pass(Format("%d x %d editor opened, idled %d times and closed, twice", width, height, idles));
}

}  // namespace vornhost::validate
