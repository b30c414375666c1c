/*
 * Heap counting by interposition: this unit defines the C allocation
 * functions and forwards them to the C library's own entry points, sizing
 * every block with malloc_usable_size. glibc only; single-threaded use.
 */
#include "heapCounter.h"

#include <malloc.h>

#include <cerrno>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {

bool counting = false;
size_t liveBytes = 0;
bench::HeapUse use;

void gained(void* block) {
   if (!counting || block == nullptr) return;
   size_t size = malloc_usable_size(block);
   liveBytes += size;
   ++use.allocations;
   use.totalBytes += size;
   if (liveBytes > use.peakBytes) use.peakBytes = liveBytes;
}

/* A block from before the start may go while counting; the level stops at
   the start, since only the use above it is measured. */
void dropped(size_t size) { liveBytes = liveBytes > size ? liveBytes - size : 0; }

void lost(void* block) {
   if (counting && block != nullptr) dropped(malloc_usable_size(block));
}

}

extern "C" {

void* malloc(size_t size) noexcept {
   void* block = __libc_malloc(size);
   gained(block);
   return block;
}

void* calloc(size_t count, size_t size) noexcept {
   void* block = __libc_calloc(count, size);
   gained(block);
   return block;
}

void* realloc(void* block, size_t size) noexcept {
   size_t before = counting && block != nullptr ? malloc_usable_size(block) : 0;
   void* moved = __libc_realloc(block, size);
   /* A failed reallocation keeps the block; realloc to 0 frees it. */
   if (moved == nullptr && size != 0) return nullptr;
   dropped(before);
   gained(moved);
   return moved;
}

void free(void* block) noexcept {
   lost(block);
   __libc_free(block);
}

void* memalign(size_t alignment, size_t size) noexcept {
   void* block = __libc_memalign(alignment, size);
   gained(block);
   return block;
}

void* aligned_alloc(size_t alignment, size_t size) noexcept { return memalign(alignment, size); }

int posix_memalign(void** result, size_t alignment, size_t size) noexcept {
   void* block = memalign(alignment, size);
   if (block == nullptr) return ENOMEM;
   *result = block;
   return 0;
}
}

namespace bench {

void heapCountStart() {
   use = HeapUse{0, 0, 0};
   liveBytes = 0;
   counting = true;
}

HeapUse heapCountStop() {
   counting = false;
   return use;
}

}
