// The LV2 plug-in through its real descriptor: atom sequences built with
// valid headers whose inner sizes may lie, any atom and property types,
// time:Position properties of any type and size; control values of any
// number (NaN, infinities, out of range); state restores of random chunks
// and types; saves; blocks of 0 … 8192 frames; run() before activate() and
// after deactivate(). Findings: a crash, a read outside a buffer, a
// non-finite output for sane input, an allocation inside run().
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include "formats/lv2/lv2_entry.h"
#include "formats/lv2/lv2_ports.h"

// The sanitizer's allocation hooks (its interface header is not always
// installed with the compiler): every allocation on the thread inside run()
// is counted.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             std::size_t),
                                                         void (*free_hook)(const volatile void*));

namespace {

thread_local bool t_counting = false;
thread_local std::uint64_t t_allocations = 0;
void MallocHook(const volatile void*, std::size_t) {
  if (t_counting) ++t_allocations;
}
void FreeHook(const volatile void*) {}
const int kHooked = __sanitizer_install_malloc_and_free_hooks(MallocHook, FreeHook);

constexpr int kMaxFrames = 8192;
constexpr std::uint32_t kPorts = lv2port::kFirstMeter + lv2port::kMeterCount;

std::map<std::string, LV2_URID>& Ids() {
  static std::map<std::string, LV2_URID> ids;
  return ids;
}

LV2_URID MapUri(LV2_URID_Map_Handle, const char* uri) {
  auto [it, added] = Ids().emplace(uri, static_cast<LV2_URID>(Ids().size() + 1));
  return it->second;
}

LV2_URID_Map gMap{nullptr, MapUri};
LV2_URID U(const char* uri) {
  return MapUri(nullptr, uri);
}

void Fail(const char* what) {
  std::fprintf(stderr, "lv2 fuzz: %s\n", what);
  std::abort();
}

float Special(std::uint8_t k) {
  const float values[] = {NAN, INFINITY, -INFINITY, 0.0f, -0.0f, 1e-40f, 3e38f, -3e38f, 1e9f, -1e9f};
  return values[k % (sizeof values / sizeof values[0])];
}

struct Chunk {
  std::vector<std::uint8_t> data;
  LV2_URID type = 0;
};

const void* Retrieve(LV2_State_Handle handle, std::uint32_t, std::size_t* size, std::uint32_t* type,
                     std::uint32_t* flags) {
  auto* chunk = static_cast<Chunk*>(handle);
  if (chunk->data.empty() && chunk->type == 0) return nullptr;
  *size = chunk->data.size();
  *type = chunk->type;
  *flags = LV2_STATE_IS_POD;
  return chunk->data.data();
}

LV2_State_Status Store(LV2_State_Handle handle, std::uint32_t, const void* value, std::size_t size,
                       std::uint32_t type, std::uint32_t) {
  auto* chunk = static_cast<Chunk*>(handle);
  const auto* bytes = static_cast<const std::uint8_t*>(value);
  chunk->data.assign(bytes, bytes + size);
  chunk->type = type;
  return LV2_STATE_SUCCESS;
}

// Writes one atom header and body; `lie` makes the claimed size anything.
void Append(std::vector<std::uint8_t>& out, const void* data, std::size_t size) {
  const auto* b = static_cast<const std::uint8_t*>(data);
  out.insert(out.end(), b, b + size);
}
void U32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Append(out, &v, 4);
}
void Pad(std::vector<std::uint8_t>& out) {
  while (out.size() % 8 != 0) out.push_back(0);
}

std::uint32_t AtomType(FuzzedDataProvider& in) {
  static const char* kTypes[] = {LV2_ATOM__Float,  LV2_ATOM__Double, LV2_ATOM__Int,   LV2_ATOM__Long,
                                 LV2_ATOM__Object, LV2_ATOM__Blank,  LV2_ATOM__Chunk, LV2_ATOM__Sequence};
  if (in.ConsumeIntegralInRange<int>(0, 7) == 0) return in.ConsumeIntegral<std::uint32_t>();
  return U(kTypes[in.ConsumeIntegralInRange<std::size_t>(0, 7)]);
}

