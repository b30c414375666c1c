/*
 * Counts the heap use of the process between start and stop: every malloc,
 * calloc, realloc and free (and so every operator new and delete) of the
 * program that links heapCounter.cpp goes through the counter.
 */
#ifndef BLOBXML_HEAPCOUNTER_H
#define BLOBXML_HEAPCOUNTER_H

#include <cstddef>

namespace bench {

struct HeapUse {
   size_t peakBytes;   /* highest live heap above the level at start */
   size_t allocations; /* blocks obtained, reallocations included */
   size_t totalBytes;  /* bytes of all blocks obtained */
};

/* Starts counting from the heap level of this moment. */
void heapCountStart();
/* Stops counting and returns what was counted since heapCountStart. */
HeapUse heapCountStop();

}

#endif
