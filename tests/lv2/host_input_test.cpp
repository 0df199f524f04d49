// What a host hands the plug-in, read within its bounds: atom sequences
// whose sizes lie, against an unreadable page; a position without a tempo;
// a state that is not ours; run() before activate(); the meter output.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>

#include "host/alloc_counter.h"
#include "tests/lv2/lilv_host.h"

namespace {

using lv2test::Instance;
using lv2test::World;

// Two pages, the second unreadable: an atom placed to end at the first
// page's end faults on any read past its claimed size.
class GuardedBuffer {
 public:
  GuardedBuffer() {
    page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    void* map = mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    base_ = map == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(map);
    if (base_ != nullptr) mprotect(base_ + page_, page_, PROT_NONE);
  }
  ~GuardedBuffer() {
    if (base_ != nullptr) munmap(base_, 2 * page_);
  }
  // Copies `bytes` so they end at the guard; answers where they start.
  std::uint8_t* Place(const std::vector<std::uint8_t>& bytes) {
    std::uint8_t* at = base_ + page_ - bytes.size();
    std::memcpy(at, bytes.data(), bytes.size());
    return at;
  }
  bool ok() const { return base_ != nullptr; }

 private:
  std::size_t page_ = 0;
  std::uint8_t* base_ = nullptr;
};

// Little builder of raw atoms, sizes as the caller claims them.
struct Bytes {
  std::vector<std::uint8_t> data;
  void U32(std::uint32_t v) { Append(&v, 4); }
  void I64(std::int64_t v) { Append(&v, 8); }
  void F32(float v) { Append(&v, 4); }
  void Append(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    data.insert(data.end(), b, b + n);
  }
};

LV2_URID Map(const char* uri) {
  return World::Get().urids.Map(uri);
}

std::vector<float> Silence(Instance& lv2, std::size_t frames = 512) {
  std::vector<float> left(frames, 0.0f), right(frames, 0.0f);
  lv2.Process(left, right);
  return left;
}

std::vector<float> Impulse(Instance& lv2, std::size_t frames = 44100) {
  std::vector<float> left(frames, 0.0f), right(frames, 0.0f);
  left[0] = 1.0f;
  lv2.Process(left, right);
  left.insert(left.end(), right.begin(), right.end());
  return left;
}

// A sequence header claiming `size` bytes of body.
Bytes Sequence(std::uint32_t size, std::uint32_t type = Map(LV2_ATOM__Sequence)) {
  Bytes b;
  b.U32(size);
  b.U32(type);
  b.U32(0);  // unit
  b.U32(0);  // pad
  return b;
}

TEST(Lv2HostInput, AtomsWhoseSizesLieAreReadOnlyWithinTheirContainer) {
  GuardedBuffer guard;
  ASSERT_TRUE(guard.ok());
  const std::uint32_t object = Map(LV2_ATOM__Object), position = Map(LV2_TIME__Position);
  std::vector<Bytes> cases;
  {  // an event whose body claims far more than the sequence holds
    Bytes b = Sequence(8 + 16 + 8);
    b.I64(0);
    b.U32(0x7fffff00u);
    b.U32(object);
    b.U32(0);
    b.U32(position);
    cases.push_back(b);
  }
  {  // an event header cut off by the sequence's end
    Bytes b = Sequence(8 + 12);
    b.I64(0);
    b.U32(8);
    cases.push_back(b);
  }
  {  // a property whose value claims more than its object
    Bytes b = Sequence(8 + 16 + 8 + 16);
    b.I64(0);
    b.U32(8 + 16);
    b.U32(object);
    b.U32(0);
    b.U32(position);
    b.U32(Map(LV2_TIME__beatsPerMinute));
    b.U32(0);
    b.U32(0x40000000u);
    b.U32(Map(LV2_ATOM__Float));
    cases.push_back(b);
  }
  {  // not a sequence at all, with a size far beyond its buffer
    Bytes b = Sequence(0x10000000u, Map(LV2_ATOM__Chunk));
    cases.push_back(b);
  }
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    Instance lv2;
    ASSERT_NE(lv2.instance, nullptr);
    lilv_instance_connect_port(lv2.instance, 4, guard.Place(cases[i].data));
    lv2.Set("tempo_delay", 1);
    const std::vector<float> out = Impulse(lv2, 4096);
    for (float x : out) ASSERT_TRUE(std::isfinite(x));
  }
}

