/*
 * SET decoding: components in any order (X.690 8.11), each at most once,
 * told apart by their tags.
 */
#include "asn1Engine.h"
#include "openTypeInternal.h"
#include "rtContext.h"

namespace asn1rt {
namespace detail {

int decodeSet(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging,
              int length) {
   int stat = RTS_OK;
   if (tagging == TAG_EXPLICIT) stat = readUniversalTag(pctxt, type, &length);
   if (stat != RTS_OK) return stat;
   resetComponents(type, value);
   const ASN1BlockDescr block = contentsBlock(pctxt, length);

   const int carrier = octetStringCarrier(type);
   const ASN1OCTET* carrierEnd = nullptr;
   uint64_t seen = 0;
   while (contentRemains(pctxt, block)) {
      ASN1TagWord tag = 0;
      stat = peekTag(pctxt, &tag);
      if (stat != RTS_OK) return stat;
      uint16_t i = 0;
      while (i < type->fieldCount && !fieldMatchesTag(type->fields[i], tag)) i++;
      if (i == type->fieldCount) {
         xu_addTagErrParm(pctxt, tag);
         return LOG_ASN1ERR(pctxt, RTS_SET_UNKNOWN);
      }
      if (seen & (uint64_t{1} << i)) return LOG_ASN1ERR(pctxt, RTS_SET_DUPLICATE);
      seen |= uint64_t{1} << i;
      const FieldDesc& field = type->fields[i];
      /* Marked before decoding, so that freeValue reaches a partly decoded
         component. */
      markPresent(type, value, field);
      stat = decodeField(pctxt, field, at(value, field.offset));
      if (stat != RTS_OK) return stat;
      if (i == carrier) carrierEnd = position(pctxt);
   }
   for (uint16_t i = 0; i < type->fieldCount; i++) {
      if (type->fields[i].presence == Presence::Required && !(seen & (uint64_t{1} << i)))
         return LOG_ASN1ERR(pctxt, RTS_MISSING_ELEMENT);
   }
   stat = finishContents(pctxt, block, tagging == TAG_EXPLICIT);
   if (stat != RTS_OK) return stat;
   return type->table != nullptr ? decodeTable(pctxt, type, value, carrierEnd) : RTS_OK;
}

}
}
