#include "host/edit_command.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <thread>

#include "host/block_processor.h"
#include "host/edit_session.h"
#include "host/editor_scale.h"
#include "host/editor_window.h"
#include "host/host_error.h"
#include "host/plugin_instance.h"
#include "host/plugin_locator.h"
#include "host/png_writer.h"

namespace vornhost {

namespace {

constexpr int kBlock = 512;
constexpr auto kIdlePeriod = std::chrono::milliseconds(10);
constexpr double kNoisePeak = 0.1;  // -20 dBFS: shows on the meter, quiet to the ear

// The editor's size, or false when it reports none that a window can have.
bool EditorSize(PluginInstance& plugin, int& width, int& height) {
  ERect* rect = nullptr;
  plugin.Dispatch(effEditGetRect, 0, 0, &rect);
  if (rect == nullptr) return false;
  width = rect->right - rect->left;
  height = rect->bottom - rect->top;
  return width > 0 && height > 0 && width <= 8192 && height <= 8192;
}

// Feeds the plug-in block by block as far as the wall clock has gone, so
// the audio runs at real-time speed on the editor's thread.
class LiveAudio {
 public:
  LiveAudio(PluginInstance& plugin, double sampleRate, bool noise)
      : plugin_(plugin),
        processor_(plugin, kBlock, Precision::Float),
        sampleRate_(sampleRate),
        noise_(noise) {
    for (int c = 0; c < plugin.numInputs(); ++c)
      for (int f = 0; f < kBlock; ++f) processor_.floatInput(c)[f] = 0.0f;
  }

  void CatchUp(double seconds) {
    const auto due = static_cast<std::int64_t>(seconds * sampleRate_);
    // After a stall (a debugger, a suspended process) skip ahead rather
    // than process seconds of audio in one go.
    if (due - done_ > static_cast<std::int64_t>(sampleRate_)) done_ = due - kBlock;
    while (done_ + kBlock <= due) {
      if (noise_) FillNoise();
      plugin_.host().SetPosition(static_cast<double>(done_));
      processor_.ProcessOnly(kBlock);
      done_ += kBlock;
    }
  }

 private:
  void FillNoise() {
    for (int c = 0; c < plugin_.numInputs(); ++c)
      for (int f = 0; f < kBlock; ++f) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        const double unit = static_cast<double>(state_) / 4294967295.0 * 2.0 - 1.0;
        processor_.floatInput(c)[f] = static_cast<float>(unit * kNoisePeak);
      }
  }

  PluginInstance& plugin_;
  BlockProcessor processor_;
  double sampleRate_;
  bool noise_;
  std::int64_t done_ = 0;
  std::uint32_t state_ = 1;
};

void PrintParams(PluginInstance& plugin) {
  for (int i = 0; i < plugin.numParams(); ++i) {
    const std::string label = plugin.ParamLabel(i);
    std::printf("  %3d  %s = %s%s (%.6f)\n", i, plugin.ParamName(i).c_str(), plugin.ParamDisplay(i).c_str(),
                label.empty() ? "" : (" " + label).c_str(), static_cast<double>(plugin.GetParam(i)));
  }
}

// One line per edit call as the idle loop finds it, so a script driving
// the editor can wait for the edit its input makes; at the end, how many
// came from inside a process call (a plug-in must not call the host about
// edits from its audio thread).
class EditPrinter {
 public:
  void PrintNew(const HostContext& host) {
    const std::vector<HostContext::EditCall> calls = host.editCalls();
    if (calls.size() <= printed_) return;
    for (; printed_ < calls.size(); ++printed_) {
      const HostContext::EditCall& call = calls[printed_];
      duringProcessing_ += call.duringProcessing ? 1 : 0;
      if (call.opcode == audioMasterBeginEdit)
        std::printf("  edit begin %d\n", call.index);
      else if (call.opcode == audioMasterEndEdit)
        std::printf("  edit end %d\n", call.index);
      else
        std::printf("  edit value %d %.6f\n", call.index, static_cast<double>(call.value));
    }
    std::fflush(stdout);
  }
  void PrintSummary(const HostContext& host) {
    PrintNew(host);
    std::printf("  edits during processing: %d\n", duringProcessing_);
  }

