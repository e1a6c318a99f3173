#pragma once
// Counts the heap allocations of a whole program and notes the largest one.
// It replaces the global allocation functions, so every operator new of the
// program (the libraries' too) passes through here: include this header in
// exactly one source file of a program, and only in a test or benchmark.

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace allocationcounter {

inline std::atomic<long> Allocations{0};         // calls of any operator new so far
inline std::atomic<size_t> LargestAllocation{0}; // bytes of the largest single request so far

// Counts one request of Size bytes and makes it; null when there is no memory.
inline void* Allocate(size_t Size) noexcept
{
    Allocations.fetch_add(1, std::memory_order_relaxed);
    size_t largest = LargestAllocation.load(std::memory_order_relaxed);
    while (Size > largest && !LargestAllocation.compare_exchange_weak(largest, Size)) {
    }
    return std::malloc(Size == 0 ? 1 : Size);
}

} // namespace allocationcounter

void* operator new(size_t Size)
{
    if (void* p = allocationcounter::Allocate(Size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t Size)
{
    return operator new(Size);
}
void* operator new(size_t Size, const std::nothrow_t&) noexcept
{
    return allocationcounter::Allocate(Size);
}
void* operator new[](size_t Size, const std::nothrow_t&) noexcept
{
    return allocationcounter::Allocate(Size);
}
void operator delete(void* P) noexcept
{
    std::free(P);
}
void operator delete[](void* P) noexcept
{
    std::free(P);
}
void operator delete(void* P, size_t) noexcept
{
    std::free(P);
}
void operator delete[](void* P, size_t) noexcept
{
    std::free(P);
}
