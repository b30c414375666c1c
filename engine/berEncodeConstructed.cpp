/*
 * SEQUENCE and SET encoding: components from the last to the first, since
 * the buffer fills back to front; a SET keeps the same fixed order.
 */
#include "asn1Engine.h"
#include "berEncode.h"
#include "openTypeInternal.h"
#include "rtContext.h"

namespace asn1rt {
namespace detail {

int encodeConstructed(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                      ASN1TagType tagging) {
   /* Decoded open-type values are encoded first, into octets that the
      carrying component is written with. */
   TableOctets tableOctets(pctxt);
   if (type->table != nullptr) {
      int stat = tableOctets.render(type, value);
      if (stat < 0) return stat;
   }
   int total = 0;
   if (type->extensible) {
      /* Unknown extension elements go behind every root component. */
      const Asn1RTDList& extensions = fieldAs<Asn1RTDList>(value, type->extensionOffset);
      if (extensions.count > 0) {
         total = xe_OpenTypeExt(pctxt, &extensions);
         if (total < 0) return total;
      }
   }
   for (int i = type->fieldCount - 1; i >= 0; i--) {
      const FieldDesc& field = type->fields[i];
      if (!holdsValue(pctxt, type, value, field)) continue;
      int len = tableOctets.inPlace(i)
                   ? tableOctets.writeInPlace(field)
                   : encodeField(pctxt, field, tableOctets.component(value, i, field));
      if (len < 0) return len;
      int stat = addLength(pctxt, &total, len);
      if (stat != RTS_OK) return stat;
   }
   if (tagging == TAG_EXPLICIT) return xe_tag_len(pctxt, type->universalTag | TM_CONS, total);
   return total;
}

}
}
