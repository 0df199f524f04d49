#include "runtime/morvox_memory.h"

#include <algorithm>
#include <cstring>

#include "runtime/module_platform.h"

namespace {

constexpr std::size_t kPageBytes = sizeof(double) * CMorvoxMemory::kPageSize;
// The smallest page the systems we run on map: a write per such page
// makes all of it resident.
constexpr std::size_t kSystemPageCells = 4096 / sizeof(double);

}  // namespace

void CMorvoxMemory::PageRelease::operator()(double* cells) const {
  if (system) {
    morvox::platform::FreeZeroPages(cells, kPageBytes);
  } else {
    delete[] cells;
  }
}

CMorvoxMemory::PageCells CMorvoxMemory::NewPage() {
  if (void* pages = morvox::platform::AllocateZeroPages(kPageBytes)) {
    return PageCells(static_cast<double*>(pages), PageRelease{true});
  }
  return PageCells(new double[kPageSize](), PageRelease{false});  // value-initialised: 0.0
}

double* CMorvoxMemory::Page(std::int32_t page) {
  auto found = pages_.find(page);
  if (found == pages_.end()) {
    found = pages_.emplace(page, NewPage()).first;
    flat_[static_cast<std::uint16_t>(page)] = found->second.get();
  }
  return found->second.get();
}

void CMorvoxMemory::ReservePages(std::int32_t first, std::int32_t last) {
  if (last < first) return;
  for (std::int64_t page = first >> kPageBits; page <= (last >> kPageBits); ++page) {
    Page(static_cast<std::int32_t>(page));
  }
}

void CMorvoxMemory::TouchPages(std::int32_t first, std::int32_t last) {
  ReservePages(first, last);
  if (last < first) return;
  for (std::int64_t page = first >> kPageBits; page <= (last >> kPageBits); ++page) {
    // A write of the value a cell holds: the system page is then this
    // process's own, and nothing changes.
    volatile double* cells = Page(static_cast<std::int32_t>(page));
    for (std::size_t k = 0; k < static_cast<std::size_t>(kPageSize); k += kSystemPageCells)
      cells[k] = cells[k];
  }
}

void CMorvoxMemory::ZeroCells(std::int32_t first, std::int32_t count) {
  std::int64_t at = first;
  const std::int64_t end = static_cast<std::int64_t>(first) + std::max<std::int32_t>(count, 0);
  while (at < end) {
    const auto index = static_cast<std::int32_t>(at);
    const std::int64_t pageEnd = (at | (kPageSize - 1)) + 1;
    const std::int64_t stop = std::min(end, pageEnd);
    if (double* page = flat_[static_cast<std::uint32_t>(index) >> kPageBits]) {
      std::memset(page + (index & (kPageSize - 1)), 0, static_cast<std::size_t>(stop - at) * sizeof(double));
    }
    at = stop;
  }
}

void CMorvoxMemory::DropAllPages() {
  for (const auto& entry : pages_) flat_[static_cast<std::uint16_t>(entry.first)] = nullptr;
  pages_.clear();
}
