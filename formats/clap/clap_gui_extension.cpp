#include "formats/clap/clap_gui_extension.h"

#include <cstdlib>
#include <cstring>

#include "formats/clap/abi/gui.h"
#include "formats/clap/abi/posix_fd_support.h"
#include "formats/clap/abi/timer_support.h"
#include "formats/clap/clap_gui.h"
#include "formats/clap/clap_gui_loop.h"

namespace {

#if defined(_WIN32)
constexpr const char* kApi = CLAP_WINDOW_API_WIN32;
#else
constexpr const char* kApi = CLAP_WINDOW_API_X11;
#endif

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

void Destroy(const clap_plugin_t* plugin) {
  ClapGuiSlot& slot = ClapGuiSlotOf(plugin);
  // The ticks end before the editor they drive.
  slot.loop.reset();
  slot.gui.reset();
  slot.closedSaid = false;
}

// The host's idle for the editor; tells the host once when the window went
// with its parent.
void Tick(ClapGuiSlot& slot) {
  if (slot.gui == nullptr) return;
  slot.gui->Idle();
  if (slot.gui->WasOpened() && slot.gui->Window() == nullptr && !slot.closedSaid) {
    slot.closedSaid = true;
    slot.loop->Stop();
    const auto* hostGui =
        slot.host->get_extension != nullptr
            ? static_cast<const clap_host_gui_t*>(slot.host->get_extension(slot.host, CLAP_EXT_GUI))
            : nullptr;
    if (hostGui != nullptr && hostGui->closed != nullptr) hostGui->closed(slot.host, true);
  }
}

bool Create(const clap_plugin_t* plugin, const char* api, bool floating) {
  if (!Supported(api, floating)) return false;
  ClapGuiSlot& slot = ClapGuiSlotOf(plugin);
  if (slot.gui != nullptr) return false;  // one editor per instance
#if !defined(_WIN32)
  // No display to open: refused here rather than at set_parent.
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return false;
#endif
  if (!ClapGuiLoop::HostCanDrive(slot.host)) return false;
  slot.gui = std::make_unique<ClapGui>(slot.host, slot.link);
  ClapGuiSlot* owner = &slot;
  slot.loop = std::make_unique<ClapGuiLoop>(slot.host, [owner] { Tick(*owner); });
  slot.closedSaid = false;
  return true;
}

bool SetScale(const clap_plugin_t* plugin, double scale) {
  ClapGuiSlot& slot = ClapGuiSlotOf(plugin);
  if (slot.gui == nullptr) return false;
  const bool wasOpen = slot.gui->Window() != nullptr;
  if (!slot.gui->SetScale(scale)) return false;
  // A window made again at the new size: its ticks follow it (the Win32
  // timer lives on the window), and the host is asked for the room.
  if (wasOpen && slot.gui->Window() != nullptr) {
    slot.loop->Start(slot.gui->Window());
    const auto* hostGui =
        slot.host->get_extension != nullptr
            ? static_cast<const clap_host_gui_t*>(slot.host->get_extension(slot.host, CLAP_EXT_GUI))
            : nullptr;
    if (hostGui != nullptr && hostGui->request_resize != nullptr)
      hostGui->request_resize(slot.host, slot.gui->DeviceWidth(), slot.gui->DeviceHeight());
  }
  return true;
}

bool GetSize(const clap_plugin_t* plugin, std::uint32_t* width, std::uint32_t* height) {
  ClapGuiSlot& slot = ClapGuiSlotOf(plugin);
  if (slot.gui == nullptr || width == nullptr || height == nullptr) return false;
  *width = slot.gui->DeviceWidth();
  *height = slot.gui->DeviceHeight();
  return true;
}

bool CanResize(const clap_plugin_t*) {
  return false;
}

bool GetResizeHints(const clap_plugin_t*, clap_gui_resize_hints_t*) {
  return false;
}

// The editor has one size at each scale: every asked size becomes that one.
bool AdjustSize(const clap_plugin_t* plugin, std::uint32_t* width, std::uint32_t* height) {
  return GetSize(plugin, width, height);
}

bool SetSize(const clap_plugin_t* plugin, std::uint32_t width, std::uint32_t height) {
  std::uint32_t ownWidth = 0, ownHeight = 0;
  return GetSize(plugin, &ownWidth, &ownHeight) && width == ownWidth && height == ownHeight;
}

bool SetParent(const clap_plugin_t* plugin, const clap_window_t* window) {
  ClapGuiSlot& slot = ClapGuiSlotOf(plugin);
  if (slot.gui == nullptr || window == nullptr || window->api == nullptr ||
      std::strcmp(window->api, kApi) != 0)
    return false;
#if defined(_WIN32)
  void* parent = window->win32;
#else
  void* parent = reinterpret_cast<void*>(window->x11);
#endif
  slot.loop->Stop();
  slot.closedSaid = false;
  if (!slot.gui->Open(parent)) return false;
  return slot.loop->Start(slot.gui->Window());
}

bool SetTransient(const clap_plugin_t*, const clap_window_t*) {
  return false;  // no floating window
}

void SuggestTitle(const clap_plugin_t*, const char*) {}

// The window lives inside the host's, which the host shows and hides; we
// pace the idle only while shown.
bool Show(const clap_plugin_t* plugin) {
  ClapGuiSlot& slot = ClapGuiSlotOf(plugin);
  if (slot.gui == nullptr || slot.gui->Window() == nullptr) return false;
  return slot.loop->Running() || slot.loop->Start(slot.gui->Window());
}

bool Hide(const clap_plugin_t* plugin) {
  ClapGuiSlot& slot = ClapGuiSlotOf(plugin);
  if (slot.gui == nullptr) return false;
  slot.loop->Stop();
  return true;
}

void OnTimer(const clap_plugin_t* plugin, clap_id timer) {
  ClapGuiSlot& slot = ClapGuiSlotOf(plugin);
  if (slot.loop != nullptr) slot.loop->OnTimer(timer);
}

#if !defined(_WIN32)
void OnFd(const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t) {
  ClapGuiSlot& slot = ClapGuiSlotOf(plugin);
  if (slot.loop != nullptr) slot.loop->OnFd(fd);
}
#endif

constexpr clap_plugin_gui_t kGui = {IsApiSupported, GetPreferredApi, Create,         Destroy,    SetScale,
                                    GetSize,        CanResize,       GetResizeHints, AdjustSize, SetSize,
                                    SetParent,      SetTransient,    SuggestTitle,   Show,       Hide};
constexpr clap_plugin_timer_support_t kTimerSupport = {OnTimer};
#if !defined(_WIN32)
constexpr clap_plugin_posix_fd_support_t kFdSupport = {OnFd};
#endif

}  // namespace

ClapGuiSlot::ClapGuiSlot(const clap_host_t* owner) : host(owner) {}

ClapGuiSlot::~ClapGuiSlot() {
  loop.reset();
  gui.reset();
}

const void* ClapGuiExtension(const char* id) {
  if (id == nullptr) return nullptr;
  if (std::strcmp(id, CLAP_EXT_GUI) == 0) return &kGui;
  if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &kTimerSupport;
#if !defined(_WIN32)
  if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0) return &kFdSupport;
#endif
  return nullptr;
}
