/*
 * Information object sets: the first object whose identifier equals the
 * given OBJECT IDENTIFIER, arc by arc. Every open type of a message asks
 * for one, so each set gets a hash index of its identifiers on first use,
 * kept with the set's address until the program ends.
 */
#include <algorithm>
#include <vector>

#include "asn1Engine.h"
#include "engineInternal.h"

namespace asn1rt {

namespace {

uint64_t hashArcs(ASN1UINT numarcs, const ASN1UINT* arcs) {
   uint64_t hash = 0x9E3779B97F4A7C15ull ^ numarcs;
   for (ASN1UINT i = 0; i < numarcs; i++) hash = (hash ^ arcs[i]) * 0x100000001B3ull;
   return hash ^ (hash >> 29);
}

bool sameArcs(const ObjectDesc* object, ASN1UINT numarcs, const ASN1UINT* arcs) {
   return object->numarcs == numarcs && std::equal(arcs, arcs + numarcs, object->arcs);
}

/* Open addressing over the objects of one set: each slot holds an object's
   position plus one, 0 when empty. Of several objects with one identifier
   only the first is entered, so the first match found is the first in
   search order. The set's object array and count are kept to notice a set
   that was replaced at the same address. */
struct SetIndex {
   const ObjectDesc* const* objects = nullptr;
   uint16_t objectCount = 0;
   std::vector<uint16_t> slots;

   void build(const ObjectSetDesc* set) {
      objects = set->objects;
      objectCount = set->objectCount;
      size_t size = 8;
      while (size < static_cast<size_t>(objectCount) * 2) size *= 2;
      slots.assign(size, 0);
      for (uint16_t i = 0; i < objectCount; i++) {
         const ObjectDesc* object = objects[i];
         if (object->numarcs > MAX_OID_ARCS) continue;
         if (find(object->numarcs, object->arcs) != nullptr) continue;
         size_t slot = hashArcs(object->numarcs, object->arcs) & (size - 1);
         while (slots[slot] != 0) slot = (slot + 1) & (size - 1);
         slots[slot] = static_cast<uint16_t>(i + 1);
      }
   }

   const ObjectDesc* find(ASN1UINT numarcs, const ASN1UINT* arcs) const {
      const size_t mask = slots.size() - 1;
      for (size_t slot = hashArcs(numarcs, arcs) & mask; slots[slot] != 0; slot = (slot + 1) & mask) {
         const ObjectDesc* object = objects[slots[slot] - 1];
         if (sameArcs(object, numarcs, arcs)) return object;
      }
      return nullptr;
   }
};

/* A program knows a few dozen sets and a message uses a handful, so the
   indexes sit in a list searched by address, the keys kept together, and
   consecutive lookups in one set skip the search. */
std::vector<const ObjectSetDesc*> indexedSets;
std::vector<SetIndex> setIndexes;
size_t lastPosition = 0;

const SetIndex& indexOf(const ObjectSetDesc* set) {
   size_t position = lastPosition;
   if (position >= indexedSets.size() || indexedSets[position] != set) {
      position = static_cast<size_t>(std::find(indexedSets.begin(), indexedSets.end(), set) -
                                     indexedSets.begin());
      if (position == indexedSets.size()) {
         indexedSets.push_back(set);
         setIndexes.emplace_back();
      }
      lastPosition = position;
   }
   SetIndex& index = setIndexes[position];
   if (index.slots.empty() || index.objects != set->objects || index.objectCount != set->objectCount)
      index.build(set);
   return index;
}

}

const ObjectDesc* lookupObject(const ObjectSetDesc* set, const ASN1OBJID& oid) {
   if (set == nullptr || oid.numarcs > MAX_OID_ARCS || set->objectCount == 0) return nullptr;
   return indexOf(set).find(oid.numarcs, oid.arcs);
}

const ObjectDesc* detail::objectOf(const TypeDesc* type, const void* value) {
   const TableDesc* table = type->table;
   return lookupObject(table->set,
                       detail::fieldAs<ASN1OBJID>(value, type->fields[table->idField].offset));
}

}
