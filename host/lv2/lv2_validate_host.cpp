#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>

#include "host/alloc_counter.h"
#include "host/lv2/lv2_validate_checks.h"
#include "host/lv2/lv2_validate_state.h"

namespace vornhost {

namespace {

constexpr int kBlock = 256;

// Two pages, the second unreadable: data placed to end at the first page's
// end faults on any read beyond it.
class GuardedPage {
 public:
  GuardedPage() {
    page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    void* map = mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    base_ = map == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(map);
    if (base_ != nullptr) mprotect(base_ + page_, page_, PROT_NONE);
  }
  ~GuardedPage() {
    if (base_ != nullptr) munmap(base_, 2 * page_);
  }
  GuardedPage(const GuardedPage&) = delete;
  GuardedPage& operator=(const GuardedPage&) = delete;
  // Null when the bytes do not fit (or no pages could be had).
  std::uint8_t* Place(const std::vector<std::uint8_t>& bytes) {
    if (base_ == nullptr || bytes.size() > page_) return nullptr;
    std::uint8_t* at = base_ + page_ - bytes.size();
    if (!bytes.empty()) std::memcpy(at, bytes.data(), bytes.size());
    return at;
  }

 private:
  std::size_t page_ = 0;
  std::uint8_t* base_ = nullptr;
};

// One instance fed noise block by block, its own sequence across calls.
class Feeder {
 public:
  Feeder(Lv2PluginHost& p, unsigned seed)
      : plugin_(p),
        generator_(seed),
        in_(static_cast<std::size_t>(p.numInputs()), std::vector<float>(kBlock)),
        out_(static_cast<std::size_t>(p.numOutputs()), std::vector<float>(kBlock)) {
    for (auto& c : in_) inPtr_.push_back(c.data());
    for (auto& c : out_) outPtr_.push_back(c.data());
  }
  // Runs `blocks`; false when any output is not finite. Keeps the output
  // in `keep`, and counts the allocations of the runs in `allocations`.
  bool Run(int blocks, std::vector<float>* keep = nullptr, std::uint64_t* allocations = nullptr) {
    std::uniform_real_distribution<float> d(-0.5f, 0.5f);
    bool finite = true;
    for (int b = 0; b < blocks; ++b) {
      for (auto& c : in_)
        for (float& x : c) x = d(generator_);
      if (allocations != nullptr) alloc::StartCounting();
      plugin_.Process(inPtr_.data(), outPtr_.data(), kBlock, position_);
      if (allocations != nullptr) *allocations += alloc::StopCounting();
      position_ += kBlock;
      for (auto& c : out_) {
        for (float x : c) finite = finite && std::isfinite(x);
        if (keep != nullptr) keep->insert(keep->end(), c.begin(), c.end());
      }
    }
    return finite;
  }

 private:
  Lv2PluginHost& plugin_;
  std::mt19937 generator_;
  std::vector<std::vector<float>> in_, out_;
  std::vector<const float*> inPtr_;
  std::vector<float*> outPtr_;
  double position_ = 0;
};

bool RunNoise(Lv2PluginHost& p, int blocks, unsigned seed) {
  return Feeder(p, seed).Run(blocks);
}

using State = Lv2State;

// What a restore retrieves: each value placed against an unreadable page.
struct Offered {
  State state;
  std::vector<std::unique_ptr<GuardedPage>> pages;
};

const void* Retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size, std::uint32_t* type,
                     std::uint32_t* flags) {
  auto* offered = static_cast<Offered*>(handle);
  auto it = offered->state.find(key);
  if (it == offered->state.end()) return nullptr;
  offered->pages.push_back(std::make_unique<GuardedPage>());
  const void* at = offered->pages.back()->Place(it->second.value);
  *size = it->second.value.size();
  *type = it->second.type;
  *flags = it->second.flags;
  return at;
}

const LV2_State_Interface* StateOf(Lv2PluginHost& p) {
  return Lv2StateOf(p);
}

State Save(Lv2PluginHost& p, LV2_State_Status* status = nullptr) {
  return SaveLv2State(p, status);
}

LV2_State_Status Restore(Lv2PluginHost& p, const State& state) {
  Offered offered{state, {}};
  return StateOf(p)->restore(lilv_instance_get_handle(p.Instance()), Retrieve, &offered, LV2_STATE_IS_POD,
                             nullptr);
}

// Every control a third of the way from its minimum (its default where the
// range is empty).
void Unusual(Lv2PluginHost& p) {
  for (const Lv2Control& c : p.controls()) {
    float value = c.minimum + (c.maximum - c.minimum) / 3;
    if (c.integer || c.enumeration || c.toggled) value = std::round(value);
    if (!(c.maximum > c.minimum)) value = c.defaultValue;
    p.Assign(c.symbol + "=" + std::to_string(value));
  }
}

}  // namespace

