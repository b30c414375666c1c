/*
 * What the code that asn1gen writes builds on besides the engine entry
 * points: the record of a SEQUENCE OF held as a counted array, builders that
 * fill descriptors inside constant expressions (so every descriptor is
 * initialised before any code runs, whatever the order of the translation
 * units), and the operations of information objects, which hand the value of
 * an open type to the engine with the descriptor of the object's type.
 */
#ifndef BLOBXML_ASN1GENERATED_H
#define BLOBXML_ASN1GENERATED_H

#include <new>

#include "ASN1CType.h"
#include "ASN1MessageBuffer.h"
#include "ASN1TPDU.h"
#include "asn1Desc.h"

namespace asn1rt {

/* SEQUENCE OF held as a counted array: `n` elements at `elem`. A value
   structure with the ASN1TPDU base derives from it first, so that the
   count stays at offset 0. */
template <class Elem>
struct CountedArray {
   ASN1UINT n;
   Elem* elem;
};

/* One component or alternative; `defaultValue` only for
   Presence::DefaultValue. Fields added to FieldDesc later keep their zero
   defaults. */
constexpr FieldDesc field(const char* name, const TypeDesc* type, uint32_t offset,
                          ASN1TagWord tag, Tagging tagging, Presence presence, int presenceBit,
                          bool byPointer, const void* defaultValue = nullptr) {
   FieldDesc f{};
   f.name = name;
   f.type = type;
   f.offset = offset;
   f.tag = tag;
   f.tagging = tagging;
   f.presence = presence;
   f.presenceBit = static_cast<int8_t>(presenceBit);
   f.byPointer = byPointer ? 1 : 0;
   f.defaultValue = defaultValue;
   return f;
}

/* Bounds with a lower bound only, with both, or with an upper bound only. */
constexpr Bounds bounds(bool hasLower, int64_t lower, bool hasUpper, int64_t upper) {
   Bounds b{};
   b.hasLower = hasLower ? 1 : 0;
   b.hasUpper = hasUpper ? 1 : 0;
   b.lower = lower;
   b.upper = upper;
   return b;
}
constexpr Bounds atLeast(int64_t lower) { return bounds(true, lower, false, 0); }
constexpr Bounds between(int64_t lower, int64_t upper) { return bounds(true, lower, true, upper); }
constexpr Bounds atMost(int64_t upper) { return bounds(false, 0, true, upper); }

/* A union of ranges, (32 | 64) or (1..4 | 8..MAX): `hull` bounds them all,
   and a number must lie in one of the `count` ranges, sorted and disjoint;
   an open end is INT64_MIN or INT64_MAX. */
constexpr Bounds anyOf(Bounds hull, const Range* ranges, uint16_t count) {
   hull.ranges = ranges;
   hull.rangeCount = count;
   return hull;
}

/* ---- information objects ---------------------------------------------------- */

/* A new zeroed value of the type in the context's heap; null for a type
   without storage (NULL) or when no memory is left. */
void* newObjectValue(ASN1CTXT* pctxt, const TypeDesc& type);

/* BER of the decoded value; the length or a negative status. */
int encodeObjectValue(ASN1CTXT* pctxt, const TypeDesc& type, Asn1TObject& object);

/* Decodes one value of the type at the context's position into a new value
   that becomes the decoded value, also when decoding fails (a NULL stores
   null). Returns 0 or the status, recorded. */
int decodeObjectValue(ASN1CTXT* pctxt, const TypeDesc& type, Asn1TObject& object);

/* The destination's decoded value becomes a deep copy of the source's, or
   null when the source has none. */
void copyObjectValue(ASN1CTXT* pctxt, const TypeDesc& type, const Asn1TObject& src,
                     Asn1TObject& dst);

/* Releases the decoded value with its parts; it becomes null. */
void freeObjectValue(ASN1CTXT* pctxt, const TypeDesc& type, Asn1TObject& object);

/* A control object of class Control over `value`, built in memory of the
   message buffer's context heap; null when no memory is left. */
template <class Control, class Value>
ASN1CType* newObjectControl(ASN1MessageBufferIF& msgBuf, void* value) {
   void* memory = rtMemHeapAlloc(&msgBuf.getCtxtPtr()->typeMemHeap, sizeof(Control));
   if (memory == nullptr) return nullptr;
   return new (memory) Control(msgBuf, *static_cast<Value*>(value));
}

/* Runs the control object's destructor; its memory stays in the heap. */
void destructObjectControl(ASN1CType* control);

/* Fills an identifier with the given arcs (at most MAX_OID_ARCS). */
void setObjectId(ASN1OBJID& oid, ASN1UINT numarcs, const ASN1UINT* arcs);

}

#endif
