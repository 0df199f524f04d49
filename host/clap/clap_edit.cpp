// `vornhost edit` for CLAP: the plug-in's gui embedded in vornhost's
// window, the host's loop serving its timers and fds, and audio running on
// an audio thread of its own at real-time pace.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "host/clap/clap_commands.h"
#include "host/clap/clap_host_window.h"
#include "host/clap/clap_plugin_host.h"
#include "host/edit_session.h"
#include "host/editor_window.h"
#include "host/host_error.h"
#include "host/png_writer.h"

namespace vornhost {

namespace {

constexpr std::uint32_t kBlock = 512;
constexpr int kLoopMs = 10;

// Audio at real-time pace on its own thread until stopped.
class AudioThread {
 public:
  AudioThread(ClapPluginHost& plugin, double rate) : plugin_(plugin), rate_(rate) {
    thread_ = std::thread([this] { Run(); });
  }
  ~AudioThread() {
    stop_ = true;
    thread_.join();
  }
  AudioThread(const AudioThread&) = delete;
  AudioThread& operator=(const AudioThread&) = delete;

 private:
  void Run() {
    std::vector<std::vector<float>> in(static_cast<std::size_t>(plugin_.numInputs()),
                                       std::vector<float>(kBlock)),
        out(static_cast<std::size_t>(plugin_.numOutputs()), std::vector<float>(kBlock));
    std::vector<const float*> inPtr;
    std::vector<float*> outPtr;
    for (auto& c : in) inPtr.push_back(c.data());
    for (auto& c : out) outPtr.push_back(c.data());
    const auto period = std::chrono::duration<double>(kBlock / rate_);
    auto next = std::chrono::steady_clock::now();
    while (!stop_) {
      plugin_.Process(inPtr.data(), outPtr.data(), kBlock);
      next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
      // Pacing to the audio clock, as a sound card would.
      std::this_thread::sleep_until(next);
    }
    plugin_.StopProcessing();
  }

  ClapPluginHost& plugin_;
  double rate_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Follows the gui's request_resize (for example once it has taken a new
// scale), as the VST editor's size requests are followed.
void FollowResize(ClapHostServices& services, EditorWindow& window, std::uint32_t& width,
                  std::uint32_t& height) {
  std::uint32_t w = 0, h = 0;
  if (!services.TakeResizeRequest(w, h) || w == 0 || h == 0 || w > 8192 || h > 8192 ||
      (w == width && h == height))
    return;
  width = w;
  height = h;
  window.Resize(static_cast<int>(width), static_cast<int>(height));
}

}  // namespace

int RunClapEdit(const EditOptions& options, const ClapChoice& choice) {
  auto module = ClapModule::Load(options.plugin);
  ClapPluginHost plugin(module, choice.pluginId, true);
  const std::string name = plugin.descriptor()->name != nullptr ? plugin.descriptor()->name : "?";
  const auto* gui = static_cast<const clap_plugin_gui_t*>(plugin.Extension(CLAP_EXT_GUI));
  if (gui == nullptr) throw HostError("\"" + name + "\" (" + options.plugin + ") has no gui");
  if (!gui->is_api_supported(plugin.plugin(), kClapWindowApi, false))
    throw HostError("\"" + name + "\" cannot embed its gui in a " + kClapWindowApi + " window");
  plugin.SetTransport(options.tempo, 4, 4, true);
  plugin.Activate(options.sampleRate, kBlock);
  // Armed before there is a window to see: a Ctrl-C from then on closes the
  // gui in order instead of ending the process.
  InterruptGuard interrupts;
  if (!gui->create(plugin.plugin(), kClapWindowApi, false))
    throw HostError("\"" + name + "\" would not create its gui");
  const double scale = options.scale != 0 ? options.scale : 1.0;
  const bool scaled = gui->set_scale(plugin.plugin(), scale);
  std::uint32_t width = 0, height = 0;
  if (!gui->get_size(plugin.plugin(), &width, &height) || width == 0 || height == 0 || width > 8192 ||
      height > 8192) {
    gui->destroy(plugin.plugin());
    throw HostError("\"" + name + "\" reports no usable gui size");
  }
  std::string why;
  auto window = EditorWindow::Create(static_cast<int>(width), static_cast<int>(height), why);
  if (!window) {
    gui->destroy(plugin.plugin());
    throw HostError("cannot show the gui: " + why);
  }
  window->SetTitle("vornhost edit: " + name);
  const clap_window_t parent = ClapParentOf(*window);
  if (!gui->set_parent(plugin.plugin(), &parent)) {
    gui->destroy(plugin.plugin());
    throw HostError("\"" + name + "\" would not open its gui in vornhost's window");
  }
  gui->show(plugin.plugin());

  int afterMs = options.afterMs;
  if (afterMs < 0 && !options.screenshot.empty()) afterMs = 1000;
  FollowResize(plugin.services(), *window, width, height);
  // The window shows the open gui and Ctrl-C is handled.
  char note[64];
  std::snprintf(note, sizeof note, " at scale %g%s", scale, scaled ? "" : " (the plug-in ignores the scale)");
  PrintEditorReady(name, static_cast<int>(width), static_cast<int>(height), note, afterMs < 0);
  WindowImage image;
  bool captured = false, failed = false;
  {
    AudioThread audio(plugin, options.sampleRate);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(afterMs < 0 ? 0 : afterMs);
    for (;;) {
      window->Pump();
      if (window->CloseRequested() || InterruptGuard::Interrupted() || plugin.services().guiClosed()) break;
      plugin.services().RunMainLoop(kLoopMs);
      FollowResize(plugin.services(), *window, width, height);
      if (afterMs >= 0 && std::chrono::steady_clock::now() >= deadline) {
        if (!options.screenshot.empty()) {
          window->Pump();
          captured = window->Capture(image, why);
          failed = !captured;
        }
        break;
      }
    }
  }
  gui->hide(plugin.plugin());
  gui->destroy(plugin.plugin());
  window->Pump();
  plugin.Deactivate();

  if (options.printParams)
    for (const ClapParam& p : plugin.params()) {
      const double value = plugin.Value(p.id);
      std::printf("  %4u  %s = %s (%.6f)\n", p.id, p.name.c_str(), plugin.Text(p.id, value).c_str(), value);
    }
  for (const std::string& misuse : plugin.services().Misuse()) std::printf("  misuse: %s\n", misuse.c_str());
  std::fflush(stdout);
  if (failed) throw HostError("cannot take the screenshot: " + why);
  if (!options.screenshot.empty() && !captured)
    throw HostError("stopped before the screenshot was taken; " + options.screenshot + " not written");
  if (captured) {
    WritePng(options.screenshot, image);
    std::printf("vornhost edit: wrote %s (%d x %d)\n", options.screenshot.c_str(), image.width, image.height);
  }
  return 0;
}

}  // namespace vornhost
