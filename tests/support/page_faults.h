// What the tests of "no page fault after activation" share: this thread's
// minor page faults so far, and whether a sanitizer's shadow memory (which
// faults on its own first use) makes the count meaningless.
#pragma once

#ifndef _WIN32
#include <sys/resource.h>

inline long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_minflt;
}
#endif

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kShadowMemory = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kShadowMemory = true;
#else
inline constexpr bool kShadowMemory = false;
#endif
#else
inline constexpr bool kShadowMemory = false;
#endif
