#include "AllocationCounter.h"

#include <cstddef>
#include <dlfcn.h>
#include <pthread.h>
#include <semaphore.h>

// glibc's own allocator entry points, which the replacements below forward to.
extern "C"
{
    void* __libc_malloc (std::size_t);
    void* __libc_calloc (std::size_t, std::size_t);
    void* __libc_realloc (void*, std::size_t);
    void* __libc_memalign (std::size_t, std::size_t);
    void __libc_free (void*);
}

namespace
{
// Plain zero-initialised thread-locals: reading them neither allocates nor locks.
thread_local bool counting = false;
thread_local ortholume::testing::AllocationCounts current;

void noteAllocation() noexcept
{
    if (counting)
        ++current.allocations;
}

void noteFree (void* p) noexcept
{
    if (counting && p != nullptr)
        ++current.frees;
}

void noteLock() noexcept
{
    if (counting)
        ++current.locks;
}

/** The next definition of a function after ours, looked up once. */
template <typename Function>
Function real (Function& cache, const char* name) noexcept
{
    if (cache == nullptr)
        cache = reinterpret_cast<Function> (::dlsym (RTLD_NEXT, name));

    return cache;
}
} // namespace

extern "C"
{
    void* malloc (std::size_t size)
    {
        noteAllocation();
        return __libc_malloc (size);
    }

    void* calloc (std::size_t count, std::size_t size)
    {
        noteAllocation();
        return __libc_calloc (count, size);
    }

    void* realloc (void* p, std::size_t size)
    {
        noteAllocation();
        return __libc_realloc (p, size);
    }

    void* memalign (std::size_t alignment, std::size_t size)
    {
        noteAllocation();
        return __libc_memalign (alignment, size);
    }

    void* aligned_alloc (std::size_t alignment, std::size_t size)
    {
        noteAllocation();
        return __libc_memalign (alignment, size);
    }

    int posix_memalign (void** result, std::size_t alignment, std::size_t size)
    {
        noteAllocation();
        *result = __libc_memalign (alignment, size);
        return *result != nullptr ? 0 : 12; // ENOMEM
    }

    void free (void* p)
    {
        noteFree (p);
        __libc_free (p);
    }

#define ORTHOLUME_INTERPOSE_LOCK(name, Argument)  \
    int name (Argument* object)                   \
    {                                             \
        static int (*next) (Argument*) = nullptr; \
        noteLock();                               \
        return real (next, #name) (object);       \
    }

    ORTHOLUME_INTERPOSE_LOCK (pthread_mutex_lock, pthread_mutex_t)
    ORTHOLUME_INTERPOSE_LOCK (pthread_mutex_trylock, pthread_mutex_t)
    ORTHOLUME_INTERPOSE_LOCK (pthread_rwlock_rdlock, pthread_rwlock_t)
    ORTHOLUME_INTERPOSE_LOCK (pthread_rwlock_wrlock, pthread_rwlock_t)
    ORTHOLUME_INTERPOSE_LOCK (pthread_rwlock_tryrdlock, pthread_rwlock_t)
    ORTHOLUME_INTERPOSE_LOCK (pthread_rwlock_trywrlock, pthread_rwlock_t)
    ORTHOLUME_INTERPOSE_LOCK (pthread_spin_lock, pthread_spinlock_t)
    ORTHOLUME_INTERPOSE_LOCK (pthread_spin_trylock, pthread_spinlock_t)
    ORTHOLUME_INTERPOSE_LOCK (sem_wait, sem_t)
    ORTHOLUME_INTERPOSE_LOCK (sem_trywait, sem_t)

    int pthread_mutex_timedlock (pthread_mutex_t* mutex, const struct timespec* timeout)
    {
        static int (*next) (pthread_mutex_t*, const struct timespec*) = nullptr;
        noteLock();
        return real (next, "pthread_mutex_timedlock") (mutex, timeout);
    }

    int pthread_cond_wait (pthread_cond_t* condition, pthread_mutex_t* mutex)
    {
        static int (*next) (pthread_cond_t*, pthread_mutex_t*) = nullptr;
        noteLock();
        return real (next, "pthread_cond_wait") (condition, mutex);
    }
} // extern "C"

namespace ortholume::testing
{
AllocationCountingScope::AllocationCountingScope()
{
    current = {};
    counting = true;
}

AllocationCountingScope::~AllocationCountingScope()
{
    counting = false;
}

AllocationCounts AllocationCountingScope::counts() const
{
    return current;
}
} // namespace ortholume::testing
