// Dispatcher sequences: opcodes with any index, value and option, and
// pointers to bounded buffers of the kind each opcode takes (text buffers
// of 256 bytes, rectangle and chunk slots, event lists and speaker
// arrangements the input shapes), interleaved with processing and
// parameter sets. Text answers must end within their capacities, and the
// sound must stay finite for finite input.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "tests/fuzz/fuzz_plugin.h"
#include "vst/text_bounds.h"

namespace {

constexpr std::size_t kText = 256;
constexpr unsigned char kCanary = 0x5A;
constexpr int kMaxEvents = 16;

// Capacity of the text answer of an opcode; 0 for opcodes that answer none.
std::size_t AnswerCapacity(VstInt32 opcode) {
  switch (opcode) {
    case effGetProgramName:
    case effGetProgramNameIndexed:
      return kProgramNameCapacity;
    case effGetParamLabel:
      return kParamLabelCapacity;
    case effGetParamDisplay:
      return kParamDisplayCapacity;
    case effGetParamName:
      return kParamNameCapacity;
    case effGetEffectName:
      return kEffectNameCapacity;
    case effGetVendorString:
      return kVendorStringCapacity;
    case effGetProductString:
      return kProductStringCapacity;
    case effShellGetNextPlugin:
      return kShellPluginNameCapacity;
    default:
      return 0;
  }
}

// Integers a host might send: the edges of every width, and small ones.
VstIntPtr Integer(FuzzedDataProvider& in) {
  static constexpr VstIntPtr kEdges[] = {0,
                                         1,
                                         -1,
                                         2,
                                         9,
                                         10,
                                         64,
                                         65,
                                         127,
                                         128,
                                         255,
                                         256,
                                         8192,
                                         std::numeric_limits<std::int32_t>::max(),
                                         std::numeric_limits<std::int32_t>::min(),
                                         std::numeric_limits<VstIntPtr>::max(),
                                         std::numeric_limits<VstIntPtr>::min()};
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return kEdges[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kEdges) - 1)];
    case 1:
      return in.ConsumeIntegralInRange<VstIntPtr>(-8, 80);
    case 2:
      return in.ConsumeIntegral<std::int32_t>();
    default:
      return in.ConsumeIntegral<VstIntPtr>();
  }
}

float Float(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
      return fuzz::Special(in.ConsumeIntegral<std::uint8_t>());
    case 1:
      return in.ConsumeFloatingPointInRange<float>(-2.0f, 2.0f);
    default: {
      const auto bits = in.ConsumeIntegral<std::uint32_t>();
      float f;
      std::memcpy(&f, &bits, sizeof f);
      return f;
    }
  }
}

// Everything a dispatcher call may point at, owned for one call.
struct Pointees {
  std::array<char, kText> text{};
  std::vector<char> chunk;
  void* slot = nullptr;
  ERect* rect = nullptr;
  VstPinProperties pin{};
  VstParameterProperties properties{};
  VstSpeakerArrangement arrangements[2]{};
  VstSpeakerArrangement* arrangementSlots[2] = {nullptr, nullptr};
  std::array<std::array<unsigned char, sizeof(VstMidiSysexEvent)>, kMaxEvents> events{};
  std::array<char, 64> sysex{};
  std::unique_ptr<unsigned char[]> list;
  std::array<unsigned char, 512> record{};  // MIDI names, patch information, variable I/O
};

void* EventList(FuzzedDataProvider& in, Pointees& p) {
  const int count = in.ConsumeIntegralInRange<int>(-2, kMaxEvents);
  const int stored = count > 0 ? count : 0;
  p.list = std::make_unique<unsigned char[]>(sizeof(VstEvents) + sizeof(VstEvent*) * kMaxEvents);
  auto* list = reinterpret_cast<VstEvents*>(p.list.get());
  list->numEvents = count;
  list->reserved = 0;
  // The record declares two entries; a host's list holds numEvents.
  VstEvent** entries = list->events;
  for (int i = 0; i < stored; ++i) {
    auto& bytes = p.events[static_cast<std::size_t>(i)];
    const std::vector<unsigned char> shaped = in.ConsumeBytes<unsigned char>(sizeof(VstMidiEvent));
    if (!shaped.empty()) std::memcpy(bytes.data(), shaped.data(), shaped.size());
    auto* event = reinterpret_cast<VstEvent*>(bytes.data());
    if (in.ConsumeBool()) event->type = in.ConsumeBool() ? kVstMidiType : kVstSysExType;
    if (event->type == kVstSysExType) {
      // A host's sysex event points at its dump.
      auto* sysex = reinterpret_cast<VstMidiSysexEvent*>(bytes.data());
      sysex->dumpBytes = in.ConsumeIntegralInRange<VstInt32>(0, static_cast<VstInt32>(p.sysex.size()));
      sysex->sysexDump = p.sysex.data();
    }
    entries[i] = event;
  }
  return list;
}

