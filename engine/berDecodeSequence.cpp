/*
 * SEQUENCE decoding: components in definition order, an absent OPTIONAL or
 * DEFAULT component recognised by the tag of the next element without
 * consuming it.
 */
#include "asn1Engine.h"
#include "openTypeInternal.h"
#include "rtContext.h"
#include "rtList.h"

namespace asn1rt {
namespace detail {

void resetComponents(const TypeDesc* type, void* value) {
   for (uint16_t i = 0; i < type->fieldCount; i++) {
      const FieldDesc& field = type->fields[i];
      void* component = at(value, field.offset);
      if (field.presence == Presence::DefaultZero) {
         std::memset(component, 0, field.type->valueSize);
      } else if (field.presence == Presence::DefaultValue) {
         /* A big integer shares the static text of its default. */
         std::memcpy(component, field.defaultValue, field.type->valueSize);
      }
      if (field.type->kind == Kind::SequenceOfList) {
         rtDListInit(static_cast<Asn1RTDList*>(component));
      } else if (field.type->kind == Kind::SequenceOfArray) {
         fieldAs<ASN1UINT>(component, 0) = 0;
         fieldAs<void*>(component, field.type->arrayElemOffset) = nullptr;
      }
   }
   if (hasPresenceWord(type)) setPresenceWord(type, value, 0);
   if (type->extensible) rtDListInit(&fieldAs<Asn1RTDList>(value, type->extensionOffset));
}

int decodeSequence(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging,
                   int length) {
   int stat = RTS_OK;
   if (tagging == TAG_EXPLICIT) stat = readUniversalTag(pctxt, type, &length);
   if (stat != RTS_OK) return stat;
   resetComponents(type, value);
   const ASN1BlockDescr block = contentsBlock(pctxt, length);
   const int carrier = octetStringCarrier(type);
   const ASN1OCTET* carrierEnd = nullptr;

   uint16_t i = 0;
   for (; i < type->fieldCount && contentRemains(pctxt, block); i++) {
      const FieldDesc& field = type->fields[i];
      if (field.presence != Presence::Required) {
         ASN1TagWord tag = 0;
         stat = peekTag(pctxt, &tag);
         if (stat != RTS_OK) return stat;
         if (!fieldMatchesTag(field, tag)) continue;
      }
      /* Marked before decoding, so that freeValue reaches a partly decoded
         component. */
      markPresent(type, value, field);
      stat = decodeField(pctxt, field, at(value, field.offset));
      if (stat != RTS_OK) return stat;
      if (i == carrier) carrierEnd = position(pctxt);
   }
   for (; i < type->fieldCount; i++) {
      if (type->fields[i].presence == Presence::Required)
         return LOG_ASN1ERR(pctxt, RTS_MISSING_ELEMENT);
   }
   if (contentRemains(pctxt, block)) {
      if (!type->extensible) return LOG_ASN1ERR(pctxt, RTS_EXTRA_ELEMENT);
      /* Elements behind the root components are unknown extensions, kept
         raw for re-encoding. */
      stat = xd_OpenTypeExt(pctxt, &block, XD_ALL_ELEMENTS,
                            &fieldAs<Asn1RTDList>(value, type->extensionOffset));
      if (stat != RTS_OK) return stat;
   }
   stat = finishContents(pctxt, block, tagging == TAG_EXPLICIT);
   if (stat != RTS_OK) return stat;
   return type->table != nullptr ? decodeTable(pctxt, type, value, carrierEnd) : RTS_OK;
}

}
}