// A position object with the given properties (key, float value).
std::vector<std::uint8_t> PositionSequence(const std::vector<std::pair<const char*, float>>& properties) {
  Bytes body;
  body.U32(0);  // id
  body.U32(Map(LV2_TIME__Position));
  for (const auto& [key, value] : properties) {
    body.U32(Map(key));
    body.U32(0);
    body.U32(4);
    body.U32(Map(LV2_ATOM__Float));
    body.F32(value);
    body.U32(0);  // pad to 8
  }
  Bytes b = Sequence(static_cast<std::uint32_t>(8 + 16 + body.data.size()));
  b.I64(0);
  b.U32(static_cast<std::uint32_t>(body.data.size()));
  b.U32(Map(LV2_ATOM__Object));
  b.Append(body.data.data(), body.data.size());
  return b.data;
}

TEST(Lv2HostInput, APositionWithoutATempoKeepsTheLastTempo) {
  // Tempo sync on; the transport rolls but never says how fast.
  const auto render = [](const std::vector<std::vector<std::uint8_t>>& positions) {
    Instance lv2;
    EXPECT_NE(lv2.instance, nullptr);
    lv2.Set("tempo_delay", 1);
    std::vector<float> out;
    for (const auto& sequence : positions) {
      std::vector<std::uint8_t> buffer = sequence;
      lilv_instance_connect_port(lv2.instance, 4, buffer.data());
      const std::vector<float> block = Impulse(lv2, 22050);
      out.insert(out.end(), block.begin(), block.end());
      lv2.DisconnectTimeInput();
    }
    return out;
  };
  const auto noTempo = PositionSequence({{LV2_TIME__speed, 1}});
  const auto tempo98 = PositionSequence({{LV2_TIME__beatsPerMinute, 98}, {LV2_TIME__speed, 1}});
  const auto empty = Sequence(8).data;
  // Before any tempo: as without a transport at all.
  EXPECT_EQ(render({noTempo}), render({empty}));
  // After one: that tempo holds.
  EXPECT_EQ(render({tempo98, noTempo}), render({tempo98, tempo98}));
}

struct Retrieved {
  std::vector<std::uint8_t> data;
  LV2_URID type;
};

const void* Retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size, std::uint32_t* type,
                     std::uint32_t* flags) {
  auto* r = static_cast<Retrieved*>(handle);
  if (key != Map("urn:fenmoor:vorn-delay-2#chunk")) return nullptr;
  *size = r->data.size();
  *type = r->type;
  *flags = LV2_STATE_IS_POD;
  return r->data.data();
}

TEST(Lv2HostInput, AStateThatIsNotOursIsRefusedAndTheHostsPortsStillCount) {
  Instance lv2, reference;
  ASSERT_NE(lv2.instance, nullptr);
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(lv2.instance, LV2_STATE__interface));
  ASSERT_NE(state, nullptr);
  Silence(lv2);  // the defaults applied
  const std::string before = lv2.SaveState();
  // Our size and type, but not our marker; then ours with a wrong size or type.
  Retrieved foreign{std::vector<std::uint8_t>(260, 0x41), Map(LV2_ATOM__Chunk)};
  EXPECT_NE(state->restore(lilv_instance_get_handle(lv2.instance), Retrieve, &foreign, 0, nullptr),
            LV2_STATE_SUCCESS);
  Retrieved shortChunk{std::vector<std::uint8_t>(12, 0), Map(LV2_ATOM__Chunk)};
  const float marker = -1000.0f;
  std::memcpy(shortChunk.data.data(), &marker, 4);
  EXPECT_NE(state->restore(lilv_instance_get_handle(lv2.instance), Retrieve, &shortChunk, 0, nullptr),
            LV2_STATE_SUCCESS);
  EXPECT_EQ(lv2.SaveState(), before) << "a refused state changes nothing";
  // The port value the host sets next is applied, as lilv does after a preset.
  lv2.Set("delay", 2500);
  reference.Set("delay", 2500);
  EXPECT_EQ(Impulse(lv2), Impulse(reference));
}