std::uint32_t Claimed(FuzzedDataProvider& in, std::uint32_t truth) {
  switch (in.ConsumeIntegralInRange<int>(0, 5)) {
    case 0:
      return in.ConsumeIntegral<std::uint32_t>();
    case 1:
      return truth + in.ConsumeIntegralInRange<std::uint32_t>(1, 64);
    case 2:
      return truth > 0 ? truth - in.ConsumeIntegralInRange<std::uint32_t>(1, truth) : 0;
    default:
      return truth;
  }
}

std::vector<std::uint8_t> Property(FuzzedDataProvider& in) {
  static const char* kKeys[] = {LV2_TIME__beatsPerMinute, LV2_TIME__beatsPerBar,
                                LV2_TIME__beatUnit,       LV2_TIME__bar,
                                LV2_TIME__barBeat,        LV2_TIME__speed};
  std::vector<std::uint8_t> out;
  U32(out, in.ConsumeBool() ? U(kKeys[in.ConsumeIntegralInRange<std::size_t>(0, 5)])
                            : in.ConsumeIntegral<std::uint32_t>());
  U32(out, 0);
  std::vector<std::uint8_t> value =
      in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 16));
  if (in.ConsumeBool() && value.size() >= 4) {
    const float f = in.ConsumeBool() ? Special(in.ConsumeIntegral<std::uint8_t>())
                                     : in.ConsumeFloatingPointInRange<float>(-1000, 1000);
    std::memcpy(value.data(), &f, 4);
  }
  U32(out, Claimed(in, static_cast<std::uint32_t>(value.size())));
  U32(out, AtomType(in));
  Append(out, value.data(), value.size());
  Pad(out);
  return out;
}

