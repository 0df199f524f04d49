// The CLAP plug-in through clap_entry and its records, as a careless host
// drives it: activate, deactivate, start and stop in any order; process
// calls of 0 … 8192 frames with parameter, modulation, gesture, transport
// and unknown events of any value, time and order (sizes that may be too
// small for what the type claims); flush; state loads of any bytes through
// streams that move any number of bytes per read (or fail); saves; preset
// loads by any key; parameter texts both ways; the GUI's edit ring.
// Findings: a crash, a read outside a buffer, a non-finite output for
// finite input, an allocation inside process, a saved state that does not
// load back to itself.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "effect/factory_presets.h"
#include "formats/clap/abi/params.h"
#include "formats/clap/abi/preset_discovery.h"
#include "formats/clap/abi/preset_load.h"
#include "formats/clap/abi/state.h"
#include "formats/clap/clap_descriptor.h"
#include "formats/clap/clap_plugin.h"

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             std::size_t),
                                                         void (*free_hook)(const volatile void*));
extern "C" const clap_plugin_entry_t clap_entry;

namespace {

thread_local bool t_counting = false;
thread_local std::uint64_t t_allocations = 0;
void MallocHook(const volatile void*, std::size_t) {
  if (t_counting) ++t_allocations;
}
void FreeHook(const volatile void*) {}
const int kHooked = __sanitizer_install_malloc_and_free_hooks(MallocHook, FreeHook);

constexpr std::uint32_t kMaxFrames = 8192;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "clap fuzz: %s\n", what);
  std::abort();
}

double Special(std::uint8_t pick) {
  static const double kValues[] = {std::numeric_limits<double>::quiet_NaN(),
                                   std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(),
                                   1e300,
                                   -1e300,
                                   std::numeric_limits<double>::denorm_min(),
                                   -0.0,
                                   0.5};
  return kValues[pick % 8];
}

double AnyValue(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return Special(in.ConsumeIntegral<std::uint8_t>());
    case 1:
      return in.ConsumeFloatingPoint<double>();
    default:
      return in.ConsumeFloatingPointInRange<double>(-50.0, 4100.0);
  }
}

// The host's event list: each event in storage of its own, as large as the
// bytes it claims (a host's list is valid for the sizes it gives).
class Events {
 public:
  Events() : input_{this, Size, Get} {}
  void Fill(FuzzedDataProvider& in, std::uint32_t frames) {
    storage_.clear();
    const int count = in.ConsumeIntegralInRange<int>(0, 8);
    for (int k = 0; k < count; ++k) {
      alignas(8) std::uint8_t bytes[sizeof(clap_event_transport_t)] = {};
      auto* header = reinterpret_cast<clap_event_header_t*>(bytes);
      const int kind = in.ConsumeIntegralInRange<int>(0, 6);
      std::uint32_t size = sizeof(clap_event_param_value_t);
      header->type = CLAP_EVENT_PARAM_VALUE;
      if (kind == 1) header->type = CLAP_EVENT_PARAM_MOD;
      if (kind == 2) {
        header->type = in.ConsumeBool() ? CLAP_EVENT_PARAM_GESTURE_BEGIN : CLAP_EVENT_PARAM_GESTURE_END;
        size = sizeof(clap_event_param_gesture_t);
      }
      if (kind == 3) {
        header->type = CLAP_EVENT_TRANSPORT;
        size = sizeof(clap_event_transport_t);
        auto* t = reinterpret_cast<clap_event_transport_t*>(bytes);
        t->flags = in.ConsumeIntegral<std::uint32_t>();
        t->tempo = AnyValue(in);
        t->song_pos_beats = in.ConsumeIntegral<std::int64_t>();
        t->bar_start = in.ConsumeIntegral<std::int64_t>();
        t->tsig_num = in.ConsumeIntegral<std::uint16_t>();
        t->tsig_denom = in.ConsumeIntegral<std::uint16_t>();
      }
      if (kind == 4) header->type = in.ConsumeIntegral<std::uint16_t>();
      if (kind <= 1 || kind >= 4) {
        auto* v = reinterpret_cast<clap_event_param_value_t*>(bytes);
        v->param_id =
            in.ConsumeBool() ? in.ConsumeIntegralInRange<clap_id>(0, 11) : in.ConsumeIntegral<clap_id>();
        v->value = AnyValue(in);
        v->note_id = -1;
        v->port_index = v->channel = v->key = -1;
      } else if (kind == 2) {
        reinterpret_cast<clap_event_param_gesture_t*>(bytes)->param_id =
            in.ConsumeIntegralInRange<clap_id>(0, 11);
      }
      // A size that lies downwards, or a foreign space.
      if (in.ConsumeIntegralInRange<int>(0, 7) == 0) size = in.ConsumeIntegralInRange<std::uint32_t>(0, size);
      header->size = size;
      header->space_id = in.ConsumeIntegralInRange<int>(0, 7) == 0 ? in.ConsumeIntegral<std::uint16_t>() : 0;
      header->time = in.ConsumeIntegralInRange<int>(0, 5) == 0
                         ? in.ConsumeIntegral<std::uint32_t>()
                         : in.ConsumeIntegralInRange<std::uint32_t>(0, frames);
      header->flags = 0;
      std::vector<std::uint64_t> event((std::max<std::uint32_t>(size, sizeof(clap_event_header_t)) + 7) / 8);
      std::memcpy(event.data(), bytes, std::min<std::size_t>(event.size() * 8, sizeof bytes));
      storage_.push_back(std::move(event));
    }
  }
  const clap_input_events_t* Input() const { return &input_; }

