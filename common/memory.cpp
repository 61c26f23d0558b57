#include "common/memory.h"

#include <cstdlib>

static long allocations;
static long failingAllocation;

// Counts one allocation; true when the test asked this one to fail.
static bool injectedFailure()
{
    allocations++;
    return failingAllocation != 0 && allocations == failingAllocation;
}

void failAllocationAt(long n)
{
    allocations = 0;
    failingAllocation = n;
}

long allocationCount()
{
    return allocations;
}

void *allocateMemory(size_t size)
{
    return injectedFailure() ? nullptr : malloc(size);
}

void *allocateZeroed(size_t count, size_t size)
{
    return injectedFailure() ? nullptr : calloc(count, size);
}

void *resizeMemory(void *block, size_t size)
{
    return injectedFailure() ? nullptr : realloc(block, size);
}

void freeMemory(void *block)
{
    free(block);
}
