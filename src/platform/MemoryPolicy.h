#pragma once

#include <malloc.h>

namespace MemoryPolicy {

// Decoded covers are tens of megabytes and come and go with each selection.
// A fixed threshold keeps every such block in its own mapping, returned to the
// system when freed; glibc's sliding threshold would otherwise move them into
// the heap arenas of the worker threads, which keep the memory.
inline void apply() {
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
}

} // namespace MemoryPolicy
