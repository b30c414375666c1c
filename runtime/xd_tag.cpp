/*
 * Identifier and length octets (X.690 8.1.2, 8.1.3): reading one header,
 * peeking at it, and matching a single identifier octet.
 */
#include "berDecode.h"

#include <climits>

#include "rtContext.h"

/* Tag word of a single identifier octet: class and form move to bits 31-29. */
static ASN1TAG tagOfOctet(ASN1OCTET octet) {
   return static_cast<ASN1TAG>(octet & 0x1F) | (static_cast<ASN1TAG>(octet & 0xE0) << 24);
}

static void setConstructed(ASN1CTXT* pctxt, bool constructed) {
   if (constructed) pctxt->flags = static_cast<ASN1USINT>(pctxt->flags | CTXTF_CONSTRUCTED);
   else pctxt->flags = static_cast<ASN1USINT>(pctxt->flags & ~CTXTF_CONSTRUCTED);
}

static bool atEnd(const ASN1CTXT* pctxt) {
   return pctxt->buffer.byteIndex >= pctxt->buffer.size;
}

static int mismatch(ASN1CTXT* pctxt, ASN1TAG expected, ASN1TAG found) {
   xu_addTagErrParm(pctxt, expected);
   xu_addTagErrParm(pctxt, found);
   return LOG_ASN1ERR(pctxt, RTS_NOT_FOUND);
}

int xd_tag(ASN1CTXT* pctxt, ASN1TAG* tag_p) {
   ASN1BUFFER& buf = pctxt->buffer;
   if (atEnd(pctxt)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   ASN1OCTET first = buf.data[buf.byteIndex++];
   setConstructed(pctxt, (first & 0x20) != 0);
   ASN1TAG classAndForm = static_cast<ASN1TAG>(first & 0xE0) << 24;
   ASN1TAG number = first & 0x1F;
   if (number == 0x1F) {
      /* Long form: 7 bits per octet, most significant first, bit 8 set on
         all but the last. The accumulator is wide enough for one more group
         past the limit. */
      uint64_t value = 0;
      unsigned count = 0;
      ASN1OCTET octet;
      do {
         if (atEnd(pctxt)) return LOG_ASN1ERR(pctxt, RTS_BAD_TAG);
         octet = buf.data[buf.byteIndex++];
         value = (value << 7) | (octet & 0x7F);
         if (value > TM_IDCODE || ++count == 10) return LOG_ASN1ERR(pctxt, RTS_BAD_TAG);
      } while (octet & 0x80);
      number = static_cast<ASN1TAG>(value);
   }
   *tag_p = classAndForm | number;
   return RTS_OK;
}

int xd_len(ASN1CTXT* pctxt, int* len_p) {
   ASN1BUFFER& buf = pctxt->buffer;
   if (atEnd(pctxt)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   ASN1OCTET first = buf.data[buf.byteIndex++];
   if (first == 0x80) {
      *len_p = INDEFINITE_LENGTH;
      return RTS_OK;
   }
   ASN1UINT length = first;
   if (first > 0x80) {
      unsigned count = first & 0x7F;
      if (count > 4) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
      if (count > buf.size - buf.byteIndex) {
         /* With an indefinite outer length the octets would be read anyway,
            and the position would then lie past the end, which no length
            fits: the outcome is a bad length without reading them. */
         return LOG_ASN1ERR(pctxt, (pctxt->flags & CTXTF_OUTER_INDEFINITE) ? RTS_BAD_LENGTH
                                                                            : RTS_END_OF_DATA);
      }
      length = 0;
      while (count-- > 0) length = (length << 8) | buf.data[buf.byteIndex++];
   }
   /* A length that does not fit an int cannot be told from a status. */
   if (length > INT_MAX) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   if (!(pctxt->flags & CTXTF_LAX_LENGTH) &&
       static_cast<int64_t>(length) > static_cast<int64_t>(buf.size) - buf.byteIndex)
      return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   *len_p = static_cast<int>(length);
   return RTS_OK;
}

/* Identifier and length from the position, moving past them. */
static int readHeader(ASN1CTXT* pctxt, ASN1TAG* tag_p, int* len_p) {
   if ((pctxt->flags & CTXTF_RESERVED_1000) && (pctxt->flags & CTXTF_OUTER_INDEFINITE))
      return RTS_END_OF_DATA;
   if (atEnd(pctxt)) return RTS_END_OF_DATA;
   int stat = xd_tag(pctxt, tag_p);
   if (stat != RTS_OK) return stat;
   if (atEnd(pctxt)) return RTS_END_OF_DATA;
   stat = xd_len(pctxt, len_p);
   if (stat != RTS_OK) return stat;
   if (*len_p == INDEFINITE_LENGTH && !(*tag_p & TM_CONS)) return RTS_BAD_LENGTH;
   return RTS_OK;
}

int xd_tag_len(ASN1CTXT* pctxt, ASN1TAG* tag_p, int* len_p, ASN1OCTET mode) {
   xu_SaveBufferState(pctxt, nullptr);
   ASN1TAG tag = 0;
   int length = 0;
   int stat = readHeader(pctxt, &tag, &length);
   if (!(mode & XD_MODE_ADVANCE)) xu_RestoreBufferState(pctxt, nullptr);
   if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
   if (tag_p != nullptr) *tag_p = tag;
   if (len_p != nullptr) *len_p = length;
   return RTS_OK;
}

/* The length after a single identifier octet that has just been consumed. */
static int lengthAfterIdentifier(ASN1CTXT* pctxt, int* len_p) {
   if (atEnd(pctxt)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   int length = 0;
   int stat = xd_len(pctxt, &length);
   if (stat != RTS_OK) return stat;
   if (len_p != nullptr) {
      if (length == INDEFINITE_LENGTH && !(pctxt->flags & CTXTF_CONSTRUCTED))
         return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
      *len_p = length;
   }
   return RTS_OK;
}

int xd_Tag1AndLen(ASN1CTXT* pctxt, int* len_p) {
   ASN1BUFFER& buf = pctxt->buffer;
   if (atEnd(pctxt)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   setConstructed(pctxt, (buf.data[buf.byteIndex++] & 0x20) != 0);
   return lengthAfterIdentifier(pctxt, len_p);
}

int xd_match1(ASN1CTXT* pctxt, ASN1OCTET tag, int* len_p) {
   ASN1BUFFER& buf = pctxt->buffer;
   if (atEnd(pctxt)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   ASN1OCTET octet = buf.data[buf.byteIndex];
   if ((octet & ~0x20) != (tag & ~0x20)) return mismatch(pctxt, tagOfOctet(tag), tagOfOctet(octet));
   buf.byteIndex++;
   setConstructed(pctxt, (octet & 0x20) != 0);
   return lengthAfterIdentifier(pctxt, len_p);
}

int xd_matchUniversal(ASN1CTXT* pctxt, ASN1OCTET id) {
   ASN1BUFFER& buf = pctxt->buffer;
   if (atEnd(pctxt)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   ASN1OCTET octet = buf.data[buf.byteIndex];
   if (octet != id) return mismatch(pctxt, tagOfOctet(id), tagOfOctet(octet));
   buf.byteIndex++;
   setConstructed(pctxt, false);
   if (atEnd(pctxt)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   return RTS_OK;
}
