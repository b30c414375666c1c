/*
 * Object identifier values: copy of the used arcs and arc-by-arc equality.
 */
#include "ASN1TObjId.h"

#include <cstring>

namespace {

ASN1UINT usedArcs(ASN1UINT count) { return count < MAX_OID_ARCS ? count : MAX_OID_ARCS; }

/* Copies count (cut to the array bound) and the used arcs; the arcs beyond
   them are zeroed so that an identifier never carries stale arcs. */
template <typename Oid, typename Arc>
void assignArcs(Oid& dest, ASN1UINT count, const Arc* arcs) {
   dest.numarcs = usedArcs(count);
   if (dest.numarcs > 0) std::memmove(dest.arcs, arcs, dest.numarcs * sizeof(Arc));
   std::memset(dest.arcs + dest.numarcs, 0, (MAX_OID_ARCS - dest.numarcs) * sizeof(Arc));
}

template <typename Oid>
bool sameArcs(const Oid& lhs, const Oid& rhs) {
   if (lhs.numarcs != rhs.numarcs) return false;
   ASN1UINT count = usedArcs(lhs.numarcs);
   for (ASN1UINT i = 0; i < count; i++) {
      if (lhs.arcs[i] != rhs.arcs[i]) return false;
   }
   return true;
}

}

ASN1TObjId::ASN1TObjId() { assignArcs(*this, 0, arcs); }

ASN1TObjId::ASN1TObjId(unsigned char count, const ASN1UINT* arcList) {
   assignArcs(*this, arcList != nullptr ? count : 0, arcList);
}

ASN1TObjId::ASN1TObjId(const ASN1OBJID& oid) : ASN1OBJID() {
   assignArcs(*this, oid.numarcs, oid.arcs);
}

ASN1TObjId::ASN1TObjId(const ASN1TObjId& oid) : ASN1OBJID() {
   assignArcs(*this, oid.numarcs, oid.arcs);
}

ASN1TObjId& ASN1TObjId::operator=(const ASN1OBJID& oid) {
   assignArcs(*this, oid.numarcs, oid.arcs);
   return *this;
}

ASN1TObjId& ASN1TObjId::operator=(const ASN1TObjId& oid) {
   assignArcs(*this, oid.numarcs, oid.arcs);
   return *this;
}

ASN1TObjId64::ASN1TObjId64() { assignArcs(*this, 0, arcs); }

ASN1TObjId64::ASN1TObjId64(unsigned char count, const ASN1INT64* arcList) {
   assignArcs(*this, arcList != nullptr ? count : 0, arcList);
}

ASN1TObjId64::ASN1TObjId64(const ASN1OID64& oid) : ASN1OID64() {
   assignArcs(*this, oid.numarcs, oid.arcs);
}

ASN1TObjId64::ASN1TObjId64(const ASN1TObjId64& oid) : ASN1OID64() {
   assignArcs(*this, oid.numarcs, oid.arcs);
}

ASN1TObjId64& ASN1TObjId64::operator=(const ASN1OID64& oid) {
   assignArcs(*this, oid.numarcs, oid.arcs);
   return *this;
}

ASN1TObjId64& ASN1TObjId64::operator=(const ASN1TObjId64& oid) {
   assignArcs(*this, oid.numarcs, oid.arcs);
   return *this;
}

bool operator==(const ASN1OBJID& lhs, const ASN1OBJID& rhs) { return sameArcs(lhs, rhs); }
bool operator!=(const ASN1OBJID& lhs, const ASN1OBJID& rhs) { return !sameArcs(lhs, rhs); }
bool operator==(const ASN1OID64& lhs, const ASN1OID64& rhs) { return sameArcs(lhs, rhs); }
bool operator!=(const ASN1OID64& lhs, const ASN1OID64& rhs) { return !sameArcs(lhs, rhs); }
