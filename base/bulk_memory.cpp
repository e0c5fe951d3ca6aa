#include "base/bulk_memory.h"

#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define MOVARIN_BULK_FROM_NEW 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOVARIN_BULK_FROM_NEW 1
#endif
#endif
#if !defined(__linux__)
#define MOVARIN_BULK_FROM_NEW 1
#endif

#ifndef MOVARIN_BULK_FROM_NEW
#include <sys/mman.h>
#endif

namespace movarin::base {
namespace {

#ifndef MOVARIN_BULK_FROM_NEW
// Below this a block is not worth a mapping of its own.
constexpr std::size_t kSmallestBulkBlock = std::size_t{1} << 20;
// The large page size of x86-64 and of most other 64-bit Linux systems.
constexpr std::size_t kLargePage = std::size_t{2} << 20;

std::size_t MappedSize(std::size_t bytes) { return (bytes + kLargePage - 1) & ~(kLargePage - 1); }
#endif

}  // namespace

void* AllocateBulk(std::size_t bytes) {
#ifndef MOVARIN_BULK_FROM_NEW
  if (bytes >= kSmallestBulkBlock && bytes <= SIZE_MAX - 2 * kLargePage) {
    const std::size_t size = MappedSize(bytes);
    // Map one large page more than needed and give back the ends, so that the block
    // starts on a large-page boundary (large pages only back aligned ranges).
    void* mapped = mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kLargePage - 1) & ~(std::uintptr_t{kLargePage} - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    const std::uintptr_t tail = start + size + kLargePage - (aligned + size);
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
    void* block = reinterpret_cast<void*>(aligned);
    // Only a hint: without large pages the block simply gets ordinary ones.
    madvise(block, size, MADV_HUGEPAGE);
    return block;
  }
#endif
  return ::operator new(bytes);
}

void FreeBulk(void* block, std::size_t bytes) noexcept {
  if (block == nullptr) return;
#ifndef MOVARIN_BULK_FROM_NEW
  if (bytes >= kSmallestBulkBlock && bytes <= SIZE_MAX - 2 * kLargePage) {
    munmap(block, MappedSize(bytes));
    return;
  }
#endif
  ::operator delete(block);
}

}  // namespace movarin::base
