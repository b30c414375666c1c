/*
 * CHOICE: the alternative named by the selector `t` is written with its own
 * tagging, and on input the alternative is found by the tag of the next
 * element. The CHOICE itself has no tag (X.680 29.7).
 */
#include "engineInternal.h"
#include "rtContext.h"
#include "rtMemHeap.h"

namespace asn1rt {
namespace detail {

int encodeChoice(ASN1CTXT* pctxt, const TypeDesc* type, const void* value) {
   const ASN1UINT selector = fieldAs<ASN1UINT>(value, type->selectorOffset);
   if (selector < 1 || selector > type->fieldCount) return LOG_ASN1ERR(pctxt, RTS_BAD_CHOICE);
   const FieldDesc& field = type->fields[selector - 1];
   return encodeField(pctxt, field, alternativeValue(value, field));
}

int decodeChoice(ASN1CTXT* pctxt, const TypeDesc* type, void* value) {
   ASN1TagWord tag = 0;
   int stat = peekTag(pctxt, &tag);
   if (stat != RTS_OK) return stat;
   /* The first alternative that the tag fits wins. */
   uint16_t i = 0;
   while (i < type->fieldCount && !fieldMatchesTag(type->fields[i], tag)) i++;
   if (i == type->fieldCount) {
      xu_addTagErrParm(pctxt, tag);
      return LOG_ASN1ERR(pctxt, RTS_BAD_CHOICE);
   }
   const FieldDesc& field = type->fields[i];
   /* Selector and storage are set first, so that freeValue reaches a
      partly decoded alternative. */
   fieldAs<ASN1UINT>(value, type->selectorOffset) = i + 1u;
   if (field.byPointer) {
      void* alternative = nullptr;
      if (field.type->valueSize > 0) {
         alternative = ASN1MALLOCZ(pctxt, field.type->valueSize);
         if (alternative == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
      }
      fieldAs<void*>(value, field.offset) = alternative;
   }
   return decodeField(pctxt, field, alternativeValue(value, field));
}

}
}
