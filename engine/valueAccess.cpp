/*
 * Presence of the components of a SEQUENCE or SET value.
 */
#include "engineInternal.h"
#include "rtBigInt.h"

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

/* Whether the component's value is other than its default: booleans by
   truth (any non-zero octet is TRUE), big integers by number ("0x01" equals
   "1"), the other forms octet by octet. */
static bool differsFromDefault(ASN1CTXT* pctxt, const FieldDesc& field, const void* component) {
   switch (field.type->kind) {
   case Kind::Boolean:
      return (fieldAs<ASN1BOOL>(component, 0) != 0) !=
             (*static_cast<const ASN1BOOL*>(field.defaultValue) != 0);
   case Kind::BigInteger: {
      const char* text = fieldAs<const char*>(component, 0);
      const char* defaultText = *static_cast<const char* const*>(field.defaultValue);
      return text != nullptr && rtBigIntStrCompare(pctxt, text, defaultText) != 0;
   }
   default: return std::memcmp(component, field.defaultValue, field.type->valueSize) != 0;
   }
}

bool holdsValue(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, const FieldDesc& field) {
   switch (field.presence) {
   case Presence::Required: return true;
   case Presence::DefaultZero: return !isZero(at(value, field.offset), field.type->valueSize);
   case Presence::DefaultValue: return differsFromDefault(pctxt, field, at(value, field.offset));
   case Presence::Optional:
      return field.presenceBit < 0 || (presenceWord(type, value) >> field.presenceBit) & 1u;
   }
   return true;
}

}
}
