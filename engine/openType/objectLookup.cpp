/*
 * Information object sets: the first object whose identifier equals the
 * given OBJECT IDENTIFIER, arc by arc. Every open type of a message asks
 * for one, so each set gets a hash index of its identifiers on first use,
 * kept with the set's address until the thread ends.
 */
#include <algorithm>
#include <vector>

#include "asn1Engine.h"
#include "openTypeInternal.h"

namespace asn1rt {

namespace {

/* The identifiers of one set mostly share a prefix and differ in their
   last arcs, so the count and the last two arcs make the hash. */
uint64_t hashArcs(ASN1UINT numarcs, const ASN1UINT* arcs) {
   const uint64_t last = numarcs > 0 ? arcs[numarcs - 1] : 0;
   const uint64_t previous = numarcs > 1 ? arcs[numarcs - 2] : 0;
   return (last * 0x9E3779B97F4A7C15ull) ^ (previous * 0xC2B2AE3D27D4EB4Full) ^ numarcs;
}

/* Compared from the last arc, where identifiers of one set differ. */
bool sameArcs(const ObjectDesc* object, ASN1UINT numarcs, const ASN1UINT* arcs) {
   if (object->numarcs != numarcs) return false;
   for (ASN1UINT i = numarcs; i-- > 0;)
      if (object->arcs[i] != arcs[i]) return false;
   return true;
}

/* Open addressing over the objects of one set, on the high bits of the
   hash. A slot keeps the arc count and the last arc of its object, which
   reject most other identifiers without reading the object, and the
   object's position plus one, 0 when empty. Of several objects with one
   identifier only the first is entered, so the first match found is the
   first in search order. The set's object array and count are kept to
   notice a set that was replaced at the same address. */
struct SetIndex {
   struct Slot {
      ASN1UINT lastArc;
      uint16_t numarcs;
      uint16_t position;
   };

   const ObjectDesc* const* objects = nullptr;
   uint16_t objectCount = 0;
   unsigned shift = 64;
   std::vector<Slot> slots;

   static ASN1UINT lastArcOf(ASN1UINT numarcs, const ASN1UINT* arcs) {
      return numarcs > 0 ? arcs[numarcs - 1] : 0;
   }

   void build(const ObjectSetDesc* set) {
      objects = set->objects;
      objectCount = set->objectCount;
      unsigned bits = 3;
      while ((size_t{1} << bits) < static_cast<size_t>(objectCount) * 2) bits++;
      shift = 64 - bits;
      slots.assign(size_t{1} << bits, Slot{0, 0, 0});
      const size_t mask = slots.size() - 1;
      for (uint16_t i = 0; i < objectCount; i++) {
         const ObjectDesc* object = objects[i];
         if (object->numarcs > MAX_OID_ARCS) continue;
         if (find(object->numarcs, object->arcs) != nullptr) continue;
         size_t slot = hashArcs(object->numarcs, object->arcs) >> shift;
         while (slots[slot].position != 0) slot = (slot + 1) & mask;
         slots[slot] = Slot{lastArcOf(object->numarcs, object->arcs),
                            static_cast<uint16_t>(object->numarcs), static_cast<uint16_t>(i + 1)};
      }
   }

   const ObjectDesc* find(ASN1UINT numarcs, const ASN1UINT* arcs) const {
      const size_t mask = slots.size() - 1;
      const ASN1UINT lastArc = lastArcOf(numarcs, arcs);
      for (size_t slot = hashArcs(numarcs, arcs) >> shift; slots[slot].position != 0;
           slot = (slot + 1) & mask) {
         const Slot& entry = slots[slot];
         if (entry.lastArc != lastArc || entry.numarcs != numarcs) continue;
         const ObjectDesc* object = objects[entry.position - 1];
         if (sameArcs(object, numarcs, arcs)) return object;
      }
      return nullptr;
   }
};

/* A program knows a few dozen sets and a message uses a handful, so the
   indexes sit in a list searched by address, the keys kept together, and
   consecutive lookups in one set skip the search. Each thread keeps its
   own, so that conversions may run in several threads at once. */
thread_local std::vector<const ObjectSetDesc*> indexedSets;
thread_local std::vector<SetIndex> setIndexes;
thread_local size_t lastPosition = 0;

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
