#include "store/bulk_memory.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tz::bulk {

void* allocate(std::size_t bytes) {
    if (bytes < kBulk) return ::operator new(bytes);
    // Whole huge pages, aligned to them: the block's first and last pages are huge too.
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (!p) throw std::bad_alloc();
    advise(p, rounded);
    return p;
}

void release(void* p, std::size_t bytes) noexcept {
    if (bytes < kBulk)
        ::operator delete(p);
    else
        std::free(p);
}

void advise(void* p, std::size_t bytes) noexcept {
#ifdef MADV_HUGEPAGE
    const auto begin = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t first = (begin + kHugePage - 1) / kHugePage * kHugePage;
    const std::uintptr_t last = (begin + bytes) / kHugePage * kHugePage;
    // Advice only: a system without huge pages answers with an error, and the memory is as good.
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)p;
    (void)bytes;
#endif
}

}  // namespace tz::bulk
