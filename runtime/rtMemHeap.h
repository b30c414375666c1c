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

struct ASN1MemHeap {
   ASN1MemBlock* head; /* most recently allocated live block */
   ASN1UINT refCount;
   ASN1UINT flags;
   void* allocArg; /* handed unchanged to the allocation hooks */
};

typedef void* (*ASN1MallocFunc)(void* allocArg, size_t size);
typedef void (*ASN1FreeFunc)(void* allocArg, void* ptr);

extern ASN1MallocFunc g_malloc_func;
extern ASN1FreeFunc g_free_func;

void* rtDefaultMalloc(void* allocArg, size_t size);
void rtDefaultFree(void* allocArg, void* ptr);

int rtMemHeapCreate(void** ppvMemHeap, void* allocArg);
void* rtMemHeapAlloc(void** ppvMemHeap, size_t nbytes);
void* rtMemHeapAllocZ(void** ppvMemHeap, size_t nbytes);
void rtMemHeapFreePtr(void** ppvMemHeap, void* mem_p);
void* rtMemHeapRealloc(void** ppvMemHeap, void* mem_p, size_t nbytes);
int rtMemHeapCheckPtr(void** ppvMemHeap, const void* mem_p);
int rtMemHeapMarkSaved(void** ppvMemHeap, const void* mem_p, ASN1BOOL flag);
void rtMemHeapAddRef(void** ppvMemHeap);
void rtMemHeapRelease(void** ppvMemHeap);

/* Size the caller asked for when the block was (re)allocated. */
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

void rtMemBufInit(ASN1CTXT* pctxt, ASN1MemBuf* pMemBuf, ASN1UINT segsize);
void rtMemBufReset(ASN1MemBuf* pMemBuf);
int rtMemBufPreAllocate(ASN1MemBuf* pMemBuf, ASN1UINT nbytes);
int rtMemBufAppend(ASN1MemBuf* pMemBuf, const ASN1OCTET* pdata, ASN1UINT nbytes);
int rtMemBufSet(ASN1MemBuf* pMemBuf, ASN1OCTET value, ASN1UINT nbytes);
ASN1OCTET* rtMemBufGetData(ASN1MemBuf* pMemBuf, int* length);
void rtMemBufFree(ASN1MemBuf* pMemBuf);

#endif
