/*
 * Information object sets: the first object whose identifier equals the
 * given OBJECT IDENTIFIER, arc by arc.
 */
#include <algorithm>

#include "asn1Engine.h"
#include "engineInternal.h"

namespace asn1rt {

const ObjectDesc* lookupObject(const ObjectSetDesc* set, const ASN1OBJID& oid) {
   if (set == nullptr || oid.numarcs > MAX_OID_ARCS) return nullptr;
   for (uint16_t i = 0; i < set->objectCount; i++) {
      const ObjectDesc* object = set->objects[i];
      if (object->numarcs == oid.numarcs &&
          std::equal(object->arcs, object->arcs + oid.numarcs, oid.arcs))
         return object;
   }
   return nullptr;
}

const ObjectDesc* detail::objectOf(const TypeDesc* type, const void* value) {
   const TableDesc* table = type->table;
   return lookupObject(table->set,
                       detail::fieldAs<ASN1OBJID>(value, type->fields[table->idField].offset));
}

}