struct Call {
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  void* ptr;
  float opt;
};

// The pointer (and for some opcodes the value) of the kind the opcode
// takes; now and then a null pointer instead, as careless hosts send.
void Point(FuzzedDataProvider& in, Call& call, Pointees& p) {
  if (in.ConsumeIntegralInRange<int>(0, 15) == 0) {
    call.ptr = nullptr;
    return;
  }
  switch (call.opcode) {
    case effSetProgramName:
    case effCanDo:
    case effString2Parameter:
    case effVendorSpecific: {
      const std::string text = in.ConsumeRandomLengthString(kText - 1);
      std::memcpy(p.text.data(), text.c_str(), text.size() + 1);
      call.ptr = p.text.data();
      return;
    }
    case effGetChunk:
      call.ptr = &p.slot;
      return;
    case effSetChunk:
      p.chunk = in.ConsumeBytes<char>(in.ConsumeIntegralInRange<std::size_t>(0, 600));
      call.ptr = p.chunk.data();
      call.value = static_cast<VstIntPtr>(p.chunk.size());
      return;
    case effEditGetRect:
      call.ptr = &p.rect;
      return;
    case effProcessEvents:
      call.ptr = EventList(in, p);
      return;
    case effGetInputProperties:
    case effGetOutputProperties:
      call.ptr = &p.pin;
      return;
    case effGetParameterProperties:
      call.ptr = &p.properties;
      return;
    case effSetSpeakerArrangement:
      for (auto& a : p.arrangements) {
        a.type = in.ConsumeIntegral<VstInt32>();
        a.numChannels = in.ConsumeIntegralInRange<VstInt32>(-1, 8);
      }
      call.value = reinterpret_cast<VstIntPtr>(&p.arrangements[0]);
      call.ptr = &p.arrangements[1];
      return;
    case effGetSpeakerArrangement:
      call.value = reinterpret_cast<VstIntPtr>(&p.arrangementSlots[0]);
      call.ptr = &p.arrangementSlots[1];
      return;
    case effGetMidiProgramName:
    case effGetCurrentMidiProgram:
    case effGetMidiProgramCategory:
    case effGetMidiKeyName:
    case effBeginLoadBank:
    case effBeginLoadProgram:
    case effProcessVarIo:
    case effOfflineNotify:
    case effOfflinePrepare:
    case effOfflineRun:
    case effGetIcon:
    case effGetDestinationBuffer:
    case effGetCurrentPosition:
      call.ptr = p.record.data();
      return;
    default:
      std::memset(p.text.data(), kCanary, kText);
      call.ptr = p.text.data();
      return;
  }
}

void CheckTextAnswer(VstInt32 opcode, const Pointees& p, const void* ptr) {
  const std::size_t capacity = AnswerCapacity(opcode);
  if (capacity == 0 || ptr != p.text.data()) return;
  bool written = false;
  for (unsigned char c : p.text) written = written || c != kCanary;
  if (!written) return;
  bool terminated = false;
  for (std::size_t i = 0; i < capacity && !terminated; ++i) terminated = p.text[i] == '\0';
  fuzz::Require(terminated, "a text answer is not terminated within its capacity");
  for (std::size_t i = capacity; i < kText; ++i)
    fuzz::Require(static_cast<unsigned char>(p.text[i]) == kCanary, "a text answer wrote past its capacity");
}

