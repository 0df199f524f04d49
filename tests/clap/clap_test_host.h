// A small CLAP host for the adapter's tests: it drives the plug-in through
// clap_entry and the records alone, as any host would, and records what the
// plug-in tells it (log lines, flush requests, preset-load answers, events
// it pushes). Threads: the thread that builds the host is its main thread;
// the test says which thread is the audio thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "formats/clap/abi/audio_ports.h"
#include "formats/clap/abi/core.h"
#include "formats/clap/abi/log.h"
#include "formats/clap/abi/params.h"
#include "formats/clap/abi/preset_discovery.h"
#include "formats/clap/abi/preset_load.h"
#include "formats/clap/abi/render.h"
#include "formats/clap/abi/state.h"
#include "formats/clap/abi/tail.h"
#include "formats/clap/abi/thread_check.h"

// Events the host hands to process or flush, kept in time order by the test.
class ClapEventList {
 public:
  ClapEventList();
  void Value(std::uint32_t time, clap_id id, double value);
  void Add(const void* event, std::uint32_t size);  // any bytes, as the host would pass them
  const clap_input_events_t* Input() const { return &input_; }
  std::size_t Count() const { return events_.size(); }
  void Clear() { events_.clear(); }

 private:
  static uint32_t CLAP_ABI Size(const clap_input_events_t* list);
  static const clap_event_header_t* CLAP_ABI Get(const clap_input_events_t* list, uint32_t index);
  std::vector<std::vector<std::uint64_t>> events_;  // 8-aligned storage
  clap_input_events_t input_;
};

// What the plug-in pushes.
class ClapOutputList {
 public:
  ClapOutputList();
  const clap_output_events_t* Output() const { return &output_; }
  struct Pushed {
    std::uint16_t type;
    clap_id id;
    double value;
  };
  std::vector<Pushed> pushed;

 private:
  static bool CLAP_ABI TryPush(const clap_output_events_t* list, const clap_event_header_t* event);
  clap_output_events_t output_;
};

// Streams that move at most `step` bytes per call.
struct ClapMemoryOut {
  explicit ClapMemoryOut(std::uint64_t step = ~0ull);
  std::vector<std::uint8_t> bytes;
  std::uint64_t step;
  clap_ostream_t stream;
  int failAfter = -1;  // calls before it answers -1 (-1: never)
};

struct ClapMemoryIn {
  ClapMemoryIn(std::vector<std::uint8_t> data, std::uint64_t step = ~0ull);
  std::vector<std::uint8_t> bytes;
  std::uint64_t step;
  std::size_t at = 0;
  clap_istream_t stream;
};

class ClapTestHost {
 public:
  ClapTestHost();
  const clap_host_t* Host() const { return &host_; }

  bool offerThreadCheck = true;
  std::atomic<std::thread::id> audioThread{};
  std::thread::id mainThread = std::this_thread::get_id();
  std::vector<std::string> log;
  std::atomic<int> flushRequests{0};
  std::atomic<int> callbackRequests{0};
  int tailChanges = 0;
  std::vector<std::string> presetsLoaded;
  std::vector<std::string> presetErrors;

 private:
  static const void* CLAP_ABI GetExtension(const clap_host_t* host, const char* id);
  static ClapTestHost* Of(const clap_host_t* host) { return static_cast<ClapTestHost*>(host->host_data); }
  clap_host_t host_;
};

// One plug-in instance from the module's entry, its extensions looked up.
class ClapInstance {
 public:
  explicit ClapInstance(ClapTestHost& host);
  ~ClapInstance();
  ClapInstance(const ClapInstance&) = delete;
  ClapInstance& operator=(const ClapInstance&) = delete;

  bool Activate(double rate = 44100, std::uint32_t maxFrames = 4096);
  void Deactivate();
  // In-place stereo blocks of `block` frames; `events` go with the first.
  clap_process_status Process(std::vector<float>& left, std::vector<float>& right, std::uint32_t block = 512,
                              const ClapEventList* events = nullptr, ClapOutputList* out = nullptr);
  clap_process_status ProcessBlock(float* left, float* right, std::uint32_t frames,
                                   const ClapEventList* events, ClapOutputList* out = nullptr,
                                   const clap_event_transport_t* transport = nullptr);
  std::vector<std::uint8_t> Save(std::uint64_t step = ~0ull);
  bool Load(const std::vector<std::uint8_t>& bytes, std::uint64_t step = ~0ull);
  double Value(clap_id id);

  ClapTestHost& host;
  const clap_plugin_factory_t* factory = nullptr;
  const clap_plugin_t* plugin = nullptr;
  const clap_plugin_params_t* params = nullptr;
  const clap_plugin_state_t* state = nullptr;
  const clap_plugin_audio_ports_t* ports = nullptr;
  const clap_plugin_tail_t* tail = nullptr;
  const clap_plugin_render_t* render = nullptr;
  const clap_plugin_preset_load_t* presetLoad = nullptr;
  bool active = false;
  bool processing = false;
  clap_event_transport_t transport{};
};

std::vector<float> TestSignal(std::size_t frames, std::uint32_t seed);
