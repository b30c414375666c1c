/*
 * Size-sorted lists of the small blocks of the pooled Expat parsers.
 */
#include "ExpatMemory.h"

#include <cstdlib>
#include <cstring>

namespace {

/* Every block starts with its size class (1 to 16 for a kept size, 0 for
   a larger block) and its capacity; a header of this size keeps the
   alignment that the general allocator gives. */
struct alignas(std::max_align_t) Header {
   size_t sizeClass;
   size_t capacity;
};

const size_t kGrain = 16;

thread_local ExpatMemory* tMemory = nullptr;

Header* headerOf(void* block) { return static_cast<Header*>(block) - 1; }

}

ExpatMemory::ExpatMemory() { tMemory = this; }

ExpatMemory::~ExpatMemory() {
   tMemory = nullptr;
   for (FreeBlock*& list : mFree) {
      while (list != nullptr) {
         FreeBlock* next = list->next;
         std::free(headerOf(list));
         list = next;
      }
   }
}

const XML_Memory_Handling_Suite* ExpatMemory::suite() {
   static const XML_Memory_Handling_Suite functions = {allocate, reallocate, release};
   return &functions;
}

void* ExpatMemory::allocate(size_t size) {
   const size_t sizeClass = size == 0 ? 1 : (size + kGrain - 1) / kGrain;
   ExpatMemory* memory = tMemory;
   if (sizeClass <= kSizes && memory != nullptr) {
      FreeBlock*& list = memory->mFree[sizeClass - 1];
      if (list != nullptr) {
         FreeBlock* block = list;
         list = block->next;
         memory->mKept[sizeClass - 1]--;
         return block;
      }
   }
   const bool kept = sizeClass <= kSizes;
   const size_t capacity = kept ? sizeClass * kGrain : size;
   if (capacity > static_cast<size_t>(-1) - sizeof(Header)) return nullptr;
   Header* header = static_cast<Header*>(std::malloc(sizeof(Header) + capacity));
   if (header == nullptr) return nullptr;
   header->sizeClass = kept ? sizeClass : 0;
   header->capacity = capacity;
   return header + 1;
}

void ExpatMemory::release(void* block) {
   if (block == nullptr) return;
   Header* header = headerOf(block);
   ExpatMemory* memory = tMemory;
   const size_t sizeClass = header->sizeClass;
   if (sizeClass == 0 || memory == nullptr || memory->mKept[sizeClass - 1] >= kMaxKept) {
      std::free(header);
      return;
   }
   FreeBlock* freed = static_cast<FreeBlock*>(block);
   freed->next = memory->mFree[sizeClass - 1];
   memory->mFree[sizeClass - 1] = freed;
   memory->mKept[sizeClass - 1]++;
}

void* ExpatMemory::reallocate(void* block, size_t size) {
   if (block == nullptr) return allocate(size);
   Header* header = headerOf(block);
   if (size <= header->capacity && (header->sizeClass != 0 || size > kSizes * kGrain)) {
      return block;
   }
   if (header->sizeClass == 0 && size > kSizes * kGrain) {
      if (size > static_cast<size_t>(-1) - sizeof(Header)) return nullptr;
      Header* grown = static_cast<Header*>(std::realloc(header, sizeof(Header) + size));
      if (grown == nullptr) return nullptr;
      grown->capacity = size;
      return grown + 1;
   }
   void* moved = allocate(size);
   if (moved == nullptr) return nullptr;
   std::memcpy(moved, block, header->capacity < size ? header->capacity : size);
   release(block);
   return moved;
}
