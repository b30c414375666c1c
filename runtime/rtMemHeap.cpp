/*
 * Memory heap. A block whose allocation hook is the default malloc and
 * which is small is carved from a larger chunk of the heap's own: a decoded
 * message is hundreds of small blocks that live and die together, and one
 * allocator call per chunk instead of per block is most of the difference
 * in speed. Every other block is one call of the allocation hook, linked
 * into a doubly linked list, so that a replaced hook (a program's own
 * allocator, a test counting or failing allocations) still sees each block.
 * Single blocks free in constant time either way, and the whole heap frees
 * in one walk of each list.
 */
#include "rtMemHeap.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
/* Carved memory that no live block holds stays poisoned, so that the
   sanitizer build still reports a use after free or an overrun of a carved
   block as it does for one from malloc. */
#define HEAP_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define HEAP_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define HEAP_POISON(p, n) ((void)(p), (void)(n))
#define HEAP_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace {

/* Both kinds of block end their header with the caller's size and the
   kind, right before the caller's area, so that the size is found the same
   way for either. */
enum BlockKind : ASN1UINT { kHookBlock = 0x484B, kCarvedBlock = 0x4356 };

struct BlockTail {
   ASN1UINT size; /* size the caller asked for */
   ASN1UINT kind;
};

}

/* A block from the allocation hook: 24 bytes on 64-bit hosts, a multiple
   of 8 so the caller's area keeps the allocator's alignment. */
struct ASN1MemBlock {
   ASN1MemBlock* next; /* next older block */
   ASN1MemBlock* prev; /* next newer block, null for the head */
   BlockTail tail;
};

/* A chunk carries its own links, the number of live blocks carved from it
   and its end; the blocks follow the header. */
struct ASN1MemChunk {
   ASN1MemChunk* older;
   ASN1MemChunk* newer;
   unsigned char* end;
   size_t live;
};

namespace {

using Chunk = ASN1MemChunk;

/* A carved block: 16 bytes, and carved blocks start on 16-byte boundaries
   of their chunk, so the area is aligned as malloc's is. */
struct CarvedBlock {
   Chunk* chunk;
   BlockTail tail;
};

const size_t kAlign = 16;
const size_t kHookHeader = (sizeof(ASN1MemBlock) + 7u) & ~static_cast<size_t>(7u);
const size_t kCarvedHeader = sizeof(CarvedBlock);
const size_t kChunkHeader = (sizeof(Chunk) + kAlign - 1) & ~(kAlign - 1);
static_assert(kCarvedHeader % kAlign == 0, "carved areas keep malloc's alignment");

/* Requests up to this size are carved; bigger ones (growing buffers,
   copies of long contents) go to the hook. */
const size_t kCarveLimit = 512;
/* The first chunk of a heap, and the largest: a certificate fits in the
   first, and a big message does not waste much on a part-used last one. */
const size_t kFirstChunk = 4096;
const size_t kLargestChunk = 65536;

size_t carvedSpan(size_t nbytes) { return (kCarvedHeader + nbytes + kAlign - 1) & ~(kAlign - 1); }

BlockTail* tailOf(const void* mem_p) {
   return reinterpret_cast<BlockTail*>(const_cast<unsigned char*>(
      static_cast<const unsigned char*>(mem_p) - sizeof(BlockTail)));
}

ASN1MemBlock* hookBlockOf(const void* mem_p) {
   return reinterpret_cast<ASN1MemBlock*>(
      const_cast<unsigned char*>(static_cast<const unsigned char*>(mem_p)) - kHookHeader);
}

CarvedBlock* carvedBlockOf(const void* mem_p) {
   return reinterpret_cast<CarvedBlock*>(
      const_cast<unsigned char*>(static_cast<const unsigned char*>(mem_p)) - kCarvedHeader);
}

unsigned char* chunkStart(Chunk* chunk) {
   return reinterpret_cast<unsigned char*>(chunk) + kChunkHeader;
}

bool carves() { return g_malloc_func == rtDefaultMalloc && g_free_func == rtDefaultFree; }

/* Frees a chunk other than the current one, which always has a newer. */
void unlinkChunk(Chunk* chunk) {
   if (chunk->older != nullptr) chunk->older->newer = chunk->newer;
   chunk->newer->older = chunk->older;
   std::free(chunk);
}

/* A new chunk, twice the size of the last up to the largest, becomes the
   one blocks are carved from. */
bool addChunk(ASN1MemHeap* heap) {
   size_t size = kFirstChunk;
   if (heap->chunk != nullptr) {
      const unsigned char* last = reinterpret_cast<unsigned char*>(heap->chunk);
      const size_t lastSize = static_cast<size_t>(heap->chunk->end - last);
      size = lastSize < kLargestChunk ? 2 * lastSize : kLargestChunk;
   }
   Chunk* chunk = static_cast<Chunk*>(std::malloc(size));
   if (chunk == nullptr) return false;
   chunk->older = heap->chunk;
   chunk->newer = nullptr;
   chunk->end = reinterpret_cast<unsigned char*>(chunk) + size;
   chunk->live = 0;
   if (heap->chunk != nullptr) heap->chunk->newer = chunk;
   heap->chunk = chunk;
   heap->carveAt = chunkStart(chunk);
   HEAP_POISON(heap->carveAt, static_cast<size_t>(chunk->end - heap->carveAt));
   return true;
}

void* carve(ASN1MemHeap* heap, size_t nbytes) {
   const size_t span = carvedSpan(nbytes);
   if (heap->chunk == nullptr || static_cast<size_t>(heap->chunk->end - heap->carveAt) < span) {
      if (!addChunk(heap)) return nullptr;
   }
   HEAP_UNPOISON(heap->carveAt, kCarvedHeader + nbytes);
   CarvedBlock* block = reinterpret_cast<CarvedBlock*>(heap->carveAt);
   block->chunk = heap->chunk;
   block->tail = {static_cast<ASN1UINT>(nbytes), kCarvedBlock};
   heap->carveAt += span;
   heap->chunk->live++;
   return reinterpret_cast<unsigned char*>(block) + kCarvedHeader;
}

/* The last block carved gives its room back at once, so that scratch
   blocks freed in turn do not add up; a chunk none of whose blocks lives is
   reused when it is the current one and freed otherwise. */
void freeCarved(ASN1MemHeap* heap, void* mem_p) {
   CarvedBlock* block = carvedBlockOf(mem_p);
   Chunk* chunk = block->chunk;
   const size_t span = carvedSpan(block->tail.size);
   if (chunk == heap->chunk && reinterpret_cast<unsigned char*>(block) + span == heap->carveAt)
      heap->carveAt = reinterpret_cast<unsigned char*>(block);
   HEAP_POISON(block, span);
   if (--chunk->live > 0) return;
   if (chunk == heap->chunk) {
      heap->carveAt = chunkStart(chunk);
      return;
   }
   unlinkChunk(chunk);
}

void* allocFromHook(ASN1MemHeap* heap, size_t nbytes) {
   ASN1MemBlock* block =
      static_cast<ASN1MemBlock*>(g_malloc_func(heap->allocArg, kHookHeader + nbytes));
   if (block == nullptr) return nullptr;
   block->next = heap->head;
   block->prev = nullptr;
   block->tail = {static_cast<ASN1UINT>(nbytes), kHookBlock};
   if (heap->head != nullptr) heap->head->prev = block;
   heap->head = block;
   return reinterpret_cast<unsigned char*>(block) + kHookHeader;
}

void freeToHook(ASN1MemHeap* heap, void* mem_p) {
   ASN1MemBlock* block = hookBlockOf(mem_p);
   if (block->next != nullptr) block->next->prev = block->prev;
   if (block->prev != nullptr) block->prev->next = block->next;
   else heap->head = block->next;
   g_free_func(heap->allocArg, block);
}

}

