#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property stops the run like a sanitizer report does, so libFuzzer
// keeps the input that showed it.
#define ORTHOLUME_FUZZ_CHECK(condition, what)                                  \
    do                                                                         \
    {                                                                          \
        if (! (condition))                                                     \
        {                                                                      \
            std::fprintf (stderr, "ortholume fuzz check failed: %s (%s:%d)\n", \
                          what, __FILE__, __LINE__);                           \
            std::abort();                                                      \
        }                                                                      \
    } while (false)
