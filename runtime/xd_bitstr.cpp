/*
 * BIT STRING (X.690 8.6): an initial octet with the number of unused bits in
 * the last octet, then the bits; constructed strings are made of primitive
 * segments, each with its own initial octet.
 */
#include "berDecode.h"

#include <cstring>

#include "rtContext.h"
#include "rtMemHeap.h"

static bool contentsFit(const ASN1CTXT* pctxt, int length) {
   if (pctxt->flags & CTXTF_OUTER_INDEFINITE) return true;
   return static_cast<int64_t>(pctxt->buffer.byteIndex) + length <= pctxt->buffer.size;
}

static int decodePrimitive(ASN1CTXT* pctxt, ASN1OCTET* object_p, ASN1UINT capacity,
                           ASN1UINT* pnumbits, int length) {
   if (length < 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   if (length == 0) {
      *pnumbits = 0;
      return RTS_OK;
   }
   if (!contentsFit(pctxt, length)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   ASN1BUFFER& buf = pctxt->buffer;
   ASN1OCTET unused = buf.data[buf.byteIndex];
   ASN1UINT dataOctets = static_cast<ASN1UINT>(length) - 1;
   /* X.690 8.6.2.3: an empty string has the initial octet 0 and nothing else. */
   if (dataOctets == 0 && unused != 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   if (unused > 7) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   if (dataOctets > capacity) return LOG_ASN1ERR(pctxt, RTS_VALUE_TOO_LONG);
   buf.byteIndex++;
   if (dataOctets > 0) std::memcpy(object_p, buf.data + buf.byteIndex, dataOctets);
   buf.byteIndex += dataOctets;
   *pnumbits = dataOctets * 8 - unused;
   return RTS_OK;
}

static bool atEndOfContents(const ASN1BUFFER& buf) {
   return static_cast<int64_t>(buf.size) - buf.byteIndex >= 2 && buf.data[buf.byteIndex] == 0 &&
          buf.data[buf.byteIndex + 1] == 0;
}

/* Segments until the length is consumed, the buffer ends or, for an
   indefinite length, the end-of-contents (left for the caller) is next.
   The unused-bit count of the last segment applies to the whole string. */
static int decodeSegments(ASN1CTXT* pctxt, ASN1OCTET* object_p, ASN1UINT capacity,
                          ASN1UINT* pnumbits, int length) {
   ASN1BUFFER& buf = pctxt->buffer;
   const ASN1UINT start = buf.byteIndex;
   ASN1UINT stored = 0;
   ASN1OCTET unused = 0;
   for (;;) {
      if (length == INDEFINITE_LENGTH) {
         if (atEndOfContents(buf)) break;
      } else if (static_cast<int64_t>(buf.byteIndex - start) >= length) {
         break;
      }
      if (buf.byteIndex >= buf.size) break;
      int segLength = 0;
      int stat = xd_match1(pctxt, ASN_ID_BITSTR, &segLength);
      if (stat != RTS_OK) return stat;
      if (segLength < 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
      if (segLength == 0) continue;
      if (!contentsFit(pctxt, segLength)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
      unused = buf.data[buf.byteIndex++];
      ASN1UINT dataOctets = static_cast<ASN1UINT>(segLength) - 1;
      if (dataOctets > capacity - stored) return LOG_ASN1ERR(pctxt, RTS_VALUE_TOO_LONG);
      if (dataOctets > 0) std::memcpy(object_p + stored, buf.data + buf.byteIndex, dataOctets);
      buf.byteIndex += dataOctets;
      stored += dataOctets;
   }
   if (unused > 7) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   if (length != INDEFINITE_LENGTH && static_cast<int64_t>(buf.byteIndex - start) != length)
      return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   if (stored == 0 && unused != 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   *pnumbits = stored * 8 - unused;
   return RTS_OK;
}

/* The contents in the form CTXTF_CONSTRUCTED names, into capacity octets. */
static int decodeBits(ASN1CTXT* pctxt, ASN1OCTET* object_p, ASN1UINT capacity,
                      ASN1UINT* pnumbits, int length) {
   if (pctxt->flags & CTXTF_CONSTRUCTED)
      return decodeSegments(pctxt, object_p, capacity, pnumbits, length);
   return decodePrimitive(pctxt, object_p, capacity, pnumbits, length);
}

int xd_bitstr_s(ASN1CTXT* pctxt, ASN1OCTET* object_p, ASN1UINT* pnumbits,
                ASN1TagType tagging, int length) {
   if (tagging == TAG_EXPLICIT) {
      int stat = xd_matchUniversal(pctxt, ASN_ID_BITSTR);
      if (stat == RTS_OK) stat = xd_len(pctxt, &length);
      if (stat != RTS_OK) return stat;
   }
   ASN1UINT capacity = *pnumbits == 0 ? 0 : (*pnumbits - 1) / 8 + 1;
   return decodeBits(pctxt, object_p, capacity, pnumbits, length);
}

int xd_bitstr(ASN1CTXT* pctxt, const ASN1OCTET** object_p2, ASN1UINT* pnumbits,
              ASN1TagType tagging, int length) {
   if (tagging == TAG_EXPLICIT) {
      int stat = xd_match1(pctxt, ASN_ID_BITSTR, &length);
      if (stat != RTS_OK) return stat;
   }
   const bool indefinite = length == INDEFINITE_LENGTH && (pctxt->flags & CTXTF_CONSTRUCTED);
   int size = length;
   if (indefinite) {
      int stat = xd_consStrIndefLenAndSize(pctxt, ASN_ID_BITSTR, &size, &length);
      if (stat != RTS_OK) return stat;
   }
   if (length < 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);

   /* Every string spends at least one octet on its unused-bit count. */
   const ASN1UINT capacity = size >= 2 ? static_cast<ASN1UINT>(size) - 1 : 0;
   ASN1OCTET* block = nullptr;
   if (capacity > 0) {
      block = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, capacity));
      if (block == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   ASN1UINT numbits = 0;
   int stat = decodeBits(pctxt, block, capacity, &numbits, length);
   if (stat == RTS_OK && indefinite) {
      if (!atEndOfContents(pctxt->buffer)) stat = LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
      else pctxt->buffer.byteIndex += 2;
   }
   if (stat != RTS_OK || numbits == 0) {
      ASN1MEMFREEPTR(pctxt, block);
      block = nullptr;
   }
   if (stat != RTS_OK) return stat;
   *object_p2 = block;
   *pnumbits = numbits;
   return RTS_OK;
}
