#include "runtime/morvox_memory.h"

double* CMorvoxMemory::Page(std::int32_t page) {
  auto found = pages_.find(page);
  if (found == pages_.end()) {
    // value-initialised: every cell starts at 0.0
    found = pages_.emplace(page, std::make_unique<double[]>(kPageSize)).first;
    flat_[static_cast<std::uint16_t>(page)] = found->second.get();
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
  for (const auto& entry : pages_) flat_[static_cast<std::uint16_t>(entry.first)] = nullptr;
  pages_.clear();
}
