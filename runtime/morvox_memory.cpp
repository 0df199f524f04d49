#include "runtime/morvox_memory.h"

double* CMorvoxMemory::Page(std::int32_t page) {
  auto found = pages_.find(page);
  if (found == pages_.end()) {
    // value-initialised: every cell starts at 0.0
    found = pages_.emplace(page, std::make_unique<double[]>(kPageSize)).first;
    const auto slot = static_cast<std::uint32_t>(page);
    if (slot < kFlatPages) flat_[slot] = found->second.get();
  }
  return found->second.get();
}

void CMorvoxMemory::TouchPages(std::int32_t first, std::int32_t last) {
  if (last < first) return;
  for (std::int64_t page = first >> kPageBits; page <= (last >> kPageBits); ++page) {
    Page(static_cast<std::int32_t>(page));
  }
}

void CMorvoxMemory::DropAllPages() {
  flat_.fill(nullptr);
  pages_.clear();
}