std::string CheckLv2StateRoundTrip(const std::string& reference) {
  Lv2PluginHost a(reference);
  a.Start(44100, kBlock);
  if (StateOf(a) == nullptr) return "Sno state interface";
  Unusual(a);
  RunNoise(a, 40, 1);
  LV2_State_Status status = LV2_STATE_SUCCESS;
  const State saved = Save(a, &status);
  if (status != LV2_STATE_SUCCESS) return "save answers " + std::to_string(status);
  Lv2PluginHost b(reference);
  b.Start(44100, kBlock);
  Unusual(b);
  RunNoise(b, 1, 2);
  if (Restore(b, saved) != LV2_STATE_SUCCESS) return "its own saved state is refused";
  if (!RunNoise(b, 10, 3)) return "non-finite output after restoring its own state";
  if (Save(b) != saved) return "a restored state saves differently";
  return {};
}

std::string CheckLv2ForeignState(const std::string& reference) {
  Lv2PluginHost p(reference);
  p.Start(44100, kBlock);
  if (StateOf(p) == nullptr) return "Sno state interface";
  Unusual(p);
  RunNoise(p, 10, 1);
  const State saved = Save(p);
  if (saved.empty()) return "Sit saves no properties";
  // Its own keys, with values of a type no plug-in knows.
  State foreign = saved;
  for (auto& [key, property] : foreign) {
    property.type = p.Map("urn:fenmoor:vornhost#foreign");
    property.value.assign(7, 0x5a);
  }
  const LV2_State_Status foreignStatus = Restore(p, foreign);
  if (foreignStatus == LV2_STATE_SUCCESS && Save(p) != saved) return "a state of a foreign type was taken";
  if (!RunNoise(p, 10, 2)) return "non-finite output after a foreign state";
  // Its own keys and types, the values cut to half their size and turned over.
  State damaged = saved;
  for (auto& [key, property] : damaged) {
    property.value.resize(property.value.size() / 2);
    for (auto& byte : property.value) byte = static_cast<std::uint8_t>(~byte);
  }
  Restore(p, damaged);
  if (!RunNoise(p, 20, 3)) return "non-finite output after a damaged state";
  // Nothing at all.
  Restore(p, State{});
  if (!RunNoise(p, 5, 4)) return "non-finite output after an empty state";
  return {};
}