 private:
  static uint32_t CLAP_ABI Size(const clap_input_events_t* list) {
    return static_cast<uint32_t>(static_cast<const Events*>(list->ctx)->storage_.size());
  }
  static const clap_event_header_t* CLAP_ABI Get(const clap_input_events_t* list, uint32_t index) {
    const auto& s = static_cast<const Events*>(list->ctx)->storage_;
    return index < s.size() ? reinterpret_cast<const clap_event_header_t*>(s[index].data()) : nullptr;
  }
  std::vector<std::vector<std::uint64_t>> storage_;
  clap_input_events_t input_;
};

bool CLAP_ABI Discard(const clap_output_events_t*, const clap_event_header_t*) {
  return true;
}
const clap_output_events_t kOut{nullptr, Discard};

struct Reader {
  const std::vector<std::uint8_t>* bytes;
  std::size_t at = 0;
  std::uint64_t step = 1;
  int failAt = -1;  // read call that answers -1
  int calls = 0;
};

int64_t CLAP_ABI Read(const clap_istream_t* stream, void* buffer, uint64_t size) {
  auto* r = static_cast<Reader*>(stream->ctx);
  if (r->calls++ == r->failAt) return -1;
  const uint64_t n = std::min<uint64_t>({size, r->step, r->bytes->size() - r->at});
  if (n > 0) std::memcpy(buffer, r->bytes->data() + r->at, n);
  r->at += n;
  return static_cast<int64_t>(n);
}

struct Writer {
  std::vector<std::uint8_t> bytes;
  std::uint64_t step = ~0ull;
};

int64_t CLAP_ABI Write(const clap_ostream_t* stream, const void* buffer, uint64_t size) {
  auto* w = static_cast<Writer*>(stream->ctx);
  const uint64_t n = std::min(size, w->step);
  const auto* b = static_cast<const std::uint8_t*>(buffer);
  w->bytes.insert(w->bytes.end(), b, b + n);
  return static_cast<int64_t>(n);
}

std::vector<std::uint8_t> Save(const clap_plugin_t* plugin, const clap_plugin_state_t* state,
                               std::uint64_t step) {
  Writer w;
  w.step = step;
  const clap_ostream_t out{&w, Write};
  if (!state->save(plugin, &out)) Fail("save failed");
  return w.bytes;
}

