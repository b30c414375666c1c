/*
 * Tag rules shared by the constructs: the form an IMPLICIT tag must keep,
 * and which tags can start the value of a type (X.680 tagging, X.690 8.1.2).
 */
#include "engineInternal.h"
#include "rtContext.h"

namespace asn1rt {
namespace detail {

/* Tag word of a single identifier octet: class and form move to bits 31-29. */
static ASN1TagWord tagWordOf(ASN1OCTET octet) {
   return static_cast<ASN1TagWord>(octet & 0x1F) | (static_cast<ASN1TagWord>(octet & 0xE0) << 24);
}

/* Class and number; the form is a matter of the type (formFits). */
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

/* X.690 8.1.2.5: an element in the other form is not a value of the type,
   even with the right class and number; taking it anyway would write it
   back changed. Strings alone may come in either form (segmented). */
static bool formFits(const TypeDesc* type, Tagging tagging, ASN1TagWord tag) {
   const bool constructed = (tag & TM_CONS) != 0;
   if (tagging == Tagging::Explicit || hasConstructedForm(type)) return constructed;
   return !constructed || isStringKind(type->kind);
}

bool typeMatchesTag(const TypeDesc* type, ASN1TagWord tag) {
   if (type->ownTagging != Tagging::None)
      return sameTag(type->ownTag, tag) && formFits(type, type->ownTagging, tag);
   switch (type->kind) {
   case Kind::Choice:
      for (uint16_t i = 0; i < type->fieldCount; i++) {
         if (fieldMatchesTag(type->fields[i], tag)) return true;
      }
      return false;
   case Kind::OpenType:
      if (type->universalTag == 0) return true;
      break;
   default: break;
   }
   return sameTag(type->universalTag, tag) && formFits(type, Tagging::None, tag);
}

bool fieldMatchesTag(const FieldDesc& field, ASN1TagWord tag) {
   if (field.tagging != Tagging::None)
      return sameTag(field.tag, tag) && formFits(field.type, field.tagging, tag);
   return typeMatchesTag(field.type, tag);
}

bool takeHeader(ASN1CTXT* pctxt, ASN1TagWord tag, const TypeDesc* type, Tagging tagging,
                int* length) {
   ASN1BUFFER& buf = pctxt->buffer;
   const size_t at = buf.byteIndex;
   if ((tag & TM_IDCODE) >= 31 || at >= buf.size || buf.size - at < 2) return false;
   const ASN1OCTET octet = buf.data[at];
   if ((octet & ~0x20) != (identifierOctet(tag) & ~0x20)) return false;
   if (!formFits(type, tagging, tagWordOf(octet))) return false;
   const ASN1OCTET first = buf.data[at + 1];
   size_t header = 2;
   size_t contents = first;
   if (first == 0x81 && buf.size - at >= 3) {
      header = 3;
      contents = buf.data[at + 2];
   } else if (first == 0x82 && buf.size - at >= 4) {
      header = 4;
      contents = (static_cast<size_t>(buf.data[at + 2]) << 8) | buf.data[at + 3];
   } else if (first >= 0x80) {
      return false;
   }
   if (!(pctxt->flags & CTXTF_LAX_LENGTH) && contents > buf.size - at - header) return false;
   buf.byteIndex = static_cast<ASN1UINT>(at + header);
   if (octet & 0x20) pctxt->flags = static_cast<ASN1USINT>(pctxt->flags | CTXTF_CONSTRUCTED);
   else pctxt->flags = static_cast<ASN1USINT>(pctxt->flags & ~CTXTF_CONSTRUCTED);
   *length = static_cast<int>(contents);
   return true;
}

int expectTag(ASN1CTXT* pctxt, ASN1TagWord tag, const TypeDesc* type, Tagging tagging) {
   ASN1TagWord found = 0;
   int stat = peekTag(pctxt, &found);
   if (stat != RTS_OK) return stat;
   if (sameTag(found, tag) && formFits(type, tagging, found)) return RTS_OK;
   xu_addTagErrParm(pctxt, tag);
   xu_addTagErrParm(pctxt, found);
   return LOG_ASN1ERR(pctxt, RTS_NOT_FOUND);
}

int peekTag(ASN1CTXT* pctxt, ASN1TagWord* tag) {
   const ASN1BUFFER& buf = pctxt->buffer;
   if (buf.byteIndex >= buf.size) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   const ASN1OCTET octet = buf.data[buf.byteIndex];
   if ((octet & 0x1F) != 0x1F) {
      *tag = tagWordOf(octet);
      return RTS_OK;
   }
   return xd_tag_len(pctxt, tag, nullptr, 0);
}

}
}
