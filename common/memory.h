// The core's one door to the heap. Every allocation the readers, the list and the tidy-ups
// make goes through it, so a test can make the Nth fail and check that the failure is told
// and nothing is lost.
#pragma once

#include <cstddef>

// malloc, calloc, realloc and free; null when no memory could be had.
void *allocateMemory(size_t size);
void *allocateZeroed(size_t count, size_t size);
void *resizeMemory(void *block, size_t size);
void freeMemory(void *block);

// Fault injection for tests: the Nth allocation from now on fails (1 is the next one); 0
// turns injection off.
void failAllocationAt(long n);
// How many allocations were asked for since injection was last set.
long allocationCount();
