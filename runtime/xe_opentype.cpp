/*
 * Open types: one complete encoded element written in its DER form, and the
 * extension lists of unknown elements kept for re-encoding.
 */
#include "berEncode.h"

#include <climits>
#include <cstring>

#include "berDecode.h"
#include "rtContext.h"
#include "rtMemHeap.h"

/* The measuring routine answers 0 for limits below this. */
static const ASN1UINT kMinMeasureLimit = 5;

/* Total length of the indefinite-length element at data, never reading
   past its numocts octets. */
static int measureIndefinite(const ASN1OCTET* data, ASN1UINT numocts) {
   if (numocts >= kMinMeasureLimit)
      return xd_indeflen_ex(data, numocts > INT_MAX ? INT_MAX : static_cast<int>(numocts));
   /* The shortest element (x 80 00 00) has four octets: measure a zero-padded
      copy and refuse an end found in the padding. */
   ASN1OCTET padded[kMinMeasureLimit] = {0};
   std::memcpy(padded, data, numocts);
   int len = xd_indeflen_ex(padded, kMinMeasureLimit);
   return len >= 0 && static_cast<ASN1UINT>(len) > numocts ? RTS_END_OF_DATA : len;
}

/* Length of the one complete element the octets begin with, or a status. */
static int elementLength(ASN1CTXT* pctxt, const ASN1OCTET* data, ASN1UINT numocts) {
   ASN1CTXT scratch;
   int stat = rtInitContext(&scratch, pctxt->allocArg);
   if (stat != RTS_OK) return stat;
   int total = 0;
   stat = xd_setp(&scratch, data, numocts > INT_MAX ? INT_MAX : static_cast<int>(numocts),
                  nullptr, &total);
   rtFreeContext(&scratch);
   if (stat != RTS_OK) return stat;
   return total == INDEFINITE_LENGTH ? measureIndefinite(data, numocts) : total;
}

int xe_OpenType(ASN1CTXT* pctxt, const ASN1OCTET* object_p, ASN1UINT numocts) {
   if (numocts == 0) return 0;
   if (object_p == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   int len = elementLength(pctxt, object_p, numocts);
   if (len < 0) return LOG_ASN1ERR(pctxt, len);
   /* Encoded in place: the element is already in front of the position. */
   if (object_p == pctxt->buffer.data + pctxt->buffer.byteIndex) return len;
   /* Octets kept from BER (an unknown identifier's value) are written as
      DER, as far as that is known without their type. */
   const ASN1OCTET* der = nullptr;
   ASN1UINT derLength = 0;
   int stat = xe_derNormalise(pctxt, object_p, static_cast<ASN1UINT>(len), &der, &derLength);
   if (stat != RTS_OK) return stat;
   len = xe_memcpy(pctxt, der, derLength);
   if (der != object_p) ASN1MEMFREEPTR(pctxt, const_cast<ASN1OCTET*>(der));
   return len;
}

int xe_OpenTypeExt(ASN1CTXT* pctxt, const Asn1RTDList* pElemList) {
   if (pElemList == nullptr) return 0;
   int total = 0;
   for (const Asn1RTDListNode* node = pElemList->tail; node != nullptr; node = node->prev) {
      const ASN1TOpenType* openType = static_cast<const ASN1TOpenType*>(node->data);
      if (openType == nullptr) continue;
      int len = xe_OpenType(pctxt, openType->data, openType->numocts);
      if (len < 0) return LOG_ASN1ERR(pctxt, len);
      if (len > INT_MAX - total) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
      total += len;
   }
   return total;
}
