/*
 * Entry points of the BER/DER codec: the nesting limit, the tag of a type's
 * own definition and the dispatch to the construct families. Every nested
 * value is encoded and decoded through berEncode and berDecode.
 */
#include "asn1Engine.h"
#include "engineInternal.h"
#include "rtContext.h"

namespace asn1rt {

using namespace detail;

int detail::encodeContents(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                           ASN1TagType tagging) {
   switch (type->kind) {
   case Kind::Sequence:
   case Kind::Set: return encodeConstructed(pctxt, type, value, tagging);
   case Kind::Choice: return encodeChoice(pctxt, type, value);
   case Kind::SequenceOfList: return encodeList(pctxt, type, value, tagging);
   case Kind::SequenceOfArray: return encodeArray(pctxt, type, value, tagging);
   default: return encodePrimitive(pctxt, type, value, tagging);
   }
}

int detail::decodeContents(ASN1CTXT* pctxt, const TypeDesc* type, void* value,
                           ASN1TagType tagging, int length) {
   switch (type->kind) {
   case Kind::Sequence: return decodeSequence(pctxt, type, value, tagging, length);
   case Kind::Set: return decodeSet(pctxt, type, value, tagging, length);
   case Kind::Choice: return decodeChoice(pctxt, type, value);
   case Kind::SequenceOfList: return decodeList(pctxt, type, value, tagging, length);
   case Kind::SequenceOfArray: return decodeArray(pctxt, type, value, tagging, length);
   default: return decodePrimitive(pctxt, type, value, tagging, length);
   }
}

/* Only NULL has no storage. */
static bool missingValue(const TypeDesc* type, const void* value) {
   return value == nullptr && type->kind != Kind::Null;
}

int berEncode(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, ASN1TagType tagging) {
   if (missingValue(type, value)) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   const NestingLevel nesting(type);
   if (nesting.tooDeep()) return LOG_ASN1ERR(pctxt, RTS_CONSTRAINT);
   int len;
   if (type->ownTagging == Tagging::None) {
      len = encodeContents(pctxt, type, value, tagging);
   } else if (tagging == TAG_IMPLICIT) {
      /* The caller's tag takes the place of the type's own tag. */
      len = encodeContents(pctxt, type, value,
                           type->ownTagging == Tagging::Explicit ? TAG_EXPLICIT : TAG_IMPLICIT);
   } else {
      len = encodeUnderTag(pctxt, type->ownTag, type->ownTagging, type, value, encodeContents);
   }
   return len < 0 ? LOG_ASN1ERR(pctxt, len) : len;
}

int berDecode(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging,
              int length) {
   /* Under an IMPLICIT tag the element began at the caller's tag. */
   const ASN1OCTET* start = tagging == TAG_EXPLICIT ? position(pctxt) : nullptr;
   if (missingValue(type, value)) return failedElement(pctxt, start, RTS_BAD_VALUE);
   const NestingLevel nesting(type);
   if (nesting.tooDeep()) return failedElement(pctxt, start, RTS_CONSTRAINT);
   int stat;
   if (type->ownTagging == Tagging::None) {
      stat = decodeContents(pctxt, type, value, tagging, length);
   } else if (tagging == TAG_IMPLICIT) {
      /* The caller has read the tag that replaces the type's own tag. */
      stat = type->ownTagging == Tagging::Explicit
                ? decodeContents(pctxt, type, value, TAG_EXPLICIT, 0)
                : decodeContents(pctxt, type, value, TAG_IMPLICIT, length);
   } else {
      stat = decodeUnderTag(pctxt, type->ownTag, type->ownTagging, type, value, decodeContents);
   }
   return stat < 0 ? failedElement(pctxt, start, stat) : stat;
}

}
