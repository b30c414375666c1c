/*
 * Presence of the components of a SEQUENCE or SET value.
 */
#include "engineInternal.h"

namespace asn1rt {
namespace detail {

bool hasPresenceWord(const TypeDesc* type) {
   for (uint16_t i = 0; i < type->fieldCount; i++) {
      if (type->fields[i].presenceBit >= 0) return true;
   }
   return false;
}

static bool isZero(const void* field, uint32_t size) {
   const ASN1OCTET* octets = static_cast<const ASN1OCTET*>(field);
   for (uint32_t i = 0; i < size; i++) {
      if (octets[i] != 0) return false;
   }
   return true;
}

bool holdsValue(const TypeDesc* type, const void* value, const FieldDesc& field) {
   switch (field.presence) {
   case Presence::Required: return true;
   case Presence::DefaultZero: return !isZero(at(value, field.offset), field.type->valueSize);
   case Presence::Optional:
      return field.presenceBit < 0 || (presenceWord(type, value) >> field.presenceBit) & 1u;
   }
   return true;
}

}
}
