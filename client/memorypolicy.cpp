#include "memorypolicy.h"

#include <malloc.h>

namespace zonara {

void applyProcessMemoryPolicy()
{
    // Pages and their texts go back to the system as soon as they are freed. Left to itself,
    // malloc raises this threshold to the size of the first such block freed, after which the
    // next pages land in the heaps, where what is freed stays resident.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    // Every page is read on a thread of its own, and malloc would give each thread a heap of its
    // own, reserving 64 MiB of address space apiece: under an address-space limit a user's
    // session may set, the reads then fail for want of room. Two heaps serve all threads.
    mallopt(M_ARENA_MAX, 2);
}

void giveBackFreedMemory()
{
    // What a read freed outside its own mappings lies in this thread's heap, much of it in the
    // middle, where malloc would keep it resident for good: give it back to the system.
    ::malloc_trim(0);
}

} // namespace zonara
