/*
 * Error recording. Only the first failure status since the last reset is
 * kept; parameters and texts are accepted and discarded, so the one printed
 * form of a codec error is "ASN.1 ERROR: Status %d".
 */
#include <cstdio>
#include <cstring>

#include <cstdlib>

#include "rtContext.h"

static const char kEmptyText[] = "";

int rtErrSetData(ASN1ErrInfo* pErrInfo, int status, const char*, int) {
   if (pErrInfo->status == 0) pErrInfo->status = status;
   return status;
}

int rtErrReset(ASN1ErrInfo* pErrInfo) {
   pErrInfo->status = 0;
   pErrInfo->element = nullptr;
   rtErrClearPath(pErrInfo);
   return 0;
}

void rtErrClearPath(ASN1ErrInfo* pErrInfo) {
   while (pErrInfo->path != nullptr) {
      ASN1ErrPathStep* step = pErrInfo->path;
      pErrInfo->path = step->next;
      std::free(step);
   }
}

void rtErrSetElement(ASN1CTXT* pctxt, const ASN1OCTET* element) {
   if (pctxt->errInfo.element == nullptr) pctxt->errInfo.element = element;
}

/* Step and name share one block of the process allocator, so that the
   path stays out of the values' heap. Without memory the step is left out:
   the failure itself is reported all the same. */
void rtErrAddPathStep(ASN1CTXT* pctxt, const char* name, ASN1UINT index) {
   const size_t nameSize = name != nullptr ? std::strlen(name) + 1 : 0;
   char* block = static_cast<char*>(std::malloc(sizeof(ASN1ErrPathStep) + nameSize));
   if (block == nullptr) return;
   ASN1ErrPathStep* step = reinterpret_cast<ASN1ErrPathStep*>(block);
   step->name = nullptr;
   if (name != nullptr) {
      char* copy = block + sizeof(ASN1ErrPathStep);
      std::memcpy(copy, name, nameSize);
      step->name = copy;
   }
   step->index = index;
   step->next = pctxt->errInfo.path;
   pctxt->errInfo.path = step;
}

int rtErrCopyData(const ASN1ErrInfo* pSrcErrInfo, ASN1ErrInfo* pDestErrInfo) {
   pDestErrInfo->status = pSrcErrInfo->status;
   return pDestErrInfo->status;
}

int rtErrPrint(const ASN1ErrInfo* pErrInfo) {
   return std::printf("ASN.1 ERROR: Status %d\n", pErrInfo->status);
}

const char* rtErrGetText(ASN1CTXT*) { return kEmptyText; }

int rtErrAddStrParm(ASN1ErrInfo*, const char*) { return 1; }
int rtErrAddIntParm(ASN1ErrInfo*, int) { return 1; }

int xu_error(ASN1CTXT* pctxt, int status, const char* module, int lineno) {
   return rtErrSetData(&pctxt->errInfo, status, module, lineno);
}

const char* xu_fmtErrMsg(ASN1CTXT*, char*) { return kEmptyText; }

int xu_addErrParm(ASN1CTXT*, const char*) { return 1; }
int xu_addIntErrParm(ASN1CTXT*, int) { return 1; }
int xu_addUnsignedErrParm(ASN1CTXT*, unsigned int) { return 1; }
int xu_addTagErrParm(ASN1CTXT*, ASN1TAG) { return 1; }

ASN1CTXT* xu_freeErrParms(ASN1CTXT* pctxt) { return pctxt; }
ASN1CTXT* xu_log_error(ASN1CTXT* pctxt, ...) { return pctxt; }
