// The gui with and without a display: created, scaled, embedded in a host
// window, driven by the host's timers and fds, and destroyed leaving no
// timer or fd behind.
#include <cstdlib>

#include "host/clap/clap_host_window.h"
#include "host/clap/clap_validate_checks.h"
#include "host/editor_window.h"
#include "host/validate_support.h"

namespace vornhost::clap_validate {

using validate::Format;

std::string CheckGuiWithDisplay(const Target& t) {
#ifndef _WIN32
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == 0) return "Sno DISPLAY";
#endif
  auto module = ClapModule::Load(t.path);
  ClapPluginHost p(module, t.pluginId, true);
  const auto* gui = static_cast<const clap_plugin_gui_t*>(p.Extension(CLAP_EXT_GUI));
  if (gui == nullptr) return "Sno gui extension";
  if (!gui->is_api_supported(p.plugin(), kClapWindowApi, false))
    return Format("S%s embedding not supported", kClapWindowApi);
  p.Activate(44100, 512);
  for (double scale : {1.0, 2.0}) {
    if (!gui->create(p.plugin(), kClapWindowApi, false))
      return Format("create(%s) answered false with a display", kClapWindowApi);
    gui->set_scale(p.plugin(), scale);
    std::uint32_t width = 0, height = 0;
    if (!gui->get_size(p.plugin(), &width, &height) || width == 0 || height == 0 || width > 16384 ||
        height > 16384) {
      gui->destroy(p.plugin());
      return Format("get_size answered %u x %u at scale %g", width, height, scale);
    }
    std::string why;
    auto window = EditorWindow::Create(static_cast<int>(width), static_cast<int>(height), why);
    if (!window) {
      gui->destroy(p.plugin());
      return "Scannot open a host window: " + why;
    }
    const clap_window_t parent = ClapParentOf(*window);
    if (!gui->set_parent(p.plugin(), &parent)) {
      gui->destroy(p.plugin());
      return Format("set_parent answered false at scale %g", scale);
    }
    gui->show(p.plugin());
    // Long enough for a few timer periods; the loop waits on the plug-in's fds.
    for (int i = 0; i < 30; ++i) {
      window->Pump();
      p.services().RunMainLoop(10);
    }
    gui->hide(p.plugin());
    gui->destroy(p.plugin());
    window->Pump();
    if (p.services().timerCount() > 0)
      return Format("%zu timers still registered after destroy (scale %g)", p.services().timerCount(), scale);
    if (p.services().fdCount() > 0)
      return Format("%zu fds still registered after destroy (scale %g)", p.services().fdCount(), scale);
  }
  p.Deactivate();
  return {};
}

std::string CheckGuiWithoutDisplay(const Target& t) {
#ifdef _WIN32
  (void)t;
  return "Swindows always have a desktop";
#else
  // This check runs in a process of its own: the environment is its own.
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  auto module = ClapModule::Load(t.path);
  ClapPluginHost p(module, t.pluginId, true);
  const auto* gui = static_cast<const clap_plugin_gui_t*>(p.Extension(CLAP_EXT_GUI));
  if (gui == nullptr) return "Sno gui extension";
  if (!gui->is_api_supported(p.plugin(), kClapWindowApi, false))
    return Format("S%s embedding not supported", kClapWindowApi);
  if (gui->create(p.plugin(), kClapWindowApi, false)) {
    // Answering true without a display is allowed; it must still go away cleanly.
    std::uint32_t width = 0, height = 0;
    gui->get_size(p.plugin(), &width, &height);
    gui->destroy(p.plugin());
  }
  if (p.services().timerCount() > 0 || p.services().fdCount() > 0)
    return "timers or fds left registered after a gui without a display";
  return {};
#endif
}

}  // namespace vornhost::clap_validate
