/*
 * OCTET STRING (X.690 8.7) and the character strings built on it (8.23):
 * primitive, or constructed from primitive segments with a definite or an
 * indefinite length.
 */
#include "berDecode.h"

#include <climits>
#include <cstring>

#include "rtContext.h"
#include "rtMemHeap.h"

int xd_memcpy(ASN1CTXT* pctxt, ASN1OCTET* object_p, int length) {
   if (length < 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   ASN1BUFFER& buf = pctxt->buffer;
   if (!(pctxt->flags & CTXTF_OUTER_INDEFINITE) &&
       static_cast<int64_t>(buf.byteIndex) + length > buf.size)
      return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   if (length > 0) std::memcpy(object_p, buf.data + buf.byteIndex, static_cast<size_t>(length));
   buf.byteIndex += static_cast<ASN1UINT>(length);
   return RTS_OK;
}

int xd_consStrIndefLenAndSize(ASN1CTXT* pctxt, ASN1TAG segTag, int* size_p, int* len_p) {
   ASN1BUFSAVE start;
   xu_SaveBufferState(pctxt, &start);
   int64_t size = 0;
   for (;;) {
      ASN1TAG tag;
      int length;
      int stat = xd_tag_len(pctxt, &tag, &length, XD_MODE_ADVANCE);
      if (stat != RTS_OK) return stat;
      if (tag == 0 && length == 0) break;
      /* X.690 8.7.3.2: segments are primitive and carry the string's own
         universal tag; a nested constructed segment is refused too. */
      if (tag != segTag) return LOG_ASN1ERR(pctxt, RTS_BAD_TAG);
      size += length;
      if (size > INT_MAX) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
      pctxt->buffer.byteIndex += static_cast<ASN1UINT>(length);
   }
   /* xd_tag_len saved the position in front of the end-of-contents. */
   *len_p = static_cast<int>(pctxt->savedState.byteIndex - start.byteIndex);
   *size_p = static_cast<int>(size);
   xu_RestoreBufferState(pctxt, &start);
   return RTS_OK;
}

int xd_octstr_s(ASN1CTXT* pctxt, ASN1OCTET* object_p, ASN1UINT* pnumocts,
                ASN1TagType tagging, int length) {
   if (tagging == TAG_EXPLICIT) {
      int stat = xd_matchUniversal(pctxt, ASN_ID_OCTSTR);
      if (stat == RTS_OK) stat = xd_len(pctxt, &length);
      if (stat != RTS_OK) return stat;
   }
   if (length < 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   const ASN1UINT capacity = *pnumocts;
   if (!(pctxt->flags & CTXTF_CONSTRUCTED)) {
      if (static_cast<ASN1UINT>(length) > capacity) return LOG_ASN1ERR(pctxt, RTS_VALUE_TOO_LONG);
      int stat = xd_memcpy(pctxt, object_p, length);
      if (stat != RTS_OK) return stat;
      *pnumocts = static_cast<ASN1UINT>(length);
      return RTS_OK;
   }
   /* Segmented: the length covers the segments' headers too, so the
      capacity is checked against each segment's contents instead. */
   ASN1BUFFER& buf = pctxt->buffer;
   const ASN1UINT start = buf.byteIndex;
   ASN1UINT stored = 0;
   while (static_cast<int64_t>(buf.byteIndex - start) < length && buf.byteIndex < buf.size) {
      ASN1UINT room = capacity - stored;
      int stat = xd_octstr_s(pctxt, object_p + stored, &room, TAG_EXPLICIT, 0);
      if (stat != RTS_OK) return stat;
      stored += room;
   }
   if (static_cast<int64_t>(buf.byteIndex - start) != length)
      return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   *pnumocts = stored;
   return RTS_OK;
}

/* Steps over the end-of-contents that closes an indefinite-length string. */
static int consumeEndOfContents(ASN1CTXT* pctxt) {
   ASN1BUFFER& buf = pctxt->buffer;
   if (static_cast<int64_t>(buf.size) - buf.byteIndex < 2 || buf.data[buf.byteIndex] != 0 ||
       buf.data[buf.byteIndex + 1] != 0)
      return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   buf.byteIndex += 2;
   return RTS_OK;
}

/* Reads a string in the OCTET STRING form, identified by id when explicit,
   into a new block of its content size plus `extra` octets (no block when
   that is 0). A definite-length segmented string gets a block of its whole
   length, which its contents never exceed. */
static int decodeOctets(ASN1CTXT* pctxt, ASN1TagType tagging, ASN1OCTET id, size_t extra,
                        ASN1OCTET** block_p, ASN1UINT* numocts_p, int length) {
   if (tagging == TAG_EXPLICIT) {
      int stat = xd_match1(pctxt, id, &length);
      if (stat != RTS_OK) return stat;
   }
   const bool indefinite = length == INDEFINITE_LENGTH && (pctxt->flags & CTXTF_CONSTRUCTED);
   int size = length;
   if (indefinite) {
      int stat = xd_consStrIndefLenAndSize(pctxt, ASN_ID_OCTSTR, &size, &length);
      if (stat != RTS_OK) return stat;
   }
   if (length < 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);

   const size_t blockSize = static_cast<size_t>(size) + extra;
   ASN1OCTET* block = nullptr;
   if (blockSize > 0) {
      block = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, blockSize));
      if (block == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   ASN1UINT numocts = static_cast<ASN1UINT>(size);
   int stat = xd_octstr_s(pctxt, block, &numocts, TAG_IMPLICIT, length);
   if (stat == RTS_OK && indefinite) stat = consumeEndOfContents(pctxt);
   if (stat != RTS_OK) {
      ASN1MEMFREEPTR(pctxt, block);
      return stat;
   }
   *block_p = block;
   *numocts_p = numocts;
   return RTS_OK;
}

int xd_octstr(ASN1CTXT* pctxt, const ASN1OCTET** object_p2, ASN1UINT* pnumocts,
              ASN1TagType tagging, int length) {
   ASN1OCTET* block = nullptr;
   ASN1UINT numocts = 0;
   int stat = decodeOctets(pctxt, tagging, ASN_ID_OCTSTR, 0, &block, &numocts, length);
   if (stat != RTS_OK) return stat;
   *object_p2 = block;
   *pnumocts = numocts;
   return RTS_OK;
}

/* Identifier octet of a tag word with a number below 31. */
static ASN1OCTET identifierOctet(ASN1TAG tag) {
   return static_cast<ASN1OCTET>((tag & 0x1F) | (tag >> 24));
}

int xd_charstr(ASN1CTXT* pctxt, const char** object_p, ASN1TagType tagging, ASN1TAG tag,
               int length) {
   ASN1OCTET* block = nullptr;
   ASN1UINT numocts = 0;
   int stat = decodeOctets(pctxt, tagging, identifierOctet(tag), 1, &block, &numocts, length);
   if (stat != RTS_OK) return stat;
   /* The value is held zero-terminated: a 0x00 inside would silently cut
      it short ("www.bank.com\0.evil.com" read as "www.bank.com"). */
   if (std::memchr(block, 0, numocts) != nullptr) {
      ASN1MEMFREEPTR(pctxt, block);
      return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   }
   block[numocts] = '\0';
   *object_p = reinterpret_cast<const char*>(block);
   return RTS_OK;
}

/* Turns the octets of a block, unitSize at a time and most significant
   first, into units of that size in place; returns the number of units.
   Each unit is read before it is written over. */
template <typename Unit>
static ASN1UINT packUnits(ASN1OCTET* block, ASN1UINT numocts) {
   const ASN1UINT count = numocts / sizeof(Unit);
   Unit* units = reinterpret_cast<Unit*>(block);
   for (ASN1UINT i = 0; i < count; i++) {
      Unit value = 0;
      for (size_t j = 0; j < sizeof(Unit); j++)
         value = static_cast<Unit>((value << 8) | block[i * sizeof(Unit) + j]);
      units[i] = value;
   }
   return count;
}

/* Decodes the octets of a BMPString or UniversalString and packs them. */
template <typename Unit>
static int decodeWideString(ASN1CTXT* pctxt, Unit** data_p, ASN1UINT* nchars_p,
                            ASN1TagType tagging, ASN1TAG tag, int length) {
   ASN1OCTET* block = nullptr;
   ASN1UINT numocts = 0;
   int stat = decodeOctets(pctxt, tagging, identifierOctet(tag), 0, &block, &numocts, length);
   if (stat != RTS_OK) return stat;
   ASN1UINT nchars = packUnits<Unit>(block, numocts);
   if (nchars == 0) {
      ASN1MEMFREEPTR(pctxt, block);
      block = nullptr;
   }
   *data_p = reinterpret_cast<Unit*>(block);
   *nchars_p = nchars;
   return RTS_OK;
}

int xd_16BitCharStr(ASN1CTXT* pctxt, ASN116BitCharString* object_p, ASN1TagType tagging,
                    ASN1TAG tag, int length) {
   return decodeWideString(pctxt, &object_p->data, &object_p->nchars, tagging, tag, length);
}

int xd_32BitCharStr(ASN1CTXT* pctxt, ASN132BitCharString* object_p, ASN1TagType tagging,
                    ASN1TAG tag, int length) {
   return decodeWideString(pctxt, &object_p->data, &object_p->nchars, tagging, tag, length);
}
