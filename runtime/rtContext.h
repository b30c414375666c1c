/*
 * Life of the codec context (init, buffer set-up, copy, free), its flags,
 * and the error recording routines: the first failure status wins.
 */
#ifndef BLOBXML_RTCONTEXT_H
#define BLOBXML_RTCONTEXT_H

#include "asn1type.h"

int rtInitContext(ASN1CTXT* pctxt, void* allocArg);
int rtInitContextBuffer(ASN1CTXT* pctxt, ASN1OCTET* bufaddr, ASN1UINT bufsiz);
void rtFreeContext(ASN1CTXT* pctxt);
void rtCopyContext(ASN1CTXT* pdest, const ASN1CTXT* psrc);
void rtCtxtSetFlag(ASN1CTXT* pctxt, ASN1UINT mask);
void rtCtxtClearFlag(ASN1CTXT* pctxt, ASN1UINT mask);
void rtCtxtSetMemHeap(ASN1CTXT* pctxt, ASN1CTXT* pSrcCtxt);
void rtCtxtSetMsgMemHeap(ASN1CTXT* pctxt, ASN1CTXT* pSrcCtxt);

/* Error information. Parameters and texts are accepted and discarded. */
int rtErrSetData(ASN1ErrInfo* pErrInfo, int status, const char* module, int lineno);
int rtErrReset(ASN1ErrInfo* pErrInfo);
int rtErrCopyData(const ASN1ErrInfo* pSrcErrInfo, ASN1ErrInfo* pDestErrInfo);
int rtErrPrint(const ASN1ErrInfo* pErrInfo);
const char* rtErrGetText(ASN1CTXT* pctxt);
int rtErrAddStrParm(ASN1ErrInfo* pErrInfo, const char* errprm_p);
int rtErrAddIntParm(ASN1ErrInfo* pErrInfo, int errParm);

/* Where a failure lies (see ASN1ErrInfo). The element is kept only when none
   is recorded yet, so the innermost one stays. A step's name is copied; the
   steps belong to the error information, which gives them back when it is
   reset (rtErrReset, rtFreeContext) or its path is cleared. */
void rtErrSetElement(ASN1CTXT* pctxt, const ASN1OCTET* element);
void rtErrAddPathStep(ASN1CTXT* pctxt, const char* name, ASN1UINT index);
void rtErrClearPath(ASN1ErrInfo* pErrInfo);

int xu_error(ASN1CTXT* pctxt, int status, const char* module = nullptr, int lineno = 0);
const char* xu_fmtErrMsg(ASN1CTXT* pctxt, char* bufp = nullptr);
int xu_addErrParm(ASN1CTXT* pctxt, const char* errprm_p);
int xu_addIntErrParm(ASN1CTXT* pctxt, int errParm);
int xu_addUnsignedErrParm(ASN1CTXT* pctxt, unsigned int errParm);
int xu_addTagErrParm(ASN1CTXT* pctxt, ASN1TAG errParm);
ASN1CTXT* xu_freeErrParms(ASN1CTXT* pctxt);
ASN1CTXT* xu_log_error(ASN1CTXT* pctxt, ...);

/* Saves position and flags into a slot (the context's savedState when null). */
void xu_SaveBufferState(ASN1CTXT* pctxt, ASN1BUFSAVE* pSavedInfo);
void xu_RestoreBufferState(ASN1CTXT* pctxt, ASN1BUFSAVE* pSavedInfo);

/* Records a status in the context with the source location. */
#define LOG_ASN1ERR(pctxt, stat) xu_error(pctxt, stat, __FILE__, __LINE__)

#endif
