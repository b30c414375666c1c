/*
 * Open types: one complete encoded element kept as it is, and the lists of
 * unknown extension elements that a SEQUENCE keeps for re-encoding.
 */
#include "berDecode.h"

#include <cstring>

#include "rtContext.h"
#include "rtList.h"
#include "rtMemHeap.h"

/* Withdraws a status recorded on a path that turned out to be normal,
   unless an earlier failure had already been recorded. */
static void withdrawError(ASN1CTXT* pctxt, int statusBefore) {
   if (statusBefore == RTS_OK) rtErrReset(&pctxt->errInfo);
}

int xd_OpenType(ASN1CTXT* pctxt, const ASN1OCTET** object_p2, ASN1UINT* pnumocts) {
   ASN1BUFFER& buf = pctxt->buffer;
   const int statusBefore = pctxt->errInfo.status;
   const ASN1UINT start = buf.byteIndex;
   if (start >= buf.size) {
      /* No element at all: an absent OPTIONAL open type to the caller. */
      return LOG_ASN1ERR(pctxt, RTS_NOT_FOUND);
   }
   ASN1TAG tag;
   int length;
   int stat = xd_tag_len(pctxt, &tag, &length, XD_MODE_ADVANCE);
   if (stat != RTS_OK) return stat;

   ASN1UINT end;
   if (length == INDEFINITE_LENGTH) {
      stat = xd_MovePastEOC(pctxt);
      if (stat == RTS_END_OF_DATA) {
         /* The end-of-contents is missing: take the element up to the end
            of the buffer. */
         withdrawError(pctxt, statusBefore);
         buf.byteIndex = buf.size;
      } else if (stat != RTS_OK) {
         return stat;
      }
      end = buf.byteIndex;
   } else {
      /* An end-of-contents (tag 0, length 0) is no value. */
      if (length == 0 && tag == 0) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
      if (static_cast<int64_t>(buf.byteIndex) + length > buf.size)
         return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
      end = buf.byteIndex + static_cast<ASN1UINT>(length);
   }
   buf.byteIndex = end;

   const ASN1UINT numocts = end - start;
   const ASN1OCTET* element = buf.data + start;
   if (!(pctxt->flags & CTXTF_OPENTYPE_NOCOPY)) {
      ASN1OCTET* copy = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, numocts));
      if (copy == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
      std::memcpy(copy, element, numocts);
      element = copy;
   }
   *object_p2 = element;
   *pnumocts = numocts;
   return RTS_OK;
}

int xd_OpenTypeRecord(ASN1CTXT* pctxt, ASN1TOpenType* openType) {
   const int stat = xd_OpenType(pctxt, &openType->data, &openType->numocts);
   if (stat != RTS_OK) return stat;
   openType->flags = (pctxt->flags & CTXTF_OPENTYPE_NOCOPY) ? ASN1OPENTYPE_BORROWED : 0;
   return RTS_OK;
}

/* A list node and its open type in one heap block, the node first. */
struct OpenTypeNode {
   Asn1RTDListNode node;
   ASN1TOpenType openType;
};
static_assert(offsetof(OpenTypeNode, openType) == sizeof(Asn1RTDListNode),
              "the open type must follow its node directly");

int xd_OpenTypeAppend(ASN1CTXT* pctxt, Asn1RTDList* pElemList) {
   if (pElemList == nullptr) return xd_NextElement(pctxt);
   OpenTypeNode* block = static_cast<OpenTypeNode*>(ASN1MALLOCZ(pctxt, sizeof(OpenTypeNode)));
   if (block == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   int stat = xd_OpenTypeRecord(pctxt, &block->openType);
   if (stat != RTS_OK) {
      ASN1MEMFREEPTR(pctxt, block);
      return stat;
   }
   rtDListAppendNode(pctxt, pElemList, &block->openType);
   return RTS_OK;
}

/* Whether the enclosing contents described by the block have ended. */
static bool contentsEnded(const ASN1CTXT* pctxt, const ASN1BlockDescr* ccb_p) {
   const ASN1BUFFER& buf = pctxt->buffer;
   const int64_t left = static_cast<int64_t>(buf.size) - buf.byteIndex;
   if (ccb_p->length == INDEFINITE_LENGTH)
      return left < 2 || (buf.data[buf.byteIndex] == 0 && buf.data[buf.byteIndex + 1] == 0);
   const int64_t consumed = (buf.data + buf.byteIndex) - ccb_p->start;
   return consumed >= ccb_p->length || left <= 0;
}

int xd_OpenTypeExt(ASN1CTXT* pctxt, const ASN1BlockDescr* ccb_p, ASN1TAG tag,
                   Asn1RTDList* pElemList) {
   if (tag == XD_ALL_ELEMENTS) {
      while (!contentsEnded(pctxt, ccb_p)) {
         int stat = xd_OpenTypeAppend(pctxt, pElemList);
         if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
      }
      return RTS_OK;
   }
   for (;;) {
      const int statusBefore = pctxt->errInfo.status;
      int stat = xd_match(pctxt, tag, nullptr, 0);
      if (stat == RTS_OK) return RTS_OK;
      if (stat != RTS_NOT_FOUND) return stat;
      withdrawError(pctxt, statusBefore);
      if (contentsEnded(pctxt, ccb_p)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
      stat = xd_OpenTypeAppend(pctxt, pElemList);
      if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
   }
}
