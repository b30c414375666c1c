/*
 * Tag rules shared by the constructs: the form an IMPLICIT tag must keep,
 * and which tags can start the value of a type (X.680 tagging, X.690 8.1.2).
 */
#include "engineInternal.h"
#include "rtContext.h"

namespace asn1rt {
namespace detail {

/* Tags are compared regardless of form, so that the segmented (constructed)
   form of a string matches too. */
static bool sameTag(ASN1TagWord a, ASN1TagWord b) {
   return (a & TM_FORM_MASK) == (b & TM_FORM_MASK);
}

bool hasConstructedForm(const TypeDesc* type) {
   if (type->ownTagging == Tagging::Explicit) return true;
   switch (type->kind) {
   case Kind::Sequence:
   case Kind::Set:
   case Kind::SequenceOfList:
   case Kind::SequenceOfArray:
   /* A tag in front of a CHOICE or an open type is always explicit
      (X.680 31.2.7), so it is constructed. */
   case Kind::Choice:
   case Kind::OpenType: return true;
   default: return false;
   }
}

bool typeMatchesTag(const TypeDesc* type, ASN1TagWord tag) {
   if (type->ownTagging != Tagging::None) return sameTag(type->ownTag, tag);
   switch (type->kind) {
   case Kind::Choice:
      for (uint16_t i = 0; i < type->fieldCount; i++) {
         if (fieldMatchesTag(type->fields[i], tag)) return true;
      }
      return false;
   case Kind::OpenType: return true;
   default: return sameTag(type->universalTag, tag);
   }
}

bool fieldMatchesTag(const FieldDesc& field, ASN1TagWord tag) {
   if (field.tagging != Tagging::None) return sameTag(field.tag, tag);
   return typeMatchesTag(field.type, tag);
}

int peekTag(ASN1CTXT* pctxt, ASN1TagWord* tag) {
   const ASN1BUFFER& buf = pctxt->buffer;
   if (buf.byteIndex >= buf.size) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   const ASN1OCTET octet = buf.data[buf.byteIndex];
   if ((octet & 0x1F) != 0x1F) {
      *tag = static_cast<ASN1TagWord>(octet & 0x1F) | (static_cast<ASN1TagWord>(octet & 0xE0) << 24);
      return RTS_OK;
   }
   return xd_tag_len(pctxt, tag, nullptr, 0);
}

}
}
