/*
 * Release of the dynamic parts of a value, depth first, back into the
 * context's memory heap. The value structure itself stays; every part it
 * points to must come from that heap, except open-type octets marked
 * borrowed, which are left where they are.
 */
#include "asn1Engine.h"
#include "openTypeInternal.h"
#include "rtList.h"
#include "rtMemHeap.h"

namespace asn1rt {

using namespace detail;

static void freeComponents(ASN1CTXT* pctxt, const TypeDesc* type, void* value) {
   if (type->table != nullptr) freeTableObjects(pctxt, type, value);
   for (uint16_t i = 0; i < type->fieldCount; i++) {
      const FieldDesc& field = type->fields[i];
      if (field.presence == Presence::Optional && !holdsValue(pctxt, type, value, field)) continue;
      if (holdsDefaultStorage(field, value)) continue;
      freeValue(pctxt, field.type, at(value, field.offset));
   }
   if (type->extensible)
      rtMemFreeOpenSeqExt(pctxt, &fieldAs<Asn1RTDList>(value, type->extensionOffset));
}

static void freeChoice(ASN1CTXT* pctxt, const TypeDesc* type, void* value) {
   const ASN1UINT selector = fieldAs<ASN1UINT>(value, type->selectorOffset);
   if (selector < 1 || selector > type->fieldCount) return;
   const FieldDesc& field = type->fields[selector - 1];
   if (!field.byPointer) {
      freeValue(pctxt, field.type, at(value, field.offset));
      return;
   }
   void*& alternative = fieldAs<void*>(value, field.offset);
   if (alternative == nullptr) return;
   freeValue(pctxt, field.type, alternative);
   ASN1MEMFREEPTR(pctxt, alternative);
   alternative = nullptr;
}

static void freeList(ASN1CTXT* pctxt, const TypeDesc* type, void* value) {
   Asn1RTDList& list = fieldAs<Asn1RTDList>(value, 0);
   for (Asn1RTDListNode* node = list.head; node != nullptr; node = node->next)
      freeValue(pctxt, type->elemType, node->data);
   rtDListFreeAll(pctxt, &list);
}

static void freeArray(ASN1CTXT* pctxt, const TypeDesc* type, void* value) {
   ASN1UINT& count = fieldAs<ASN1UINT>(value, 0);
   char*& elements = fieldAs<char*>(value, type->arrayElemOffset);
   const size_t elemSize = type->elemType->valueSize;
   if (elements != nullptr) {
      for (ASN1UINT i = 0; i < count; i++) freeValue(pctxt, type->elemType, elements + i * elemSize);
   }
   ASN1MEMFREEPTR(pctxt, elements);
   elements = nullptr;
   count = 0;
}

/* Frees the block behind a pointer field and clears the field. */
template <typename Pointer>
static void release(ASN1CTXT* pctxt, Pointer& pointer) {
   ASN1MEMFREEPTR(pctxt, pointer);
   pointer = nullptr;
}

void freeValue(ASN1CTXT* pctxt, const TypeDesc* type, void* value) {
   /* Parts nested deeper than any decoded value stay in the heap, which
      gives them back when it goes. */
   const NestingLevel nesting(type);
   if (nesting.tooDeep()) return;
   switch (type->kind) {
   case Kind::Boolean:
   case Kind::Integer:
   case Kind::Unsigned:
   case Kind::Unsigned16:
   case Kind::Enumerated:
   case Kind::Null:
   case Kind::ObjectId:
   case Kind::OctetStringFixed:
   case Kind::BitStringFixed: return;
   case Kind::BigInteger:
   case Kind::CharString: release(pctxt, fieldAs<const char*>(value, 0)); return;
   case Kind::OctetString: {
      ASN1TDynOctStr& octets = fieldAs<ASN1TDynOctStr>(value, 0);
      release(pctxt, octets.data);
      octets.numocts = 0;
      return;
   }
   case Kind::BitString: {
      ASN1TDynBitStr& bits = fieldAs<ASN1TDynBitStr>(value, 0);
      release(pctxt, bits.data);
      bits.numbits = 0;
      return;
   }
   case Kind::BMPString: {
      ASN116BitCharString& text = fieldAs<ASN116BitCharString>(value, 0);
      release(pctxt, text.data);
      text.nchars = 0;
      return;
   }
   case Kind::UniversalString: {
      ASN132BitCharString& text = fieldAs<ASN132BitCharString>(value, 0);
      release(pctxt, text.data);
      text.nchars = 0;
      return;
   }
   case Kind::OpenType: freeOpenType(pctxt, value); return;
   case Kind::Sequence:
   case Kind::Set: freeComponents(pctxt, type, value); return;
   case Kind::Choice: freeChoice(pctxt, type, value); return;
   case Kind::SequenceOfList: freeList(pctxt, type, value); return;
   case Kind::SequenceOfArray: freeArray(pctxt, type, value); return;
   }
}

}
