#include "memorypolicy.h"

#include <malloc.h>

namespace zonara {

void applyProcessMemoryPolicy()
{
    // Pages and their texts go back to the system as soon as they are freed. Left to itself,
    // malloc raises this threshold to the size of the first such block freed, after which the
    // next pages land in the heaps, where what is freed stays resident.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}

void giveBackFreedMemory()
{
    // What a read freed outside its own mappings lies in this thread's heap, much of it in the
    // middle, where malloc would keep it resident for good: give it back to the system.
    ::malloc_trim(0);
}

} // namespace zonara
