/*
 * Memory heap: a reference-counted set of individually allocated blocks that
 * can be freed one by one or all at once, and ASN1MemBuf, a growable byte
 * buffer on top of a context's heap.
 */
#ifndef BLOBXML_RTMEMHEAP_H
#define BLOBXML_RTMEMHEAP_H

#include "asn1type.h"

/* Set in a heap record allocated by rtMemHeapCreate: freed at count zero. */
#define RT_MH_FREEHEAPDESC 0x10000000u

/* Largest size a caller may ask for; the header must still fit in 32 bits. */
#define RT_MH_MAXALLOC 0x7FFFFFE7u

struct ASN1MemBlock;
struct ASN1MemChunk;

struct ASN1MemHeap {
   ASN1MemBlock* head; /* most recently allocated live block from the hook */
   ASN1UINT refCount;
   ASN1UINT flags;
   void* allocArg;          /* handed unchanged to the allocation hooks */
   ASN1MemChunk* chunk;     /* newest chunk small blocks are carved from */
   unsigned char* carveAt;  /* where the next block is carved in it */
};

/* The allocation hooks heap records and blocks go through, with the heap's
   allocArg. They default to malloc and free; a program (or a test counting
   or failing allocations) may replace them before any heap exists, and then
   every block is one call of the hook. With the defaults, blocks of up to
   512 octets are carved from chunks the heap takes from malloc. */
typedef void* (*ASN1MallocFunc)(void* allocArg, size_t size);
typedef void (*ASN1FreeFunc)(void* allocArg, void* ptr);

extern ASN1MallocFunc g_malloc_func;
extern ASN1FreeFunc g_free_func;

/* malloc and free; allocArg is ignored. */
void* rtDefaultMalloc(void* allocArg, size_t size);
void rtDefaultFree(void* allocArg, void* ptr);

/* Puts a new empty heap, counted once and freed at count zero, into the
   slot. RTS_BAD_ARGUMENT for a null slot, RTS_NO_MEMORY. */
int rtMemHeapCreate(void** ppvMemHeap, void* allocArg);

/* One block of nbytes from the heap in the slot (created there first when
   the slot is empty). Null for a null slot, a size above RT_MH_MAXALLOC or
   when the hook fails. The address is aligned like malloc's. */
void* rtMemHeapAlloc(void** ppvMemHeap, size_t nbytes);
/* The same, with the nbytes set to zero. */
void* rtMemHeapAllocZ(void** ppvMemHeap, size_t nbytes);

/* Gives one block back. A null slot, empty slot or null pointer does
   nothing; any other pointer must come from this heap and be live. */
void rtMemHeapFreePtr(void** ppvMemHeap, void* mem_p);

/* Resizes a block: a null mem_p allocates; a smaller size keeps the block
   and records the new size; a larger one moves the contents to a new block
   and frees the old. Null for a null or empty slot or without memory, the
   old block then left as it was. */
void* rtMemHeapRealloc(void** ppvMemHeap, void* mem_p, size_t nbytes);

/* Blocks are not looked up by address: the check claims every pointer (1)
   and blocks cannot be kept past the heap's release (0, nothing marked). */
int rtMemHeapCheckPtr(void** ppvMemHeap, const void* mem_p);
int rtMemHeapMarkSaved(void** ppvMemHeap, const void* mem_p, ASN1BOOL flag);

/* Count one more user of the heap in the slot, or one fewer: at zero every
   live block and the heap record are freed and the slot is emptied. Both
   do nothing for a null or empty slot. */
void rtMemHeapAddRef(void** ppvMemHeap);
void rtMemHeapRelease(void** ppvMemHeap);

/* Size the caller asked for when the block was (re)allocated; 0 for null. */
ASN1UINT rtMemHeapBlockSize(const void* mem_p);

/* Shorthands over a context's memory heap. */
#define ASN1MALLOC(pctxt, nbytes) rtMemHeapAlloc(&(pctxt)->typeMemHeap, nbytes)
#define ASN1MALLOCZ(pctxt, nbytes) rtMemHeapAllocZ(&(pctxt)->typeMemHeap, nbytes)
#define ASN1MEMFREEPTR(pctxt, mem_p) rtMemHeapFreePtr(&(pctxt)->typeMemHeap, (void*)(mem_p))
#define ASN1REALLOC(pctxt, mem_p, nbytes) \
   rtMemHeapRealloc(&(pctxt)->typeMemHeap, (void*)(mem_p), nbytes)

/* Frees each node's open-type octets (unless borrowed), then the whole
   extension list. */
void rtMemFreeOpenSeqExt(ASN1CTXT* pctxt, Asn1RTDList* pElemList);

struct ASN1MemBuf {
   ASN1CTXT* pctxt;      /* its typeMemHeap supplies the storage */
   ASN1UINT segsize;     /* unit of growth, never 0 */
   ASN1UINT startidx;    /* first valid byte */
   ASN1UINT usedcnt;     /* bytes written so far */
   ASN1UINT bufsize;     /* capacity of the storage */
   ASN1UINT bitOffset;   /* bits already used in the last byte */
   ASN1OCTET* buffer;    /* null until the first growth */
   ASN1UINT8 isDynamic;  /* storage belongs to the heap */
};

/* An empty buffer on pctxt's value heap growing by segsize octets. */
void rtMemBufInit(ASN1CTXT* pctxt, ASN1MemBuf* pMemBuf, ASN1UINT segsize);
/* Empties the buffer and keeps its storage. */
void rtMemBufReset(ASN1MemBuf* pMemBuf);
/* Makes room for nbytes more, rounding the capacity up to whole segments;
   the contents move with the storage. 0 or RTS_NO_MEMORY (contents kept). */
int rtMemBufPreAllocate(ASN1MemBuf* pMemBuf, ASN1UINT nbytes);
/* Appends nbytes of pdata (a null pdata only makes room), or nbytes copies
   of value. 0 or RTS_NO_MEMORY, the buffer then unchanged. */
int rtMemBufAppend(ASN1MemBuf* pMemBuf, const ASN1OCTET* pdata, ASN1UINT nbytes);
int rtMemBufSet(ASN1MemBuf* pMemBuf, ASN1OCTET value, ASN1UINT nbytes);
/* The valid bytes (null before the first growth) and their count. */
ASN1OCTET* rtMemBufGetData(ASN1MemBuf* pMemBuf, int* length);
/* Gives the storage back to the heap when the buffer owns it. */
void rtMemBufFree(ASN1MemBuf* pMemBuf);

#endif
