// A small LV2 host over lilv for the tests: finds the bundle of the build
// tree through LV2_PATH, maps URIs, runs an instance block by block with a
// time:Position at the start when asked, and saves and restores state.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

namespace lv2test {

class UridMap {
 public:
  UridMap();
  LV2_URID Map(const std::string& uri);
  const char* Unmap(LV2_URID urid) const;  // null for an unknown id
  LV2_URID_Map map{};
  LV2_URID_Unmap unmap{};
  LV2_Feature mapFeature{};
  LV2_Feature unmapFeature{};

 private:
  std::map<std::string, LV2_URID> ids_;
  std::deque<std::string> names_;  // stable addresses for Unmap
};

// The host's transport, sent as one time:Position at a block's start.
struct Position {
  double beatsPerMinute = 120;
  double beatsPerBar = 4;
  double beatUnit = 4;
  double bar = 0;
  double barBeat = 0;
  double speed = 1;
};

// lilv with the build tree's bundle; one per process.
class World {
 public:
  static World& Get();
  LilvWorld* world = nullptr;
  const LilvPlugin* plugin = nullptr;  // ours, or null when not found
  UridMap urids;
  LilvNode* Uri(const char* uri) { return lilv_new_uri(world, uri); }

 private:
  World();
};

class Instance {
 public:
  // features false: instantiated with no host features at all, as some
  // command-line hosts do.
  explicit Instance(double sampleRate = 44100, int blockLength = 512, bool features = true);
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  // A control by port symbol, in the slider's own units.
  void Set(const std::string& symbol, float value);
  float Get(const std::string& symbol) const;
  // Leaves the time input unconnected, as a host without transport may.
  void DisconnectTimeInput();
  // Processes in-place stereo blocks; a position is sent with the first block.
  void Process(std::vector<float>& left, std::vector<float>& right, int block = 512,
               const Position* position = nullptr);

  // State through lilv: saved to a Turtle string, restored from one (with
  // the control ports' saved values too, or leaving them as they are).
  std::string SaveState();
  bool RestoreState(const std::string& turtle, bool withPorts = true);

  LilvInstance* instance = nullptr;

 private:
  std::map<std::string, std::uint32_t> portOf_;
  std::vector<float> controls_;
  std::vector<std::uint8_t> atomBuffer_;
  bool timeConnected_ = true;
  void ForgePosition(const Position* position);
};

}  // namespace lv2test