// A sequence in `buffer` (capacity bytes); its own size is true, as the
// host's port buffer is, and everything inside may lie.
void Sequence(FuzzedDataProvider& in, std::vector<std::uint8_t>& buffer) {
  std::vector<std::uint8_t> body;
  U32(body, 0);
  U32(body, 0);
  const int events = in.ConsumeIntegralInRange<int>(0, 4);
  for (int e = 0; e < events; ++e) {
    std::int64_t frames = in.ConsumeIntegralInRange<std::int64_t>(-1, 9000);
    Append(body, &frames, 8);
    std::vector<std::uint8_t> object;
    const bool isObject = in.ConsumeBool();
    if (isObject) {
      U32(object, 0);
      U32(object, in.ConsumeIntegralInRange<int>(0, 3) != 0 ? U(LV2_TIME__Position)
                                                            : in.ConsumeIntegral<std::uint32_t>());
      const int properties = in.ConsumeIntegralInRange<int>(0, 7);
      for (int p = 0; p < properties; ++p) {
        const std::vector<std::uint8_t> property = Property(in);
        Append(object, property.data(), property.size());
      }
    } else {
      object = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 24));
    }
    U32(body, Claimed(in, static_cast<std::uint32_t>(object.size())));
    U32(body, isObject && in.ConsumeIntegralInRange<int>(0, 3) != 0 ? U(LV2_ATOM__Object) : AtomType(in));
    Append(body, object.data(), object.size());
    Pad(body);
  }
  if (body.size() + 8 > buffer.size()) body.resize(buffer.size() - 8);
  std::vector<std::uint8_t> out;
  U32(out, static_cast<std::uint32_t>(body.size()));
  U32(out, in.ConsumeIntegralInRange<int>(0, 7) != 0 ? U(LV2_ATOM__Sequence) : AtomType(in));
  Append(out, body.data(), body.size());
  std::memcpy(buffer.data(), out.data(), out.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  static const double kRates[] = {44100, 48000, 96000, 22050, 8000, 1, 0, -44100, 2e6, NAN};
  const double rate = kRates[in.ConsumeIntegralInRange<std::size_t>(0, 9)];
  std::int32_t blockLength = in.ConsumeIntegralInRange<std::int32_t>(-1, kMaxFrames);
  LV2_Options_Option options[2] = {{LV2_OPTIONS_INSTANCE, 0, U(LV2_BUF_SIZE__maxBlockLength),
                                    sizeof(std::int32_t), U(LV2_ATOM__Int), &blockLength},
                                   {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  const LV2_Feature mapFeature{LV2_URID__map, &gMap};
  const LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
  const LV2_Feature* features[] = {&mapFeature, &optionsFeature, nullptr};
  const bool withFeatures = in.ConsumeIntegralInRange<int>(0, 7) != 0;

  const LV2_Descriptor* descriptor = PluginDescriptor(0);
  LV2_Handle h = descriptor->instantiate(descriptor, rate, "", withFeatures ? features : nullptr);
  if (h == nullptr) return 0;
  const auto* state =
      static_cast<const LV2_State_Interface*>(descriptor->extension_data(LV2_STATE__interface));

  std::vector<float> audio(4 * kMaxFrames, 0.0f);
  std::vector<float> controls(kPorts, 0.0f);
  std::vector<std::uint8_t> atoms(2048, 0);
  Sequence(in, atoms);
  for (std::uint32_t p = 0; p < 4; ++p) descriptor->connect_port(h, p, audio.data() + p * kMaxFrames);
  descriptor->connect_port(h, lv2port::kTimeInput, in.ConsumeBool() ? atoms.data() : nullptr);
  for (std::uint32_t p = lv2port::kFirstControl; p < kPorts; ++p)
    descriptor->connect_port(h, p, &controls[p]);
  descriptor->connect_port(h, 999, nullptr);

  bool active = false;
  bool sane = true;  // every input so far finite and not absurdly loud
  Chunk saved;
  for (int step = 0; step < 24 && in.remaining_bytes() > 0; ++step) {
    switch (in.ConsumeIntegralInRange<int>(0, 6)) {
      case 0:
        if (active) {
          descriptor->deactivate(h);
        } else {
          descriptor->activate(h);
        }
        active = !active;
        break;
      case 1: {
        const auto port = in.ConsumeIntegralInRange<std::uint32_t>(lv2port::kFirstControl, kPorts - 1);
        controls[port] = in.ConsumeBool() ? Special(in.ConsumeIntegral<std::uint8_t>())
                                          : in.ConsumeFloatingPointInRange<float>(-10000, 10000);
        break;
      }
      case 2:
        Sequence(in, atoms);
        break;
      case 3: {
        Chunk chunk;
        chunk.type = in.ConsumeBool() ? U(LV2_ATOM__Chunk) : AtomType(in);
        chunk.data =
            in.ConsumeBytes<std::uint8_t>(in.ConsumeBool() ? 260 : in.ConsumeIntegralInRange<int>(0, 300));
        if (in.ConsumeBool() && chunk.data.size() >= 4) {
          const float marker = -1000.0f;
          std::memcpy(chunk.data.data(), &marker, 4);
        }
        if (in.ConsumeBool() && !saved.data.empty()) chunk = saved;
        state->restore(h, Retrieve, &chunk, 0, nullptr);
        break;
      }
      case 4:
        state->save(h, Store, &saved, 0, nullptr);
        break;
      default: {
        const auto frames = in.ConsumeIntegralInRange<std::uint32_t>(0, kMaxFrames);
        const bool special = in.ConsumeIntegralInRange<int>(0, 7) == 0;
        const float level = in.ConsumeFloatingPointInRange<float>(-2, 2);
        for (std::uint32_t i = 0; i < frames; ++i) {
          audio[i] = special ? Special(static_cast<std::uint8_t>(i))
                             : level * std::sin(0.01f * static_cast<float>(i));
          audio[kMaxFrames + i] = audio[i] * 0.5f;
        }
        if (special && frames > 0) sane = false;
        t_allocations = 0;
        t_counting = true;
        descriptor->run(h, frames);
        t_counting = false;
        if (t_allocations != 0) Fail("run() allocated");
        if (sane) {
          for (std::uint32_t i = 0; i < frames; ++i) {
            if (!std::isfinite(audio[2 * kMaxFrames + i]) || !std::isfinite(audio[3 * kMaxFrames + i])) {
              Fail("non-finite output for finite input");
            }
          }
          if (!std::isfinite(controls[lv2port::kFirstMeter])) Fail("non-finite meter");
        }
        break;
      }
    }
  }
  if (active) descriptor->deactivate(h);
  descriptor->cleanup(h);
  (void)kHooked;
  return 0;
}
