#pragma once
// Memory for the tables a start-up fills at once: the memo records and the
// list's rows. A block of 1 MB or more is taken in whole 2 MB pages where the
// system gives them on request (Linux's transparent huge pages), so that
// 30,000 records are filled with a few page faults instead of some 1,600; a
// page fault costs microseconds, and tens of them on some virtual machines.
// Elsewhere, and for smaller blocks, it is ordinary memory.

#include <cstddef>
#include <vector>

namespace tz::bulk {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kBulk = kHugePage / 2;  // smaller blocks are ordinary memory

void* allocate(std::size_t bytes);
void release(void* p, std::size_t bytes) noexcept;
// Asks for huge pages for the whole 2 MB pages inside [p, p + bytes): for a
// block made elsewhere, before it is first written.
void advise(void* p, std::size_t bytes) noexcept;

template <typename T>
struct Allocator {
    using value_type = T;
    Allocator() = default;
    template <typename U>
    Allocator(const Allocator<U>&) noexcept {}  // NOLINT: rebinding, as allocators do
    T* allocate(std::size_t n) {
        static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "blocks are aligned as operator new aligns");
        return static_cast<T*>(bulk::allocate(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { bulk::release(p, n * sizeof(T)); }
    friend bool operator==(const Allocator&, const Allocator&) { return true; }
};

template <typename T>
using vector = std::vector<T, Allocator<T>>;

}  // namespace tz::bulk