std::string CheckLv2LyingAtoms(const std::string& reference) {
  Lv2PluginHost p(reference);
  p.Start(44100, kBlock);
  if (p.AtomInputs().empty()) return "Sno atom input";
  const auto u32 = [](std::vector<std::uint8_t>& b, std::uint32_t v) {
    // Resized and copied into: GCC 12 misreads an insert of 4 bytes here
    // (-Wstringop-overflow).
    const std::size_t at = b.size();
    b.resize(at + sizeof v);
    std::memcpy(b.data() + at, &v, sizeof v);
  };
  const std::uint32_t sequence = p.Map(LV2_ATOM__Sequence), object = p.Map(LV2_ATOM__Object),
                      position = p.Map(LV2_TIME__Position), floatType = p.Map(LV2_ATOM__Float),
                      bpm = p.Map(LV2_TIME__beatsPerMinute);
  const auto head = [&](std::uint32_t size, std::uint32_t type) {
    std::vector<std::uint8_t> b;
    u32(b, size);
    u32(b, type);
    u32(b, 0);
    u32(b, 0);
    return b;
  };
  std::vector<std::vector<std::uint8_t>> cases;
  {  // an event body far larger than the sequence
    auto b = head(8 + 16 + 8, sequence);
    for (std::uint32_t v : {0u, 0u, 0x7fffff00u, object, 0u, position}) u32(b, v);
    cases.push_back(b);
  }
  {  // an event header cut off by the sequence's end
    auto b = head(8 + 12, sequence);
    for (std::uint32_t v : {0u, 0u, 8u}) u32(b, v);
    cases.push_back(b);
  }
  {  // a property value past its object's end
    auto b = head(8 + 16 + 8 + 16, sequence);
    for (std::uint32_t v : {0u, 0u, 24u, object, 0u, position, bpm, 0u, 0x40000000u, floatType}) u32(b, v);
    cases.push_back(b);
  }
  {  // an object too small for its own header
    auto b = head(8 + 16 + 4, sequence);
    for (std::uint32_t v : {0u, 0u, 4u, object, 0u}) u32(b, v);
    cases.push_back(b);
  }
  // not a sequence, claiming far more than its buffer
  cases.push_back(head(0x10000000u, p.Map(LV2_ATOM__Chunk)));
  GuardedPage page;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    std::uint8_t* at = page.Place(cases[i]);
    if (at == nullptr) return "Sno guarded memory";
    for (std::uint32_t port : p.AtomInputs()) lilv_instance_connect_port(p.Instance(), port, at);
    if (!RunNoise(p, 4, static_cast<unsigned>(i)))
      return "non-finite output with lying atoms (case " + std::to_string(i + 1) + ")";
  }
  return {};
}

std::string CheckLv2RunBeforeActivate(const std::string& reference) {
  // A first instance's first call binds the binary's symbols in the loader,
  // which allocates whatever the plug-in does; it stays loaded, and the
  // second instance's calls are the plug-in's alone, from its first.
  Lv2PluginHost binder(reference);
  binder.Start(48000, kBlock);
  Feeder(binder, 1).Run(1);
  Lv2PluginHost p(reference);
  p.Start(48000, kBlock, false);
  // Every control at its maximum, switches off (the longest delay lines
  // for a delay, the most work for most).
  for (const Lv2Control& c : p.controls()) {
    p.Assign(c.symbol + "=" + std::to_string(c.toggled ? c.minimum : c.maximum));
  }
  Feeder feeder(p, 1);
  std::uint64_t allocations = 0;
  const bool finite = feeder.Run(2000, nullptr, &allocations);
  if (allocations != 0) return std::to_string(allocations) + " heap allocations in 2000 runs before activate";
  return finite ? std::string() : "non-finite output before activate";
}

std::string CheckLv2TwoInstances(const std::string& reference, unsigned seed) {
  std::vector<float> alone, beside;
  {
    Lv2PluginHost a(reference);
    a.Start(44100, kBlock);
    Feeder(a, seed).Run(200, &alone);
  }
  // Then again, one block each in turn with a second instance of other
  // settings and input.
  Lv2PluginHost a(reference), b(reference);
  a.Start(44100, kBlock);
  b.Start(44100, kBlock);
  Unusual(b);
  Feeder first(a, seed), second(b, seed + 1);
  for (int block = 0; block < 200; ++block) {
    second.Run(1);
    first.Run(1, &beside);
  }
  if (alone != beside) return "an instance sounds differently while another one runs";
  return {};
}

}  // namespace vornhost
