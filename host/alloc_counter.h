// Counts heap allocations made by one thread between a start and a stop
// mark. vornhost replaces malloc, calloc, realloc, the aligned allocators
// and operator new for the whole process (the plug-in included); under
// AddressSanitizer it uses the sanitizer's allocation hooks instead.
#pragma once

#include <cstdint>

namespace vornhost::alloc {

// [audio] Starts counting on the calling thread (resets the count).
void StartCounting();
// [audio] Stops counting on the calling thread and returns the count.
std::uint64_t StopCounting();
// Whether allocations through malloc are seen (not only operator new).
bool CoversMalloc();

}  // namespace vornhost::alloc
