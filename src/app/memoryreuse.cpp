// Keeps the memory that the panes let go of for the texts that come next.
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/memoryreuse.h"

#include <cstdlib> // which says whether this is the GNU C library

#ifdef __GLIBC__
#include <malloc.h>
#endif

void keepFreedMemoryForReuse()
{
#ifdef __GLIBC__
    // Blocks up to 32 MiB (the most the C library allows) come from the heap, and the heap
    // gives memory back to the system only when 256 MiB of it are free at its end.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}
