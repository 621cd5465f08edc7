#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

// Replaces the global allocation functions for the whole test program; counting
// is switched on only for the current thread, inside a Scope.
namespace
{
thread_local bool counting = false;
thread_local allocation_counter::Counts current;

void* allocate (std::size_t size)
{
    if (counting)
        ++current.allocations;

    if (auto* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}

void release (void* p) noexcept
{
    if (counting && p != nullptr)
        ++current.frees;

    std::free (p);
}
} // namespace

void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void operator delete (void* p) noexcept { release (p); }
void operator delete[] (void* p) noexcept { release (p); }
void operator delete (void* p, std::size_t) noexcept { release (p); }
void operator delete[] (void* p, std::size_t) noexcept { release (p); }

namespace allocation_counter
{
Scope::Scope()
{
    current = {};
    counting = true;
}

Scope::~Scope()
{
    counting = false;
}

Counts Scope::counts() const
{
    return current;
}
} // namespace allocation_counter
