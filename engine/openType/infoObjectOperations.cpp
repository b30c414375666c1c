/*
 * Operations of the generated information objects on the value of an open
 * type: each passes the decoded value to the engine together with the
 * descriptor of the type that the object names. The decode is with the
 * table step's in tableConstraint.cpp, which reads values through it.
 */
#include <cstring>

#include "asn1Engine.h"
#include "asn1Generated.h"
#include "rtContext.h"
#include "rtMemHeap.h"

namespace asn1rt {

void* newObjectValue(ASN1CTXT* pctxt, const TypeDesc& type) {
   if (type.valueSize == 0) return nullptr;
   return ASN1MALLOCZ(pctxt, type.valueSize);
}

int encodeObjectValue(ASN1CTXT* pctxt, const TypeDesc& type, Asn1TObject& object) {
   return berEncode(pctxt, &type, object.decoded, TAG_EXPLICIT);
}

void copyObjectValue(ASN1CTXT* pctxt, const TypeDesc& type, const Asn1TObject& src,
                     Asn1TObject& dst) {
   void* value = nullptr;
   if (src.decoded != nullptr) {
      value = newObjectValue(pctxt, type);
      if (value != nullptr) copyValue(pctxt, &type, src.decoded, value);
   }
   dst.decoded = value;
}

void freeObjectValue(ASN1CTXT* pctxt, const TypeDesc& type, Asn1TObject& object) {
   if (object.decoded == nullptr) return;
   freeValue(pctxt, &type, object.decoded);
   ASN1MEMFREEPTR(pctxt, object.decoded);
   object.decoded = nullptr;
}

void destructObjectControl(ASN1CType* control) {
   if (control != nullptr) control->~ASN1CType();
}

void setObjectId(ASN1OBJID& oid, ASN1UINT numarcs, const ASN1UINT* arcs) {
   oid.numarcs = numarcs <= MAX_OID_ARCS ? numarcs : MAX_OID_ARCS;
   if (oid.numarcs > 0) std::memcpy(oid.arcs, arcs, oid.numarcs * sizeof(ASN1UINT));
}

}
