// Keeps the memory that the panes let go of for the texts that come next.
// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MEMORYREUSE_H
#define MEMORYREUSE_H

// A pane keeps its text in one buffer of several megabytes, which Qt copies into a new buffer
// when it grows and when it sheds the text of trimmed texts. The C library maps buffers that
// large from the system afresh and gives them back when they are freed, and every page of a
// fresh mapping costs the system a fault when first written: about 15 us each on a virtual
// machine, so one copy of a pane's 6 MB stalled the window for 20 ms, and four panes filling
// together for over 100 ms. This keeps buffers in the program's heap, where one that is freed
// is there, already written, for the next copy. Call it first thing in main().
void keepFreedMemoryForReuse();

#endif // MEMORYREUSE_H