void* rtDefaultMalloc(void*, size_t size) { return std::malloc(size); }
void rtDefaultFree(void*, void* ptr) { std::free(ptr); }

ASN1MallocFunc g_malloc_func = rtDefaultMalloc;
ASN1FreeFunc g_free_func = rtDefaultFree;

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
   if (nbytes <= kCarveLimit && carves()) return carve(heap, nbytes);
   return allocFromHook(heap, nbytes);
}

void* rtMemHeapAllocZ(void** ppvMemHeap, size_t nbytes) {
   void* mem_p = rtMemHeapAlloc(ppvMemHeap, nbytes);
   if (mem_p != nullptr) std::memset(mem_p, 0, nbytes);
   return mem_p;
}

void rtMemHeapFreePtr(void** ppvMemHeap, void* mem_p) {
   if (ppvMemHeap == nullptr || *ppvMemHeap == nullptr || mem_p == nullptr) return;
   ASN1MemHeap* heap = static_cast<ASN1MemHeap*>(*ppvMemHeap);
   if (tailOf(mem_p)->kind == kCarvedBlock) freeCarved(heap, mem_p);
   else freeToHook(heap, mem_p);
}

void* rtMemHeapRealloc(void** ppvMemHeap, void* mem_p, size_t nbytes) {
   if (ppvMemHeap == nullptr || *ppvMemHeap == nullptr) return nullptr;
   if (mem_p == nullptr) return rtMemHeapAlloc(ppvMemHeap, nbytes);
   BlockTail* tail = tailOf(mem_p);
   if (tail->size >= nbytes) {
      tail->size = static_cast<ASN1UINT>(nbytes);
      return mem_p;
   }
   void* grown = rtMemHeapAlloc(ppvMemHeap, nbytes);
   if (grown == nullptr) return nullptr;
   std::memcpy(grown, mem_p, tail->size);
   rtMemHeapFreePtr(ppvMemHeap, mem_p);
   return grown;
}

ASN1UINT rtMemHeapBlockSize(const void* mem_p) {
   return mem_p == nullptr ? 0 : tailOf(mem_p)->size;
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
   Chunk* chunk = heap->chunk;
   while (chunk != nullptr) {
      Chunk* older = chunk->older;
      std::free(chunk);
      chunk = older;
   }
   if (heap->flags & RT_MH_FREEHEAPDESC) g_free_func(heap->allocArg, heap);
   *ppvMemHeap = nullptr;
}
