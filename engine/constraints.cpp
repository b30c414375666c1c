/*
 * SIZE and value constraints and the items of an ENUMERATED, tested after
 * decoding and before encoding.
 */
#include <cstring>

#include "engineInternal.h"
#include "rtContext.h"
#include "rtUTF8.h"

namespace asn1rt {
namespace detail {

/* Outside the hull, or, for a union such as (32 | 64), in a gap between
   its ranges. */
static bool outside(const Bounds& bounds, int64_t value) {
   if ((bounds.hasLower && value < bounds.lower) || (bounds.hasUpper && value > bounds.upper))
      return true;
   if (bounds.rangeCount == 0) return false;
   for (uint16_t i = 0; i < bounds.rangeCount; i++) {
      if (value >= bounds.ranges[i].lower && value <= bounds.ranges[i].upper) return false;
   }
   return true;
}

int checkSize(ASN1CTXT* pctxt, const Bounds& bounds, uint64_t count) {
   /* Counts come from 32-bit fields, so they always fit. */
   if (outside(bounds, static_cast<int64_t>(count))) return LOG_ASN1ERR(pctxt, RTS_CONSTRAINT);
   return RTS_OK;
}

int checkValue(ASN1CTXT* pctxt, const Bounds& bounds, int64_t value) {
   if (outside(bounds, value)) return LOG_ASN1ERR(pctxt, RTS_CONSTRAINT);
   return RTS_OK;
}

/* BER takes any number from the lowest item to the highest, also one that
   names no item (CRLReason 7); only XER needs an identifier. */
int checkEnumerated(ASN1CTXT* pctxt, const TypeDesc* type, int64_t number) {
   bool below = true, above = true;
   for (uint16_t i = 0; i < type->nameCount; i++) {
      if (type->names[i].value <= number) below = false;
      if (type->names[i].value >= number) above = false;
   }
   return below || above ? LOG_ASN1ERR(pctxt, RTS_BAD_ENUM) : RTS_OK;
}

int checkTextSize(ASN1CTXT* pctxt, const TypeDesc* type, const char* text) {
   const Bounds& bounds = type->size;
   if (!bounds.hasLower && !bounds.hasUpper) return RTS_OK;
   if ((type->universalTag & TM_IDCODE) != ASN_ID_UTF8String)
      return checkSize(pctxt, bounds, std::strlen(text));
   int chars = rtUTF8Len(reinterpret_cast<const ASN1OCTET*>(text));
   if (chars < 0) return LOG_ASN1ERR(pctxt, chars);
   return checkSize(pctxt, bounds, static_cast<uint64_t>(chars));
}

}
}
