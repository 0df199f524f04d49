// CMorvoxMemory: the script's sparse memory of doubles, addressed by a
// signed 32-bit index and stored as pages of 65536 cells.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

class CMorvoxMemory {
 public:
  static constexpr int kPageBits = 16;
  static constexpr std::int32_t kPageSize = 1 << kPageBits;  // 65536 doubles

  CMorvoxMemory() = default;
  CMorvoxMemory(const CMorvoxMemory&) = delete;
  CMorvoxMemory& operator=(const CMorvoxMemory&) = delete;

  // The cell at `index`; its page is created zero-filled on first use (the
  // only allocation memory access can make). [any thread]
  double& Memory(std::int32_t index) {
    const std::int32_t page = index >> kPageBits;  // arithmetic shift
    const auto slot = static_cast<std::uint32_t>(page);
    if (slot < kFlatPages && flat_[slot] != nullptr) return flat_[slot][index & (kPageSize - 1)];
    return Page(page)[index & (kPageSize - 1)];
  }

  // Makes sure every page of [first, last] exists, so later accesses there
  // never allocate.
  void TouchPages(std::int32_t first, std::int32_t last);

  // Drops every page: every cell reads 0 again.
  void DropAllPages();

  std::size_t PageCount() const { return pages_.size(); }
  bool HasPage(std::int32_t page) const { return pages_.count(page) != 0; }

 private:
  // Pages 0 … kFlatPages−1 (indices up to 16.7 million) are also reachable
  // through a flat table, so the audio path pays no map lookup.
  static constexpr std::uint32_t kFlatPages = 256;

  double* Page(std::int32_t page);

  std::map<std::int32_t, std::unique_ptr<double[]>> pages_;
  std::array<double*, kFlatPages> flat_{};
};
