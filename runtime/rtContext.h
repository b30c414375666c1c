/*
 * Life of the codec context (init, buffer set-up, copy, free), its flags,
 * heap sharing, and the error recording routines: the first failure status
 * wins. Every codec routine takes the context first.
 */
#ifndef BLOBXML_RTCONTEXT_H
#define BLOBXML_RTCONTEXT_H

#include "asn1type.h"

/* Prepares a context: zeroes it, marks it initialised and creates one memory
   heap that both slots (typeMemHeap for values, msgMemHeap for message
   buffers) share with a count of two. allocArg reaches the allocation hooks.
   0, or RTS_NO_MEMORY when the heap record cannot be allocated. */
int rtInitContext(ASN1CTXT* pctxt, void* allocArg);

/* Sets the message buffer: bufaddr of bufsiz octets, not owned; or with a
   null bufaddr a block of bufsiz octets (16384 when 0) from msgMemHeap,
   owned and freed with the context. Position 0. RTS_NOT_INITIALISED for a
   context rtInitContext has not prepared, RTS_NO_MEMORY. */
int rtInitContextBuffer(ASN1CTXT* pctxt, ASN1OCTET* bufaddr, ASN1UINT bufsiz);

/* Frees an owned message buffer, the stream, the failure path and the
   context's references to its heaps, and marks it uninitialised. Does
   nothing for a context that is not initialised, so a second call is safe. */
void rtFreeContext(ASN1CTXT* pctxt);

/* Frees the stream record attached by rtStreamInit and detaches it; 0, or
   RTS_BAD_ARGUMENT for a null context. It lives with the context, which owns
   the record and releases it in rtFreeContext, so that the context needs
   none of the stream routines. */
int rtStreamRelease(ASN1CTXT* pctxt);

/* Copies the buffer record (position, size, address, not the octets) and
   the flags; heaps and error information stay pdest's own. */
void rtCopyContext(ASN1CTXT* pdest, const ASN1CTXT* psrc);

/* Set or clear the CTXTF_* bits of mask in the context's flags. */
void rtCtxtSetFlag(ASN1CTXT* pctxt, ASN1UINT mask);
void rtCtxtClearFlag(ASN1CTXT* pctxt, ASN1UINT mask);

/* Makes pctxt share pSrcCtxt's value heap (typeMemHeap) or message heap
   (msgMemHeap): its own reference is released, the source's counted once
   more. Nothing happens for a null context or when they already share. */
void rtCtxtSetMemHeap(ASN1CTXT* pctxt, ASN1CTXT* pSrcCtxt);
void rtCtxtSetMsgMemHeap(ASN1CTXT* pctxt, ASN1CTXT* pSrcCtxt);

/* Error information. The first status recorded since the last reset is the
   one kept; parameters and texts are accepted and discarded, so the only
   printed form of a codec failure is "ASN.1 ERROR: Status <n>". */

/* Records status unless one is recorded already; returns status. */
int rtErrSetData(ASN1ErrInfo* pErrInfo, int status, const char* module, int lineno);
/* Forgets the status, the element and the path; returns 0. */
int rtErrReset(ASN1ErrInfo* pErrInfo);
/* Copies the status only; returns it. */
int rtErrCopyData(const ASN1ErrInfo* pSrcErrInfo, ASN1ErrInfo* pDestErrInfo);
/* Prints "ASN.1 ERROR: Status <n>" and a newline to standard output;
   returns what printf returned. */
int rtErrPrint(const ASN1ErrInfo* pErrInfo);
/* Always the empty text: no message texts are kept. */
const char* rtErrGetText(ASN1CTXT* pctxt);
/* Parameters are discarded; both return 1. */
int rtErrAddStrParm(ASN1ErrInfo* pErrInfo, const char* errprm_p);
int rtErrAddIntParm(ASN1ErrInfo* pErrInfo, int errParm);

/* Where a failure lies (see ASN1ErrInfo). The element is kept only when none
   is recorded yet, so the innermost one stays. A step's name is copied; the
   steps belong to the error information, which gives them back when it is
   reset (rtErrReset, rtFreeContext) or its path is cleared. */
void rtErrSetElement(ASN1CTXT* pctxt, const ASN1OCTET* element);
void rtErrAddPathStep(ASN1CTXT* pctxt, const char* name, ASN1UINT index);
void rtErrClearPath(ASN1ErrInfo* pErrInfo);

/* Records status in the context (rtErrSetData) and returns it; the
   usual way is LOG_ASN1ERR below, which passes the source location. */
int xu_error(ASN1CTXT* pctxt, int status, const char* module = nullptr, int lineno = 0);
/* Always the empty text. */
const char* xu_fmtErrMsg(ASN1CTXT* pctxt, char* bufp = nullptr);
/* Parameters are discarded; all return 1. */
int xu_addErrParm(ASN1CTXT* pctxt, const char* errprm_p);
int xu_addIntErrParm(ASN1CTXT* pctxt, int errParm);
int xu_addUnsignedErrParm(ASN1CTXT* pctxt, unsigned int errParm);
int xu_addTagErrParm(ASN1CTXT* pctxt, ASN1TAG errParm);
/* Nothing to free; both return pctxt. */
ASN1CTXT* xu_freeErrParms(ASN1CTXT* pctxt);
ASN1CTXT* xu_log_error(ASN1CTXT* pctxt, ...);

/* Saves the buffer position and the flags into a slot (the context's
   savedState when null); restoring puts them back. */
void xu_SaveBufferState(ASN1CTXT* pctxt, ASN1BUFSAVE* pSavedInfo);
void xu_RestoreBufferState(ASN1CTXT* pctxt, ASN1BUFSAVE* pSavedInfo);

/* Records a status in the context with the source location. */
#define LOG_ASN1ERR(pctxt, stat) xu_error(pctxt, stat, __FILE__, __LINE__)

#endif
