// CMorvoxMemory: the script's sparse memory of doubles, addressed by a
// signed 32-bit index and stored as pages of 65536 cells.
#pragma once

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
    double* page = flat_[static_cast<std::uint32_t>(index) >> kPageBits];
    if (page != nullptr) [[likely]]
      return page[index & (kPageSize - 1)];
    return Page(index >> kPageBits)[index & (kPageSize - 1)];  // arithmetic shift: negative pages
  }

  // Makes sure every page of [first, last] exists, so later accesses there
  // never allocate. Its memory may still be the system's untouched zero
  // pages, which cost a fault on first write.
  void ReservePages(std::int32_t first, std::int32_t last);
  // As ReservePages, and every page of [first, last] is then resident:
  // later accesses there neither allocate nor fault. Values stay.
  void TouchPages(std::int32_t first, std::int32_t last);
  // Cells [first, first + count) read 0 again; the pages they lie on that
  // exist become resident, absent ones stay absent (they read 0 when made).
  // Work in proportion to `count`; allocates nothing. [any thread]
  void ZeroCells(std::int32_t first, std::int32_t count);

  // Drops every page: every cell reads 0 again.
  void DropAllPages();

  std::size_t PageCount() const { return pages_.size(); }
  bool HasPage(std::int32_t page) const { return pages_.count(page) != 0; }

 private:
  // Every page is also reachable through a flat table indexed by the
  // index's upper 16 bits, so an access is one load and one test.
  static constexpr std::uint32_t kFlatPages = 1u << (32 - kPageBits);

  double* Page(std::int32_t page);

  // Pages come zero-filled from the system where it can (no cost until
  // written), else from the heap.
  struct PageRelease {
    bool system = false;
    void operator()(double* cells) const;
  };
  using PageCells = std::unique_ptr<double[], PageRelease>;
  static PageCells NewPage();

  std::map<std::int32_t, PageCells> pages_;
  std::unique_ptr<double*[]> flat_ = std::make_unique<double*[]>(kFlatPages);
};
