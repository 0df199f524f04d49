#include "host/alloc_counter.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>
#if defined(_WIN32)
#include <malloc.h>
#endif

namespace vornhost::alloc {

namespace {

// Plain thread-locals of the executable live in its static TLS block, so
// reading them inside malloc allocates nothing.
thread_local bool t_counting = false;
thread_local std::uint64_t t_count = 0;

inline void Note() {
  if (t_counting) ++t_count;
}

}  // namespace

void StartCounting() {
  t_count = 0;
  t_counting = true;
}

std::uint64_t StopCounting() {
  t_counting = false;
  return t_count;
}

}  // namespace vornhost::alloc

// AddressSanitizer owns malloc and operator new: GCC says so with
// __SANITIZE_ADDRESS__, clang with __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define VORN_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORN_ASAN 1
#endif
#endif

#if defined(VORN_ASAN)

// The sanitizer runtime's allocation hooks (its interface header is not
// always installed with the compiler).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             std::size_t),
                                                         void (*free_hook)(const volatile void*));

namespace {
void MallocHook(const volatile void*, std::size_t) {
  vornhost::alloc::Note();
}
void FreeHook(const volatile void*) {}
const int kInstalled = __sanitizer_install_malloc_and_free_hooks(MallocHook, FreeHook);
}  // namespace

bool vornhost::alloc::CoversMalloc() {
  return kInstalled != 0;
}

#elif defined(__GLIBC__)

// glibc's allocator under its internal names: the replacements forward to
// it, so memory from either side may be freed by the other.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* ptr, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);

void* malloc(std::size_t size) {
  vornhost::alloc::Note();
  return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
  vornhost::alloc::Note();
  return __libc_calloc(count, size);
}

void* realloc(void* ptr, std::size_t size) {
  vornhost::alloc::Note();
  return __libc_realloc(ptr, size);
}

void* memalign(std::size_t alignment, std::size_t size) {
  vornhost::alloc::Note();
  return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
  vornhost::alloc::Note();
  return __libc_memalign(alignment, size);
}

int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  vornhost::alloc::Note();
  void* p = __libc_memalign(alignment, size);
  if (p == nullptr) return ENOMEM;
  *out = p;
  return 0;
}
}

bool vornhost::alloc::CoversMalloc() {
  return true;
}

#else

// Elsewhere only operator new is replaced (below).
bool vornhost::alloc::CoversMalloc() {
  return false;
}

#endif

#if !defined(VORN_ASAN)

// operator new of the whole process. With malloc replaced, the count is
// taken there; otherwise here.
namespace {

void* Allocate(std::size_t size) {
#if !defined(__GLIBC__)
  vornhost::alloc::Note();
#endif
  return std::malloc(size == 0 ? 1 : size);
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  void* p = nullptr;
  std::size_t a = static_cast<std::size_t>(alignment);
  if (a < sizeof(void*)) a = sizeof(void*);
#if defined(_WIN32)
  vornhost::alloc::Note();
  p = _aligned_malloc(size == 0 ? 1 : size, a);
#else
#if !defined(__GLIBC__)
  vornhost::alloc::Note();
#endif
  if (posix_memalign(&p, a, size == 0 ? 1 : size) != 0) p = nullptr;
#endif
  return p;
}

}  // namespace

void* operator new(std::size_t size) {
  void* p = Allocate(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  void* p = AllocateAligned(size, alignment);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return operator new(size, alignment);
}

void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
#if defined(_WIN32)
void operator delete(void* p, std::align_val_t) noexcept {
  _aligned_free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
  _aligned_free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
  _aligned_free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
  _aligned_free(p);
}
#else
void operator delete(void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
#endif

#endif