void ProcessBlock(FuzzedDataProvider& in, fuzz::Plugin& plugin) {
  static std::vector<float> left(fuzz::kMaxFrames);
  static std::vector<float> right(fuzz::kMaxFrames);
  static std::vector<double> leftDouble(fuzz::kMaxFrames);
  static std::vector<double> rightDouble(fuzz::kMaxFrames);
  const VstInt32 frames = in.ConsumeBool() ? in.ConsumeIntegralInRange<VstInt32>(-2, 64)
                                           : in.ConsumeIntegralInRange<VstInt32>(0, fuzz::kMaxFrames);
  const std::size_t n = frames > 0 ? static_cast<std::size_t>(frames) : 0;
  const float level = in.ConsumeFloatingPointInRange<float>(-1.0f, 1.0f);
  for (std::size_t i = 0; i < n; ++i) {
    left[i] = level * static_cast<float>(i % 50) / 50.0f;
    right[i] = -left[i];
    leftDouble[i] = left[i];
    rightDouble[i] = right[i];
  }
  if (in.ConsumeBool()) {
    plugin.Process(left.data(), right.data(), frames);
    fuzz::Require(fuzz::AllFinite(left.data(), n) && fuzz::AllFinite(right.data(), n),
                  "finite input gave non-finite output");
  } else {
    plugin.ProcessDouble(leftDouble.data(), rightDouble.data(), frames);
    fuzz::Require(fuzz::AllFinite(leftDouble.data(), n) && fuzz::AllFinite(rightDouble.data(), n),
                  "finite input gave non-finite output (double precision)");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  // One instance for the whole run (building one costs more than a run);
  // each input starts from its first slider values, program name, sample
  // rate and block size, resumed.
  static auto plugin = std::make_unique<fuzz::Plugin>();
  static const std::vector<char> initial = plugin->Chunk();
  static char initialName[kText] = {};
  static const bool named = (plugin->Dispatch(effGetProgramName, 0, 0, initialName), true);
  (void)named;
  plugin->Dispatch(effMainsChanged, 0, 0);
  plugin->Dispatch(effSetProgram, 0, 0);
  plugin->Dispatch(effSetProgramName, 0, 0, initialName);
  plugin->Dispatch(effSetSampleRate, 0, 0, nullptr, in.ConsumeBool() ? 44100.0f : 8000.0f);
  plugin->Dispatch(effSetBlockSize, 0, 512);
  plugin->Dispatch(effSetBypass, 0, 0);
  plugin->Dispatch(effSetProcessPrecision, 0, kVstProcessPrecision32);
  plugin->Restore(initial);
  plugin->Dispatch(effMainsChanged, 0, 1);
  for (int step = 0; step < 200 && in.remaining_bytes() > 0; ++step) {
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
      case 0:
        ProcessBlock(in, *plugin);
        break;
      case 1: {
        const auto index = static_cast<VstInt32>(Integer(in));
        plugin->effect->setParameter(plugin->effect, index, Float(in));
        break;
      }
      case 2: {
        const auto index = static_cast<VstInt32>(Integer(in));
        const float value = plugin->effect->getParameter(plugin->effect, index);
        fuzz::Require(value >= 0.0f && value <= 1.0f, "a parameter answered a value outside 0 … 1");
        break;
      }
      default: {
        Call call{};
        call.opcode = in.ConsumeBool()
                          ? in.ConsumeIntegralInRange<VstInt32>(0, effGetNumMidiOutputChannels + 2)
                          : static_cast<VstInt32>(Integer(in));
        call.index = static_cast<VstInt32>(Integer(in));
        call.value = Integer(in);
        call.opt = Float(in);
        // The editor needs a window from the host (the soak test opens
        // it); effClose ends the instance, as it ends a host's use of it.
        if (call.opcode == effEditOpen || call.opcode == effClose) break;
        Pointees p;
        Point(in, call, p);
        plugin->Dispatch(call.opcode, call.index, call.value, call.ptr, call.opt);
        CheckTextAnswer(call.opcode, p, call.ptr);
        if (call.opcode == effEditGetRect && call.ptr != nullptr && p.rect != nullptr) {
          volatile VstInt16 width = static_cast<VstInt16>(p.rect->right - p.rect->left);
          (void)width;
        }
        break;
      }
    }
  }
  // Whatever came before: resumed, a plain block sounds finite.
  plugin->Resume();
  fuzz::RequireRecovers(*plugin);
  fuzz::RequireChunkRoundTrip(*plugin);
  return 0;
}
