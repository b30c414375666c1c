/*
 * Start of a message: the buffer set-up around the outermost element, and
 * the measuring of an element of indefinite length (X.690 8.1.3.6).
 */
#include "berDecode.h"

#include "rtContext.h"

/* Stands for a message whose length the caller does not know. */
static const ASN1UINT kUnknownMessageLength = 0x7FFFFFFF;

int xd_setp(ASN1CTXT* pctxt, const ASN1OCTET* msg_p, int msglen, ASN1TAG* tag_p, int* len_p) {
   if (msg_p == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   ASN1UINT size = msglen < 1 ? kUnknownMessageLength : static_cast<ASN1UINT>(msglen);
   /* Decoding only reads the message; the buffer record is shared with the
      encoders and so holds a non-const pointer. */
   int stat = rtInitContextBuffer(pctxt, const_cast<ASN1OCTET*>(msg_p), size);
   if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
   pctxt->flags =
      static_cast<ASN1USINT>(pctxt->flags & ~(CTXTF_OUTER_INDEFINITE | CTXTF_RESERVED_1000));

   ASN1TAG tag;
   int length;
   stat = xd_tag_len(pctxt, &tag, &length, XD_MODE_ADVANCE);
   if (stat != RTS_OK) {
      if (stat == RTS_BAD_LENGTH) pctxt->buffer.byteIndex = 0;
      return stat;
   }
   int total;
   if (length == INDEFINITE_LENGTH) {
      pctxt->flags = static_cast<ASN1USINT>(pctxt->flags | CTXTF_OUTER_INDEFINITE);
      total = INDEFINITE_LENGTH;
   } else {
      uint64_t end = static_cast<uint64_t>(pctxt->buffer.byteIndex) + static_cast<ASN1UINT>(length);
      if (end > kUnknownMessageLength) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
      if (!((pctxt->flags & CTXTF_LAX_LENGTH) && end > pctxt->buffer.size))
         pctxt->buffer.size = static_cast<ASN1UINT>(end);
      if (msglen > 0 && pctxt->buffer.size > static_cast<ASN1UINT>(msglen))
         return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
      total = static_cast<int>(end);
   }
   /* The generated decoder reads the outer header again. */
   pctxt->buffer.byteIndex = 0;
   if (tag_p != nullptr) *tag_p = tag;
   if (len_p != nullptr) *len_p = total;
   return RTS_OK;
}

int xd_indeflen_ex(const ASN1OCTET* msg_p, int maxlen) {
   if (maxlen < 5) return 0;
   ASN1CTXT ctxt;
   int stat = rtInitContext(&ctxt, nullptr);
   if (stat != RTS_OK) return stat;
   int total = 0;
   stat = xd_setp(&ctxt, msg_p, maxlen, nullptr, &total);
   if (stat == RTS_OK && total != INDEFINITE_LENGTH) stat = RTS_BAD_LENGTH;
   /* Skipping the outer element from its header counts the nesting depth
      down to its own end-of-contents. */
   if (stat == RTS_OK) stat = xd_NextElement(&ctxt);
   int result = stat == RTS_OK ? static_cast<int>(ctxt.buffer.byteIndex) : stat;
   rtFreeContext(&ctxt);
   return result;
}
