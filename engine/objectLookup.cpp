/*
 * Information object sets: the first object whose identifier equals the
 * given OBJECT IDENTIFIER, arc by arc.
 */
#include <algorithm>

#include "asn1Engine.h"
#include "engineInternal.h"

namespace asn1rt {

/* The identifiers of one set mostly share a long prefix and differ in the
   last arc, so the arc count and the last arc reject nearly every other
   object before the whole identifier is compared. */
const ObjectDesc* lookupObject(const ObjectSetDesc* set, const ASN1OBJID& oid) {
   if (set == nullptr || oid.numarcs > MAX_OID_ARCS) return nullptr;
   const ASN1UINT numarcs = oid.numarcs;
   const ASN1UINT lastArc = numarcs > 0 ? oid.arcs[numarcs - 1] : 0;
   for (uint16_t i = 0; i < set->objectCount; i++) {
      const ObjectDesc* object = set->objects[i];
      if (object->numarcs != numarcs) continue;
      if (numarcs > 0 && object->arcs[numarcs - 1] != lastArc) continue;
      if (std::equal(object->arcs, object->arcs + numarcs, oid.arcs)) return object;
   }
   return nullptr;
}

const ObjectDesc* detail::objectOf(const TypeDesc* type, const void* value) {
   const TableDesc* table = type->table;
   return lookupObject(table->set,
                       detail::fieldAs<ASN1OBJID>(value, type->fields[table->idField].offset));
}

}
