#include "formats/clap/clap_gui.h"

#include <cstdlib>
#include <cstring>

#include "formats/clap/abi/gui.h"
#include "formats/clap/abi/posix_fd_support.h"
#include "formats/clap/abi/timer_support.h"
#include "formats/clap/clap_gui_seam.h"
#include "formats/clap/clap_plugin.h"

namespace {

#if defined(_WIN32)
constexpr const char* kApi = CLAP_WINDOW_API_WIN32;
#else
constexpr const char* kApi = CLAP_WINDOW_API_X11;
#endif

const clap_host_gui_t* HostGui(const clap_host_t* host) {
  if (host == nullptr || host->get_extension == nullptr) return nullptr;
  return static_cast<const clap_host_gui_t*>(host->get_extension(host, CLAP_EXT_GUI));
}

// The editor of an instance, or null before create and after destroy.
ClapGui* GuiOf(const clap_plugin_t* plugin) {
  ClapPlugin* instance = ClapPlugin::Of(plugin);
  return instance != nullptr ? instance->gui : nullptr;
}

// The one API of this build, embedded: no floating window.
bool Supported(const char* api, bool floating) {
  return !floating && api != nullptr && std::strcmp(api, kApi) == 0;
}

bool IsApiSupported(const clap_plugin_t*, const char* api, bool floating) {
  return Supported(api, floating);
}

bool GetPreferredApi(const clap_plugin_t*, const char** api, bool* floating) {
  if (api != nullptr) *api = kApi;
  if (floating != nullptr) *floating = false;
  return true;
}

bool Create(const clap_plugin_t* plugin, const char* api, bool floating) {
  ClapPlugin* instance = ClapPlugin::Of(plugin);
  if (instance == nullptr || !Supported(api, floating)) return false;
  if (instance->gui != nullptr) return false;  // one editor per instance
#if !defined(_WIN32)
  // No display to open: refused here rather than at set_parent.
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return false;
#endif
  if (!ClapGuiLoop::HostCanDrive(instance->Host())) return false;
  instance->gui = new ClapGui(*instance);
  return true;
}

void Destroy(const clap_plugin_t* plugin) {
  ClapPlugin* instance = ClapPlugin::Of(plugin);
  if (instance != nullptr) ClapGuiDestroy(*instance);
}

bool SetScale(const clap_plugin_t* plugin, double scale) {
  ClapGui* gui = GuiOf(plugin);
  if (gui == nullptr) return false;
  const bool wasOpen = gui->editor.Window() != nullptr;
  const std::uint32_t width = gui->editor.DeviceWidth();
  if (!gui->editor.SetScale(scale)) return false;
  // A window made again at its new size: the ticks follow it (the Win32
  // timer lives on the window), and the host is asked for the room.
  if (wasOpen && gui->editor.Window() != nullptr && width != gui->editor.DeviceWidth()) {
    gui->loop.Start(gui->editor.Window());
    const clap_host_gui_t* hostGui = HostGui(gui->plugin.Host());
    if (hostGui != nullptr && hostGui->request_resize != nullptr)
      hostGui->request_resize(gui->plugin.Host(), gui->editor.DeviceWidth(), gui->editor.DeviceHeight());
  }
  return true;
}

bool GetSize(const clap_plugin_t* plugin, std::uint32_t* width, std::uint32_t* height) {
  ClapGui* gui = GuiOf(plugin);
  if (gui == nullptr || width == nullptr || height == nullptr) return false;
  *width = gui->editor.DeviceWidth();
  *height = gui->editor.DeviceHeight();
  return true;
}

bool CanResize(const clap_plugin_t*) {
  return false;
}

bool GetResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*) {
  return false;
}

// One size at each scale: every size asked for becomes that one.
bool AdjustSize(const clap_plugin_t* plugin, std::uint32_t* width, std::uint32_t* height) {
  return GetSize(plugin, width, height);
}

bool SetSize(const clap_plugin_t* plugin, std::uint32_t width, std::uint32_t height) {
  std::uint32_t ownWidth = 0, ownHeight = 0;
  return GetSize(plugin, &ownWidth, &ownHeight) && width == ownWidth && height == ownHeight;
}

