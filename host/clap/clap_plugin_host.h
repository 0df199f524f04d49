// One CLAP plug-in for vornhost: the module loaded and its entry
// initialised, one plug-in of its factory created against vornhost's host,
// its ports and parameters read, and processing driven block by block with
// parameter events at their frames. The main thread is the one that made
// it; Process runs on whichever thread the caller makes the audio thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/clap/clap_abi.h"
#include "host/clap/clap_host_services.h"

namespace vornhost {

// True when reference names a CLAP plug-in: a path ending in ".clap".
bool IsClapReference(const std::string& reference);

// A loaded .clap file with its entry initialised once; deinitialised and
// unloaded with the last reference.
class ClapModule {
 public:
  // Throws HostError when the file cannot be loaded, has no clap_entry, an
  // incompatible version, or its init answers false.
  static std::shared_ptr<ClapModule> Load(const std::string& path);
  // Loads without calling init (the validator's entry check).
  static std::shared_ptr<ClapModule> LoadOnly(const std::string& path);
  ~ClapModule();
  ClapModule(const ClapModule&) = delete;
  ClapModule& operator=(const ClapModule&) = delete;

  const clap_plugin_entry_t* entry() const { return entry_; }
  const clap_plugin_factory_t* factory() const;
  const std::string& path() const { return path_; }
  // The descriptors of its factory, in order.
  std::vector<const clap_plugin_descriptor_t*> Descriptors() const;
  // The descriptor whose id is pluginId, or the first when it is empty.
  // Throws HostError listing the ids when none matches.
  const clap_plugin_descriptor_t* Choose(const std::string& pluginId) const;

 private:
  ClapModule(void* handle, const clap_plugin_entry_t* entry, std::string path, bool initialised);
  void* handle_;
  const clap_plugin_entry_t* entry_;
  std::string path_;
  bool initialised_;
};

struct ClapParam {
  clap_id id = 0;
  std::uint32_t flags = 0;
  void* cookie = nullptr;
  std::string name, module;
  double minimum = 0, maximum = 1, defaultValue = 0;
};

struct ClapPort {
  std::string name;
  std::uint32_t channels = 0, flags = 0;
  std::string type;
};

struct ClapPreset {
  std::string name, loadKey, location;
  std::uint32_t locationKind = 0;
};

// A timed parameter change for Process.
struct ClapParamEvent {
  std::uint64_t frame = 0;  // from the start of processing
  clap_id id = 0;
  double value = 0;
};

class ClapPluginHost {
 public:
  ClapPluginHost(std::shared_ptr<ClapModule> module, const std::string& pluginId, bool offerGui = false);
  ~ClapPluginHost();  // stops, deactivates and destroys
  ClapPluginHost(const ClapPluginHost&) = delete;
  ClapPluginHost& operator=(const ClapPluginHost&) = delete;

  const clap_plugin_t* plugin() const { return plugin_; }
  const clap_plugin_descriptor_t* descriptor() const { return descriptor_; }
  ClapHostServices& services() { return services_; }
  ClapModule& module() { return *module_; }
  const void* Extension(const char* id) const;

  const std::vector<ClapPort>& inputs() const { return inputs_; }
  const std::vector<ClapPort>& outputs() const { return outputs_; }
  // Channels of the main (first) ports; 0 without.
  int numInputs() const { return inputs_.empty() ? 0 : static_cast<int>(inputs_[0].channels); }
  int numOutputs() const { return outputs_.empty() ? 0 : static_cast<int>(outputs_[0].channels); }
  bool CanDouble() const;
  const std::vector<ClapParam>& params() const { return params_; }
  // Null when there is no parameter of that id.
  const ClapParam* Param(clap_id id) const;
  double Value(clap_id id) const;  // get_value, NaN when it answers false
  std::string Text(clap_id id, double value) const;
  // NAME=VALUE (name with or without its " [unit]", or the id) with VALUE
  // in the plug-in's terms (text_to_value, else a number in the
  // parameter's range). Throws HostError when it does not resolve.
  ClapParamEvent Resolve(const std::string& assignment) const;
  // The parameter a name or id names; throws HostError when none does.
  const ClapParam& Find(const std::string& nameOrId) const;

  std::uint32_t Latency() const;
  std::uint32_t Tail() const;  // 0 without the extension

  // [main] Activates (and, on the audio thread at the first Process,
  // starts processing).
  void Activate(double sampleRate, std::uint32_t maxBlock, std::uint32_t minBlock = 1);
  void Deactivate();  // stops processing first, on the calling thread
  bool active() const { return active_; }
  double sampleRate() const { return sampleRate_; }

  // [audio] Processes frames (≤ maxBlock): in/out hold numInputs/numOutputs
  // channel pointers of floats (or doubles with data64). Events due before
  // position + frames are delivered at their frames. Answers the status.
  clap_process_status Process(const float* const* in, float* const* out, std::uint32_t frames);
  clap_process_status Process64(const double* const* in, double* const* out, std::uint32_t frames);
  void StopProcessing();  // [audio]
  // Queues events (sorted here) for the frames to come.
  void Schedule(std::vector<ClapParamEvent> events);
  void SetTransport(double tempo, int numerator, int denominator, bool playing);
  std::uint64_t position() const { return position_; }
  // [main or audio as CLAP says] Hands queued events due now to flush.
  void Flush(const std::vector<ClapParamEvent>& events);

  // State through a stream that moves at most chunk bytes a call.
  bool SaveState(std::vector<std::uint8_t>& out, std::size_t chunk = SIZE_MAX) const;
  bool LoadState(const std::vector<std::uint8_t>& in, std::size_t chunk = SIZE_MAX);
  bool HasState() const;

  // Presets through the module's preset-discovery factory.
  std::vector<ClapPreset> Presets() const;
  // Loads a preset named (case-insensitive) through preset-load; throws
  // HostError listing the presets when none matches or it fails.
  void ApplyPreset(const std::string& name);

 private:
  clap_process_status Run(const clap_audio_buffer_t* in, clap_audio_buffer_t* out, std::uint32_t frames);
  void ReadPorts();
  void ReadParams();

  std::shared_ptr<ClapModule> module_;
  ClapHostServices services_;
  const clap_plugin_descriptor_t* descriptor_ = nullptr;
  const clap_plugin_t* plugin_ = nullptr;
  std::vector<ClapPort> inputs_, outputs_;
  std::vector<ClapParam> params_;
  bool active_ = false, processing_ = false;
  double sampleRate_ = 44100;
  std::uint32_t maxBlock_ = 0;
  std::uint64_t position_ = 0;
  clap_event_transport_t transport_{};
  std::vector<ClapParamEvent> queue_;            // sorted by frame
  std::size_t next_ = 0;                         // first event of queue_ not yet delivered
  std::vector<clap_event_param_value_t> block_;  // the events of the block being processed
  // Ports after the main ones (side chains, extra outputs) get silence and
  // scratch space of the host's own.
  std::vector<clap_audio_buffer_t> inBuffers_, outBuffers_;
  std::vector<std::vector<float>> scratch32_;
  std::vector<std::vector<double>> scratch64_;
  std::vector<float*> scratchPtr32_;
  std::vector<double*> scratchPtr64_;
};

}  // namespace vornhost