TEST(Lv2HostInput, RestoredValuesHoldUntilTheHostMovesAPort) {
  Instance saved;
  saved.Set("delay", 120);
  Silence(saved);
  const std::string turtle = saved.SaveState();
  // One host restores the chunk alone and leaves its port at 500; the
  // other restores a preset as lilv does, the chunk and then the ports.
  Instance portsLeft, portsSet;
  for (Instance* lv2 : {&portsLeft, &portsSet}) {
    lv2->Set("delay", 500);
    Silence(*lv2);
  }
  ASSERT_TRUE(portsLeft.RestoreState(turtle, false));
  ASSERT_TRUE(portsSet.RestoreState(turtle, true));
  EXPECT_EQ(portsSet.Get("delay"), 120.0f);
  EXPECT_EQ(portsLeft.Get("delay"), 500.0f);
  EXPECT_EQ(Impulse(portsLeft), Impulse(portsSet)) << "the restored 120 ms hold";
  // Once the host moves the port, the port counts.
  portsLeft.Set("delay", 700);
  portsSet.Set("delay", 700);
  EXPECT_EQ(Impulse(portsLeft), Impulse(portsSet));
}

TEST(Lv2HostInput, RunBeforeActivateAllocatesNothing) {
  World& w = World::Get();
  ASSERT_NE(w.plugin, nullptr);
  const LV2_Feature* features[] = {&w.urids.mapFeature, nullptr};
  std::vector<float> audio(4 * 256, 0.25f), controls(17, 0.0f);
  std::vector<std::uint8_t> sequence = Sequence(8).data;
  sequence.resize(64);
  float delay = 4000;  // the longest line
  const auto make = [&] {
    LilvInstance* instance = lilv_plugin_instantiate(w.plugin, 48000, features);
    if (instance == nullptr) return instance;
    for (std::uint32_t p = 0; p < 4; ++p) lilv_instance_connect_port(instance, p, audio.data() + 256 * p);
    lilv_instance_connect_port(instance, 4, sequence.data());
    for (std::uint32_t p = 5; p < 17; ++p) lilv_instance_connect_port(instance, p, &controls[p]);
    lilv_instance_connect_port(instance, 6, &delay);
    return instance;
  };
  // A first instance's first call binds the binary's symbols in the loader
  // (which allocates whatever the plug-in does); the second one's calls are
  // the plug-in's alone, from its first.
  LilvInstance* first = make();
  ASSERT_NE(first, nullptr);
  lilv_instance_run(first, 256);
  LilvInstance* instance = make();  // with the first still loaded
  ASSERT_NE(instance, nullptr);
  vornhost::alloc::StartCounting();
  for (int i = 0; i < 2000; ++i) lilv_instance_run(instance, 256);
  const std::uint64_t count = vornhost::alloc::StopCounting();
  EXPECT_EQ(count, 0u) << "allocations in run() before activate()";
  for (float x : audio) EXPECT_TRUE(std::isfinite(x));
  lilv_instance_free(instance);
  lilv_instance_free(first);
}

TEST(Lv2HostInput, TheMeterOutputFollowsTheWetSignal) {
  Instance lv2;
  ASSERT_NE(lv2.instance, nullptr);
  Silence(lv2);
  EXPECT_EQ(lv2.Get("meter"), 0.0f) << "silence in, nothing on the meter";
  std::vector<float> left(44100, 0.5f), right(44100, -0.5f);
  lv2.Process(left, right);
  EXPECT_GT(lv2.Get("meter"), 0.0f);
  EXPECT_TRUE(std::isfinite(lv2.Get("meter")));
}

}  // namespace
