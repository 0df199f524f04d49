// One LV2 plug-in instance for vornhost, through lilv: found by URI or
// bundle folder, instantiated with the features vornhost offers (urid:map,
// urid:unmap, options with the block length), its ports connected to
// buffers of the host's, controls set by symbol or name in their own units,
// and the transport sent as a time:Position with every block.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include "host/host_callback.h"

namespace vornhost {

// True when `reference` names an LV2 plug-in rather than a VST binary: a
// folder (a bundle) or a URI such as "urn:…" or "http://…".
bool IsLv2Reference(const std::string& reference);

struct Lv2Control {
  std::uint32_t index = 0;
  std::string symbol, name, unit;  // unit: the units: term ("ms", "db"), or empty
  float minimum = 0, maximum = 1, defaultValue = 0;
  bool toggled = false, integer = false, enumeration = false;
  std::vector<std::pair<float, std::string>> scalePoints;
};

class Lv2PluginHost {
 public:
  // Loads every installed bundle (LV2_PATH or the default folders) plus the
  // named bundle folder, and picks the plug-in. Throws HostError when it is
  // not found or has audio ports vornhost cannot feed.
  explicit Lv2PluginHost(const std::string& reference);
  ~Lv2PluginHost();
  Lv2PluginHost(const Lv2PluginHost&) = delete;
  Lv2PluginHost& operator=(const Lv2PluginHost&) = delete;

  // Identity and ports, without an instance.
  std::string Uri() const;
  std::string Name() const;
  std::string Author() const;
  std::string BundlePath() const;
  std::vector<std::string> RequiredFeatures() const;
  std::vector<std::string> Uis() const;
  bool HasLatency() const;
  int numInputs() const { return static_cast<int>(audioIn_.size()); }
  int numOutputs() const { return static_cast<int>(audioOut_.size()); }
  // The settings; a control designated lv2:enabled is the host's bypass
  // switch instead, kept on (its index, or -1 when there is none).
  const std::vector<Lv2Control>& controls() const { return controls_; }
  long long BypassPort() const { return bypassPort_; }

  // Instantiates and activates (or only instantiates, for the checks of
  // hosts that run first); throws HostError when the plug-in refuses.
  void Start(double sampleRate, int maxBlock, bool activate = true);
  void Stop();  // deactivates and frees; also done by the destructor

  // NAME=VALUE (symbol or name, value in the control's units); throws
  // HostError for an unknown control or a value that is not a number.
  void Assign(const std::string& assignment);
  void SetTransport(const Transport& transport) { transport_ = transport; }

  // The plug-in's presets (pset:Preset): label and URI, sorted by label.
  std::vector<std::pair<std::string, std::string>> Presets() const;
  // [instantiation] Applies a preset named by label (without regard to
  // case) or URI, as hosts do with lilv_state_restore: the state and the
  // port values. Needs a started instance; throws HostError listing the
  // presets when none matches.
  void ApplyPreset(const std::string& preset);

  // [audio] numInputs / numOutputs channel pointers of frames (≤ maxBlock).
  // samplePos: the block's first frame, for the time:Position.
  void Process(const float* const* in, float* const* out, int frames, double samplePos);

  std::uint32_t Map(const char* uri);  // the host's urid:map
  LV2_URID_Map* UridMap() { return &map_; }

  // For the checks: the running instance (null before Start), the atom
  // input ports, and the plug-in's description and UI binary.
  LilvInstance* Instance() const { return instance_; }
  const std::vector<std::uint32_t>& AtomInputs() const { return atomIn_; }
  const LilvPlugin* Plugin() const { return plugin_; }
  LilvWorld* World() const { return world_; }
  void SetControl(const char* symbol, float value);  // by symbol; unknown ones are ignored

 private:
  void LoadControls();
  void ForgeInputs(double samplePos);

  struct WorldDeleter {
    void operator()(LilvWorld* world) const { lilv_world_free(world); }
  };
  std::unique_ptr<LilvWorld, WorldDeleter> ownedWorld_;  // freed also when the constructor throws
  LilvWorld* world_;
  const LilvPlugin* plugin_ = nullptr;
  LilvInstance* instance_ = nullptr;
  bool active_ = false;
  double sampleRate_ = 44100;
  Transport transport_;
  // URIs; deque keeps the strings in place for unmap.
  std::map<std::string, LV2_URID, std::less<>> ids_;  // found by string_view: no allocation
  std::deque<std::string> names_;
  LV2_URID_Map map_{};
  LV2_URID_Unmap unmap_{};
  std::int32_t blockLength_ = 0;
  std::vector<LV2_Options_Option> options_;

  std::vector<std::uint32_t> audioIn_, audioOut_, atomIn_, atomOut_, timeIn_, otherOut_;
  std::vector<Lv2Control> controls_;
  long long bypassPort_ = -1;
  float bypassValue_ = 1.0f;                            // enabled
  std::vector<float> controlValues_;                    // per port index
  std::vector<std::vector<std::uint8_t>> atomBuffers_;  // per atom port, in atomIn_ then atomOut_ order
  std::vector<std::vector<float>> scratch_;             // for CV and unconnected audio ports
};

}  // namespace vornhost