const void* CLAP_ABI HostExtension(const clap_host_t*, const char*) {
  return nullptr;
}
void CLAP_ABI HostRequest(const clap_host_t*) {}
const clap_host_t kHost{CLAP_VERSION, nullptr,       "fuzz",      "",          "",
                        "",           HostExtension, HostRequest, HostRequest, HostRequest};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)kHooked;
  FuzzedDataProvider in(data, size);
  clap_entry.init("");
  const auto* factory =
      static_cast<const clap_plugin_factory_t*>(clap_entry.get_factory(CLAP_PLUGIN_FACTORY_ID));
  const clap_plugin_t* plugin = factory->create_plugin(factory, &kHost, clapplugin::kPluginId);
  if (plugin == nullptr || !plugin->init(plugin)) Fail("no plug-in");
  const auto* params =
      static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
  const auto* state = static_cast<const clap_plugin_state_t*>(plugin->get_extension(plugin, CLAP_EXT_STATE));
  const auto* presetLoad =
      static_cast<const clap_plugin_preset_load_t*>(plugin->get_extension(plugin, CLAP_EXT_PRESET_LOAD));

  static std::vector<float> audio(4 * kMaxFrames);
  Events events;
  bool active = false;
  bool processing = false;
  bool sane = true;
  std::vector<std::uint8_t> saved;
  const int steps = in.ConsumeIntegralInRange<int>(1, 48);
  for (int step = 0; step < steps && in.remaining_bytes() > 0; ++step) {
    switch (in.ConsumeIntegralInRange<int>(0, 10)) {
      case 0: {
        static const double kRates[] = {44100, 48000, 96000, 8000, 192000, 1, 0, -44100, 1e9, 22050};
        const double rate = kRates[in.ConsumeIntegralInRange<int>(0, 9)];
        const bool ok =
            plugin->activate(plugin, rate, in.ConsumeIntegralInRange<std::uint32_t>(0, kMaxFrames),
                             in.ConsumeIntegralInRange<std::uint32_t>(0, kMaxFrames));
        active = active || ok;
        break;
      }
      case 1:
        if (processing) plugin->stop_processing(plugin);
        processing = false;
        plugin->deactivate(plugin);
        active = false;
        break;
      case 2:
        if (in.ConsumeBool()) {
          processing = plugin->start_processing(plugin) || processing;
        } else {
          plugin->stop_processing(plugin);
          processing = false;
        }
        break;
      case 3:
      case 4: {
        const auto frames = in.ConsumeIntegralInRange<std::uint32_t>(0, kMaxFrames);
        const bool special = in.ConsumeIntegralInRange<int>(0, 15) == 0;
        if (special) sane = false;
        for (std::uint32_t c = 0; c < 2; ++c) {
          for (std::uint32_t i = 0; i < frames; ++i) {
            audio[c * kMaxFrames + i] = special && i % 97 == 0
                                            ? static_cast<float>(Special(in.ConsumeIntegral<std::uint8_t>()))
                                            : static_cast<float>(std::sin(0.01 * i + step + c));
          }
        }
        const bool inPlace = in.ConsumeBool();
        float* inputs[2] = {audio.data(), audio.data() + kMaxFrames};
        float* outputs[2] = {inPlace ? inputs[0] : audio.data() + 2 * kMaxFrames,
                             inPlace ? inputs[1] : audio.data() + 3 * kMaxFrames};
        if (!inPlace)
          std::copy(audio.begin(), audio.begin() + 2 * kMaxFrames, audio.begin() + 2 * kMaxFrames);
        clap_audio_buffer_t inBuffer{inputs, nullptr, 2, 0, 0};
        clap_audio_buffer_t outBuffer{outputs, nullptr, 2, 0, 0};
        clap_event_transport_t transport{};
        transport.header = {sizeof(transport), 0, 0, CLAP_EVENT_TRANSPORT, 0};
        transport.flags = in.ConsumeIntegral<std::uint32_t>();
        transport.tempo = AnyValue(in);
        transport.song_pos_beats = in.ConsumeIntegral<std::int64_t>();
        transport.tsig_num = in.ConsumeIntegral<std::uint16_t>();
        transport.tsig_denom = in.ConsumeIntegral<std::uint16_t>();
        events.Fill(in, frames);
        clap_process_t process{};
        process.frames_count = frames;
        process.transport = in.ConsumeBool() ? &transport : nullptr;
        process.audio_inputs = in.ConsumeIntegralInRange<int>(0, 7) != 0 ? &inBuffer : nullptr;
        process.audio_inputs_count = process.audio_inputs != nullptr ? 1 : 0;
        process.audio_outputs = &outBuffer;
        process.audio_outputs_count = 1;
        process.in_events = events.Input();
        process.out_events = &kOut;
        t_allocations = 0;
        t_counting = true;
        const clap_process_status status = plugin->process(plugin, &process);
        t_counting = false;
        if (active && t_allocations != 0) Fail("process allocated");
        if (!active && status != CLAP_PROCESS_ERROR) Fail("process while inactive did not refuse");
        if (active && sane) {
          for (std::uint32_t i = 0; i < frames; ++i) {
            if (!std::isfinite(outputs[0][i]) || !std::isfinite(outputs[1][i]))
              Fail("non-finite output for finite input");
          }
        }
        break;
      }
      case 5: {
        events.Fill(in, 0);
        params->flush(plugin, events.Input(), &kOut);
        break;
      }
      case 6: {
        std::vector<std::uint8_t> bytes;
        switch (in.ConsumeIntegralInRange<int>(0, 3)) {
          case 0:
            bytes = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 300));
            break;
          case 1:
            bytes = saved;
            break;
          default: {
            const auto& all = presets::FactoryPresets();
            bytes = presets::PresetChunk(all[in.ConsumeIntegralInRange<std::size_t>(0, all.size() - 1)]);
            // A few damaged values: any float, marker kept.
            const int damage = in.ConsumeIntegralInRange<int>(0, 4);
            for (int d = 0; d < damage && bytes.size() == 260; ++d) {
              const auto at = in.ConsumeIntegralInRange<std::size_t>(4, 259);
              bytes[at] = in.ConsumeIntegral<std::uint8_t>();
            }
          }
        }
        Reader r{&bytes};
        r.step = in.ConsumeIntegralInRange<std::uint64_t>(1, 300);
        r.failAt = in.ConsumeIntegralInRange<int>(0, 7) == 0 ? in.ConsumeIntegralInRange<int>(0, 300) : -1;
        const clap_istream_t stream{&r, Read};
        const std::vector<std::uint8_t> before = Save(plugin, state, ~0ull);
        if (!state->load(plugin, &stream) && Save(plugin, state, ~0ull) != before)
          Fail("a refused load changed the state");
        break;
      }
      case 7: {
        // The round trip: what a save gives loads back to the same state.
        saved = Save(plugin, state, in.ConsumeIntegralInRange<std::uint64_t>(1, 300));
        if (saved.size() != ClapPlugin::kChunkBytes) Fail("a saved state is not one chunk");
        Reader r{&saved};
        r.step = in.ConsumeIntegralInRange<std::uint64_t>(1, 300);
        const clap_istream_t stream{&r, Read};
        if (!state->load(plugin, &stream)) Fail("a saved state does not load");
        if (Save(plugin, state, ~0ull) != saved) Fail("a saved state loads back to another");
        break;
      }
      case 8: {
        const std::string key =
            in.ConsumeBool() ? presets::PresetSymbol(
                                   presets::FactoryPresets()[in.ConsumeIntegralInRange<std::size_t>(0, 11)])
                             : in.ConsumeRandomLengthString(32);
        presetLoad->from_location(plugin, in.ConsumeIntegralInRange<std::uint32_t>(0, 2), nullptr,
                                  in.ConsumeBool() ? key.c_str() : nullptr);
        break;
      }
      case 9: {
        const clap_id id = in.ConsumeIntegralInRange<clap_id>(0, 12);
        char text[64];
        const std::uint32_t capacity = in.ConsumeIntegralInRange<std::uint32_t>(0, sizeof text);
        params->value_to_text(plugin, id, AnyValue(in), capacity > 0 ? text : nullptr, capacity);
        const std::string typed = in.ConsumeRandomLengthString(24);
        double value = 0;
        if (params->text_to_value(plugin, id, typed.c_str(), &value) && !std::isfinite(value))
          Fail("a text gave a value that is not finite");
        params->get_value(plugin, id, &value);
        break;
      }
      default: {
        auto* object = ClapPlugin::Of(plugin);
        object->PushUiEdit({static_cast<ClapUiEdit::Kind>(in.ConsumeIntegralInRange<int>(0, 2)),
                            in.ConsumeIntegralInRange<clap_id>(0, 12), AnyValue(in)});
        if (in.ConsumeBool()) plugin->reset(plugin);
        break;
      }
    }
  }
  if (processing) plugin->stop_processing(plugin);
  plugin->destroy(plugin);
  clap_entry.deinit();
  return 0;
}
