/*
 * Components under their tags (X.690 8.14: EXPLICIT wraps, IMPLICIT
 * replaces) and the bounds of constructed contents, definite or ended by
 * end-of-contents octets (X.690 8.1.3.6, 8.1.5).
 */
#include <climits>

#include "asn1Engine.h"
#include "berEncode.h"
#include "engineInternal.h"
#include "rtContext.h"

namespace asn1rt {
namespace detail {

/* Strings read with an implicit tag and an indefinite length consume their
   own end-of-contents octets; every other value leaves them to the tag. */
static bool endsOwnContents(const TypeDesc* type) {
   return type->ownTagging != Tagging::Explicit && isStringKind(type->kind);
}

static int64_t octetsLeft(const ASN1BUFFER& buf) {
   return static_cast<int64_t>(buf.size) - buf.byteIndex;
}

static int64_t consumedSince(const ASN1CTXT* pctxt, const ASN1BlockDescr& block) {
   return (pctxt->buffer.data + pctxt->buffer.byteIndex) - block.start;
}

static int endOfContents(ASN1CTXT* pctxt) {
   ASN1BUFFER& buf = pctxt->buffer;
   if (octetsLeft(buf) < 2 || buf.data[buf.byteIndex] != 0 || buf.data[buf.byteIndex + 1] != 0)
      return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   buf.byteIndex += 2;
   return RTS_OK;
}

int finishContents(ASN1CTXT* pctxt, const ASN1BlockDescr& block, bool ownEndOfContents) {
   if (block.length != INDEFINITE_LENGTH) {
      return consumedSince(pctxt, block) > block.length ? LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH)
                                                        : RTS_OK;
   }
   return ownEndOfContents ? endOfContents(pctxt) : RTS_OK;
}

int addLength(ASN1CTXT* pctxt, int* total, int length) {
   if (length > INT_MAX - *total) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   *total += length;
   return RTS_OK;
}

/* Reads the expected tag and its length; RTS_NOT_FOUND when another tag,
   or the tag in a form the type does not take, is at the position, which
   then stays where it is. */
static int readTag(ASN1CTXT* pctxt, ASN1TagWord tag, Tagging tagging, const TypeDesc* type,
                   int* length) {
   if (takeHeader(pctxt, tag, type, tagging, length)) return RTS_OK;
   int stat = expectTag(pctxt, tag, type, tagging);
   if (stat != RTS_OK) return stat;
   if ((tag & TM_IDCODE) < 31) return xd_match1(pctxt, identifierOctet(tag), length);
   return xd_match(pctxt, tag, length, XD_MODE_ADVANCE);
}

int readUniversalTag(ASN1CTXT* pctxt, const TypeDesc* type, int* length) {
   return readTag(pctxt, type->universalTag, Tagging::None, type, length);
}

int encodeUnderTag(ASN1CTXT* pctxt, ASN1TagWord tag, Tagging tagging, const TypeDesc* type,
                   const void* value, EncodeFn inner) {
   if (tagging == Tagging::Explicit)
      return xe_tag_len(pctxt, tag | TM_CONS, inner(pctxt, type, value, TAG_EXPLICIT));
   return xe_tag_len(pctxt, implicitTagWord(tag, type), inner(pctxt, type, value, TAG_IMPLICIT));
}

int decodeUnderTag(ASN1CTXT* pctxt, ASN1TagWord tag, Tagging tagging, const TypeDesc* type,
                   void* value, DecodeFn inner) {
   int length = 0;
   int stat = readTag(pctxt, tag, tagging, type, &length);
   if (stat != RTS_OK) return stat;
   const ASN1BlockDescr block = contentsBlock(pctxt, length);
   if (tagging == Tagging::Explicit) stat = inner(pctxt, type, value, TAG_EXPLICIT, 0);
   else stat = inner(pctxt, type, value, TAG_IMPLICIT, length);
   if (stat != RTS_OK) return stat;
   if (length == INDEFINITE_LENGTH) {
      if (tagging == Tagging::Explicit || !endsOwnContents(type)) return endOfContents(pctxt);
      return RTS_OK;
   }
   /* The value under an explicit tag must fill the tag's contents exactly. */
   if (tagging == Tagging::Explicit && consumedSince(pctxt, block) != length)
      return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   return RTS_OK;
}

int encodeField(ASN1CTXT* pctxt, const FieldDesc& field, const void* value) {
   if (field.tagging == Tagging::None) return berEncode(pctxt, field.type, value, TAG_EXPLICIT);
   return encodeUnderTag(pctxt, field.tag, field.tagging, field.type, value, berEncode);
}

int decodeField(ASN1CTXT* pctxt, const FieldDesc& field, void* value) {
   const ASN1OCTET* start = position(pctxt);
   const int stat = field.tagging == Tagging::None
                       ? berDecode(pctxt, field.type, value, TAG_EXPLICIT, 0)
                       : decodeUnderTag(pctxt, field.tag, field.tagging, field.type, value, berDecode);
   if (stat == RTS_OK) return RTS_OK;
   rtErrAddPathStep(pctxt, field.name, 0);
   return failedElement(pctxt, start, stat);
}

}
}
