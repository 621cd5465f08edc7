#pragma once

#include <atomic>

/** Counts heap allocations and frees made by the calling thread while a scope is open. */
namespace allocation_counter
{
struct Counts
{
    long allocations = 0;
    long frees = 0;
};

class Scope
{
public:
    Scope();
    ~Scope();
    Counts counts() const;
};
} // namespace allocation_counter
