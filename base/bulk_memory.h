// Memory for large arrays that are filled once and then read: decoded tables, sort orders,
// whole files. Blocks of a megabyte or more are taken from the system directly, aligned to
// and rounded up to 2 MiB, with the hint to back them with large pages where the system
// offers that (Linux): one page fault then provides 2 MiB instead of 4 KiB. A program that
// builds a table of some megabytes right after it starts otherwise spends much of its time
// in the kernel, faulting in and zeroing fresh 4 KiB pages one by one. Smaller blocks, and
// every block on other systems and under the address sanitizer (which must see each block
// to check its bounds), come from operator new.
#pragma once

#include <cstddef>
#include <limits>
#include <new>
#include <vector>

namespace movarin::base {

// Throws std::bad_alloc when the memory cannot be had. The bytes are not initialised
// (fresh blocks from the system read as zero, but callers must not rely on it).
void* AllocateBulk(std::size_t bytes);
// `bytes` is the size given to AllocateBulk.
void FreeBulk(void* block, std::size_t bytes) noexcept;

// A hint that the bytes at `address` will be read soon: the processor fetches them into the
// cache meanwhile. Never faults, whatever the address. Written as an instruction of its own
// on x86-64, because the compiler may drop its built-in hint as an unused computation.
inline void PrefetchForRead(const void* address) noexcept {
#if defined(__GNUC__) && defined(__x86_64__)
  asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(address)));
#elif defined(__GNUC__)
  __builtin_prefetch(address);
#else
  (void)address;
#endif
}

template <typename T>
struct BulkAllocator {
  using value_type = T;
  BulkAllocator() = default;
  template <typename U>
  BulkAllocator(const BulkAllocator<U>&) noexcept {}  // NOLINT: converting, as allocators do

  T* allocate(std::size_t count) {
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(AllocateBulk(count * sizeof(T)));
  }
  void deallocate(T* block, std::size_t count) noexcept { FreeBulk(block, count * sizeof(T)); }

  template <typename U>
  bool operator==(const BulkAllocator<U>&) const noexcept {
    return true;
  }
};

template <typename T>
using BulkVector = std::vector<T, BulkAllocator<T>>;

}  // namespace movarin::base
