#pragma once

/** Counts heap allocations, frees and lock acquisitions made by the calling
    thread while a scope is open. The test program that links this replaces the
    C allocator (which operator new and delete call) and interposes the POSIX
    locking calls, so what the framework or the standard library does inside is
    counted too. */
namespace ortholume::testing
{
struct AllocationCounts
{
    long allocations = 0;
    long frees = 0;
    long locks = 0;
};

class AllocationCountingScope
{
public:
    AllocationCountingScope();
    ~AllocationCountingScope();
    AllocationCounts counts() const;
};
} // namespace ortholume::testing