bool SetParent(const clap_plugin_t* plugin, const clap_window_t* window) {
  ClapGui* gui = GuiOf(plugin);
  if (gui == nullptr || window == nullptr || window->api == nullptr || std::strcmp(window->api, kApi) != 0)
    return false;
#if defined(_WIN32)
  void* parent = window->win32;
#else
  void* parent = reinterpret_cast<void*>(window->x11);
#endif
  gui->loop.Stop();
  gui->closedSaid = false;
  if (!gui->editor.Open(parent)) return false;
  return gui->loop.Start(gui->editor.Window());
}

bool SetTransient(const clap_plugin_t*, const clap_window_t*) {
  return false;  // no floating window
}

void SuggestTitle(const clap_plugin_t*, const char*) {}

// The window lives inside the host's, which the host shows and hides; the
// editor is paced only while shown.
bool Show(const clap_plugin_t* plugin) {
  ClapGui* gui = GuiOf(plugin);
  if (gui == nullptr || gui->editor.Window() == nullptr) return false;
  return gui->loop.Running() || gui->loop.Start(gui->editor.Window());
}

bool Hide(const clap_plugin_t* plugin) {
  ClapGui* gui = GuiOf(plugin);
  if (gui == nullptr) return false;
  gui->loop.Stop();
  return true;
}

void OnTimer(const clap_plugin_t* plugin, clap_id timer) {
  if (ClapGui* gui = GuiOf(plugin)) gui->loop.OnTimer(timer);
}

constexpr clap_plugin_gui_t kGui = {IsApiSupported, GetPreferredApi, Create,         Destroy,    SetScale,
                                    GetSize,        CanResize,       GetResizeHints, AdjustSize, SetSize,
                                    SetParent,      SetTransient,    SuggestTitle,   Show,       Hide};
constexpr clap_plugin_timer_support_t kTimerSupport = {OnTimer};

#if !defined(_WIN32)
void OnFd(const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t) {
  if (ClapGui* gui = GuiOf(plugin)) gui->loop.OnFd(fd);
}

constexpr clap_plugin_posix_fd_support_t kFdSupport = {OnFd};
#endif

}  // namespace

ClapGui::ClapGui(ClapPlugin& owner) : plugin(owner), editor(owner), loop(owner.Host(), [this] { Tick(); }) {
  // The window took the desktop's scale (or a new DPI): the host is asked
  // for the room, and get_size answers the new size from now on.
  editor.OnOwnResize([this] {
    const clap_host_gui_t* hostGui = HostGui(plugin.Host());
    if (hostGui != nullptr && hostGui->request_resize != nullptr)
      hostGui->request_resize(plugin.Host(), editor.DeviceWidth(), editor.DeviceHeight());
  });
}

ClapGui::~ClapGui() {
  loop.Stop();
}

void ClapGui::Tick() {
  editor.Idle();
  if (!editor.WasOpened() || editor.Window() != nullptr || closedSaid) return;
  // The host destroyed the parent: our window went with it.
  closedSaid = true;
  loop.Stop();
  const clap_host_gui_t* hostGui = HostGui(plugin.Host());
  if (hostGui != nullptr && hostGui->closed != nullptr) hostGui->closed(plugin.Host(), true);
}

const void* ClapGuiExtension(ClapPlugin&, const char* id) {
  if (id == nullptr) return nullptr;
  if (std::strcmp(id, CLAP_EXT_GUI) == 0) return &kGui;
  if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &kTimerSupport;
#if !defined(_WIN32)
  if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0) return &kFdSupport;
#endif
  return nullptr;
}

void ClapGuiDestroy(ClapPlugin& plugin) {
  ClapGui* gui = plugin.gui;
  plugin.gui = nullptr;
  delete gui;
}

void ClapGuiOnMainThread(ClapPlugin& plugin) {
  if (plugin.gui != nullptr) plugin.gui->editor.TakePublished();
}
