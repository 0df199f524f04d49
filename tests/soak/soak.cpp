// The plug-in binary, loaded once, through many host sessions in one
// process: open, resume, 0.5 s of sound, the editor opened into a host
// window, idled 10 times and closed, suspend, close. Afterwards the process
// holds the same descriptors (X connections) and the display the same
// windows and window classes as before the first cycle, and resident memory
// has stopped growing: the last cycle ends within 2 MiB of the tenth part.
// Leaks are LeakSanitizer's to report at exit, in the sanitizer build.
//
//   plugin_soak [CYCLES [PLUGIN]]   (default 100 cycles, this build's plug-in)
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/soak/x_census.h"
#include "vst/vst24.h"

// In the sanitizer build: the live allocations by call stack, to show
// where memory grows.
extern "C" void __sanitizer_print_memory_profile(std::size_t top_percent, std::size_t max_contexts)
    __attribute__((weak));

namespace {

constexpr int kSampleRate = 44100;
constexpr int kBlock = 512;
constexpr long kAllowedGrowth = 2L << 20;

VstTimeInfo timeInfo{};

VstIntPtr VSTCALLBACK Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterGetTime:
      return reinterpret_cast<VstIntPtr>(&timeInfo);
    case audioMasterGetSampleRate:
      return kSampleRate;
    case audioMasterGetBlockSize:
      return kBlock;
    default:
      return 0;
  }
}

using Entry = AEffect* (*)(audioMasterCallback);

// One host session; false with a message when the plug-in refused a step.
bool Cycle(Entry entry, Window parent, Display* display, int cycle) {
  AEffect* effect = entry(&Callback);
  if (effect == nullptr || effect->magic != kEffectMagic) {
    std::fprintf(stderr, "soak: cycle %d: the entry point built no instance\n", cycle);
    return false;
  }
  auto dispatch = [effect](VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  };
  dispatch(effOpen, 0, 0, nullptr, 0);
  dispatch(effSetSampleRate, 0, 0, nullptr, kSampleRate);
  dispatch(effSetBlockSize, 0, kBlock, nullptr, 0);
  dispatch(effMainsChanged, 0, 1, nullptr, 0);

  static std::vector<float> left(kBlock);
  static std::vector<float> right(kBlock);
  bool finite = true;
  for (int done = 0; done < kSampleRate / 2; done += kBlock) {
    for (int i = 0; i < kBlock; ++i) {
      left[static_cast<std::size_t>(i)] = static_cast<float>(0.3 * std::sin(0.01 * (done + i)));
      right[static_cast<std::size_t>(i)] = -left[static_cast<std::size_t>(i)];
    }
    effect->setParameter(effect, (done / kBlock) % effect->numParams,
                         static_cast<float>((done / kBlock) % 11) / 10.0f);
    float* channels[2] = {left.data(), right.data()};
    effect->processReplacing(effect, channels, channels, kBlock);
    for (int i = 0; i < kBlock; ++i)
      finite = finite && std::isfinite(left[static_cast<std::size_t>(i)]) &&
               std::isfinite(right[static_cast<std::size_t>(i)]);
  }

  ERect* rect = nullptr;
  dispatch(effEditGetRect, 0, 0, &rect, 0);
  const bool opened = dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent), 0) != 0;
  for (int i = 0; i < 10; ++i) {
    dispatch(effEditIdle, 0, 0, nullptr, 0);
    XSync(display, False);
  }
  if (cycle == 1) std::printf("soak: editor open: %s\n", TakeCensus(display).Describe().c_str());
  dispatch(effEditClose, 0, 0, nullptr, 0);
  dispatch(effMainsChanged, 0, 0, nullptr, 0);
  dispatch(effClose, 0, 0, nullptr, 0);
  if (!finite) std::fprintf(stderr, "soak: cycle %d: non-finite output\n", cycle);
  if (!opened) std::fprintf(stderr, "soak: cycle %d: the editor did not open\n", cycle);
  return finite && opened;
}

double MiB(long bytes) {
  return static_cast<double>(bytes) / (1 << 20);
}

}  // namespace

int main(int argc, char** argv) {
  const int cycles = argc > 1 ? std::atoi(argv[1]) : 100;
  const std::string path = argc > 2 ? argv[2] : VORN_PLUGIN_PATH;
  if (cycles < 10) {
    std::fprintf(stderr, "usage: plugin_soak [CYCLES >= 10 [PLUGIN]]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "soak: no X display (run it under xvfb-run)\n");
    return 1;
  }
  // Kept mapped after the end, so leak reports can still name its code.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  auto entry = library != nullptr ? reinterpret_cast<Entry>(dlsym(library, "VSTPluginMain")) : nullptr;
  if (entry == nullptr) {
    std::fprintf(stderr, "soak: cannot load '%s': %s\n", path.c_str(), dlerror());
    return 1;
  }
  timeInfo.sampleRate = kSampleRate;
  timeInfo.tempo = 120;
  timeInfo.timeSigNumerator = timeInfo.timeSigDenominator = 4;
  timeInfo.flags = kVstTransportPlaying | kVstTempoValid | kVstTimeSigValid;

  const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 800, 600, 0, 0, 0);
  XMapWindow(display, parent);
  const Census before = TakeCensus(display);
  std::printf("soak: before: %s\n", before.Describe().c_str());

  const int tenth = cycles / 10;
  long residentAtTenth = 0;
  long resident = 0;
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    if (!Cycle(entry, parent, display, cycle)) return 1;
    resident = ResidentBytes();
    if (cycle == tenth) residentAtTenth = resident;
    if (cycle == 1 || cycle == tenth || cycle % 100 == 0 || cycle == cycles)
      std::printf("soak: cycle %d: resident %.2f MiB\n", cycle, MiB(resident));
  }
  const Census after = TakeCensus(display);
  std::printf("soak: after:  %s\n", after.Describe().c_str());

  bool ok = true;
  if (!(after == before)) {
    std::fprintf(stderr, "soak: descriptors, windows or window classes differ from the start\n");
    ok = false;
  }
  const long growth = resident - residentAtTenth;
  std::printf("soak: resident memory grew %.2f MiB from cycle %d to cycle %d (allowed %.0f)\n", MiB(growth),
              tenth, cycles, MiB(kAllowedGrowth));
  if (growth > kAllowedGrowth) {
    ok = false;
    if (__sanitizer_print_memory_profile != nullptr) __sanitizer_print_memory_profile(90, 8);
  }
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
  std::printf("soak: %d cycles, %s\n", cycles, ok ? "passed" : "FAILED");
  return ok ? 0 : 1;
}
