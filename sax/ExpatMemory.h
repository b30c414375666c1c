/*
 * Memory of the pooled Expat parsers of one thread. A parser allocates a
 * few hundred small blocks for every document (a record per distinct
 * element name, hash tables, tag records) and gives them all back when it
 * is reset for the next one. Blocks of up to 256 octets are kept in lists
 * by size and handed out again, for a fraction of the general allocator's
 * work; larger ones (the copy of the document) go to it directly.
 */
#ifndef BLOBXML_EXPATMEMORY_H
#define BLOBXML_EXPATMEMORY_H

#include <expat.h>

#include <cstddef>

class ExpatMemory {
public:
   /* The memory of the parsers that this thread makes while the object
      lives; one per thread, and a parser it served is freed before it
      goes. */
   ExpatMemory();
   ~ExpatMemory();
   ExpatMemory(const ExpatMemory&) = delete;
   ExpatMemory& operator=(const ExpatMemory&) = delete;

   /* The functions to give XML_ParserCreate_MM. */
   static const XML_Memory_Handling_Suite* suite();

private:
   /* Kept blocks hold 16, 32, ... 256 octets; a size keeps this many of
      them at most, and gives further ones back. */
   static const size_t kSizes = 16;
   static const unsigned kMaxKept = 128;

   struct FreeBlock {
      FreeBlock* next;
   };

   static void* allocate(size_t size);
   static void* reallocate(void* block, size_t size);
   static void release(void* block);

   FreeBlock* mFree[kSizes] = {};
   unsigned mKept[kSizes] = {};
};

#endif