 private:
  std::size_t printed_ = 0;
  int duringProcessing_ = 0;
};

// Follows the editor's asks to resize (audioMasterSizeWindow, for example
// once it has read the desktop's scale on its own window).
void FollowResize(PluginInstance& plugin, EditorWindow& window, int& width, int& height) {
  int w = 0, h = 0;
  if (!plugin.host().TakeWindowSizeRequest(w, h) || (w == width && h == height)) return;
  width = w;
  height = h;
  window.Resize(width, height);
}

}  // namespace

int RunEdit(const EditOptions& options) {
  std::optional<EditorScale> scale;
  if (options.scale != 0) scale.emplace(options.scale);
  const std::string path = LocatePlugin(options.plugin);
  auto module = std::shared_ptr<PluginModule>(PluginModule::Load(path));
  PluginInstance plugin(module);
  const std::string name = plugin.EffectName();
  if (!plugin.HasEditor()) throw HostError("\"" + name + "\" (" + path + ") has no editor");
  plugin.host().RecordEdits(options.printEdits);
  Transport transport;
  transport.tempo = options.tempo;
  plugin.host().SetTransport(transport);
  plugin.Setup(options.sampleRate, kBlock);
  plugin.Resume();

  // Armed before there is a window to see: a Ctrl-C from then on closes the
  // editor in order instead of ending the process.
  InterruptGuard interrupts;
  int width = 0, height = 0;
  const bool sized = EditorSize(plugin, width, height);
  std::string why;
  auto window = EditorWindow::Create(sized ? width : 640, sized ? height : 480, why);
  if (!window) throw HostError("cannot show the editor: " + why);
  window->SetTitle("vornhost edit: " + name);
  plugin.Dispatch(effEditOpen, 0, 0, window->parent());
  if (!sized) {
    // Some editors know their size only once open.
    if (!EditorSize(plugin, width, height)) {
      plugin.Dispatch(effEditClose);
      throw HostError("\"" + name + "\" reports no usable editor size");
    }
    window->Resize(width, height);
  }
  FollowResize(plugin, *window, width, height);

  int afterMs = options.afterMs;
  if (afterMs < 0 && !options.screenshot.empty()) afterMs = 1000;
  // The window shows the open editor and Ctrl-C is handled.
  PrintEditorReady(name, width, height, "", afterMs < 0);

  EditPrinter edits;
  LiveAudio audio(plugin, options.sampleRate, options.inputNoise);
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  const auto deadline = start + std::chrono::milliseconds(afterMs < 0 ? 0 : afterMs);
  auto tick = start;
  WindowImage image;
  bool captured = false;
  for (;;) {
    window->Pump();
    if (window->CloseRequested() || InterruptGuard::Interrupted()) break;
    plugin.Dispatch(effEditIdle);
    FollowResize(plugin, *window, width, height);
    if (options.printEdits) edits.PrintNew(plugin.host());
    const auto now = Clock::now();
    audio.CatchUp(std::chrono::duration<double>(now - start).count());
    if (afterMs >= 0 && now >= deadline) {
      if (!options.screenshot.empty()) {
        window->Pump();
        if (!window->Capture(image, why)) {
          plugin.Dispatch(effEditClose);
          throw HostError("cannot take the screenshot: " + why);
        }
        captured = true;
      }
      break;
    }
    tick += kIdlePeriod;
    if (tick < now) tick = now;  // do not race to catch up missed idles
    std::this_thread::sleep_until(tick);
  }
  plugin.Dispatch(effEditClose);
  window->Pump();
  plugin.Suspend();

  if (options.printParams) PrintParams(plugin);
  if (options.printEdits) edits.PrintSummary(plugin.host());
  std::fflush(stdout);
  if (!options.screenshot.empty() && !captured)
    throw HostError("stopped before the screenshot was taken; " + options.screenshot + " not written");
  if (captured) {
    WritePng(options.screenshot, image);
    std::printf("vornhost edit: wrote %s (%d x %d)\n", options.screenshot.c_str(), image.width, image.height);
  }
  return 0;
}

}  // namespace vornhost
