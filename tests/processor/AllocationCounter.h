#pragma once

/** Counts heap allocations, frees and lock acquisitions made by the calling
    thread while a scope is open. The test program that links this replaces the
    C allocator (which operator new and delete call) and interposes the POSIX
    locking calls, so what the framework or the standard library does inside is
    counted too. */
namespace allocation_counter
{
struct Counts
{
    long allocations = 0;
    long frees = 0;
    long locks = 0;
};

class Scope
{
public:
    Scope();
    ~Scope();
    Counts counts() const;
};
} // namespace allocation_counter
