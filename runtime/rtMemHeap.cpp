/*
 * Memory heap: every allocation is one block from the allocation hook,
 * linked into a doubly linked list so that single blocks free in constant
 * time and the whole heap frees in one walk.
 */
#include "rtMemHeap.h"

#include <cstdlib>
#include <cstring>

/* Block header; 24 bytes on 64-bit hosts, padded to a multiple of 8 so the
   caller's area keeps the allocator's alignment. */
struct ASN1MemBlock {
   ASN1MemBlock* next; /* next older block */
   ASN1MemBlock* prev; /* next newer block, null for the head */
   ASN1UINT size;      /* size the caller asked for */
};

static const size_t kHeaderSize = (sizeof(ASN1MemBlock) + 7u) & ~static_cast<size_t>(7u);

void* rtDefaultMalloc(void*, size_t size) { return std::malloc(size); }
void rtDefaultFree(void*, void* ptr) { std::free(ptr); }

ASN1MallocFunc g_malloc_func = rtDefaultMalloc;
ASN1FreeFunc g_free_func = rtDefaultFree;

static ASN1MemBlock* blockOf(const void* mem_p) {
   return reinterpret_cast<ASN1MemBlock*>(
      const_cast<unsigned char*>(static_cast<const unsigned char*>(mem_p)) - kHeaderSize);
}

static void* areaOf(ASN1MemBlock* block) {
   return reinterpret_cast<unsigned char*>(block) + kHeaderSize;
}

int rtMemHeapCreate(void** ppvMemHeap, void* allocArg) {
   if (ppvMemHeap == nullptr) return RTS_BAD_ARGUMENT;
   ASN1MemHeap* heap = static_cast<ASN1MemHeap*>(g_malloc_func(allocArg, sizeof(ASN1MemHeap)));
   if (heap == nullptr) return RTS_NO_MEMORY;
   std::memset(heap, 0, sizeof(*heap));
   heap->refCount = 1;
   heap->flags = RT_MH_FREEHEAPDESC;
   heap->allocArg = allocArg;
   *ppvMemHeap = heap;
   return RTS_OK;
}

void* rtMemHeapAlloc(void** ppvMemHeap, size_t nbytes) {
   if (ppvMemHeap == nullptr || nbytes > RT_MH_MAXALLOC) return nullptr;
   if (*ppvMemHeap == nullptr && rtMemHeapCreate(ppvMemHeap, nullptr) != RTS_OK) return nullptr;
   ASN1MemHeap* heap = static_cast<ASN1MemHeap*>(*ppvMemHeap);
   ASN1MemBlock* block = static_cast<ASN1MemBlock*>(g_malloc_func(heap->allocArg, kHeaderSize + nbytes));
   if (block == nullptr) return nullptr;
   block->next = heap->head;
   block->prev = nullptr;
   block->size = static_cast<ASN1UINT>(nbytes);
   if (heap->head != nullptr) heap->head->prev = block;
   heap->head = block;
   return areaOf(block);
}

void* rtMemHeapAllocZ(void** ppvMemHeap, size_t nbytes) {
   void* mem_p = rtMemHeapAlloc(ppvMemHeap, nbytes);
   if (mem_p != nullptr) std::memset(mem_p, 0, nbytes);
   return mem_p;
}

void rtMemHeapFreePtr(void** ppvMemHeap, void* mem_p) {
   if (ppvMemHeap == nullptr || *ppvMemHeap == nullptr || mem_p == nullptr) return;
   ASN1MemHeap* heap = static_cast<ASN1MemHeap*>(*ppvMemHeap);
   ASN1MemBlock* block = blockOf(mem_p);
   if (block->next != nullptr) block->next->prev = block->prev;
   if (block->prev != nullptr) block->prev->next = block->next;
   else heap->head = block->next;
   g_free_func(heap->allocArg, block);
}

void* rtMemHeapRealloc(void** ppvMemHeap, void* mem_p, size_t nbytes) {
   if (ppvMemHeap == nullptr || *ppvMemHeap == nullptr) return nullptr;
   if (mem_p == nullptr) return rtMemHeapAlloc(ppvMemHeap, nbytes);
   ASN1MemBlock* block = blockOf(mem_p);
   if (block->size >= nbytes) {
      block->size = static_cast<ASN1UINT>(nbytes);
      return mem_p;
   }
   void* grown = rtMemHeapAlloc(ppvMemHeap, nbytes);
   if (grown == nullptr) return nullptr;
   std::memcpy(grown, mem_p, block->size);
   rtMemHeapFreePtr(ppvMemHeap, mem_p);
   return grown;
}

ASN1UINT rtMemHeapBlockSize(const void* mem_p) {
   return mem_p == nullptr ? 0 : blockOf(mem_p)->size;
}

int rtMemHeapCheckPtr(void**, const void*) { return 1; }

int rtMemHeapMarkSaved(void**, const void*, ASN1BOOL) { return 0; }

void rtMemHeapAddRef(void** ppvMemHeap) {
   if (ppvMemHeap == nullptr || *ppvMemHeap == nullptr) return;
   static_cast<ASN1MemHeap*>(*ppvMemHeap)->refCount++;
}

void rtMemHeapRelease(void** ppvMemHeap) {
   if (ppvMemHeap == nullptr || *ppvMemHeap == nullptr) return;
   ASN1MemHeap* heap = static_cast<ASN1MemHeap*>(*ppvMemHeap);
   if (--heap->refCount > 0) return;
   ASN1MemBlock* block = heap->head;
   while (block != nullptr) {
      ASN1MemBlock* next = block->next;
      g_free_func(heap->allocArg, block);
      block = next;
   }
   if (heap->flags & RT_MH_FREEHEAPDESC) g_free_func(heap->allocArg, heap);
   *ppvMemHeap = nullptr;
}
