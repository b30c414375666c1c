/*
 * Deep copy of a value: every dynamic part is allocated anew in the
 * context's memory heap. An allocation that fails leaves that part empty.
 */
#include "asn1Engine.h"
#include "openTypeInternal.h"
#include "rtCopy.h"
#include "rtList.h"
#include "rtMemHeap.h"

namespace asn1rt {

using namespace detail;

/* A new zeroed value of the type holding a copy of `src`, or null. */
static void* copyToNewValue(ASN1CTXT* pctxt, const TypeDesc* type, const void* src) {
   if (src == nullptr || type->valueSize == 0) return nullptr;
   void* dst = ASN1MALLOCZ(pctxt, type->valueSize);
   if (dst != nullptr) copyValue(pctxt, type, src, dst);
   return dst;
}

static void copyComponents(ASN1CTXT* pctxt, const TypeDesc* type, const void* src, void* dst) {
   if (hasPresenceWord(type)) setPresenceWord(type, dst, presenceWord(type, src));
   for (uint16_t i = 0; i < type->fieldCount; i++) {
      const FieldDesc& field = type->fields[i];
      if (field.presence == Presence::Optional && !holdsValue(pctxt, type, src, field)) continue;
      if (holdsDefaultStorage(field, src)) {
         std::memcpy(at(dst, field.offset), field.defaultValue, field.type->valueSize);
         continue;
      }
      copyValue(pctxt, field.type, at(src, field.offset), at(dst, field.offset));
   }
   if (type->extensible) {
      rtCopyOpenTypeExt(pctxt, &fieldAs<Asn1RTDList>(src, type->extensionOffset),
                        &fieldAs<Asn1RTDList>(dst, type->extensionOffset));
   }
   if (type->table != nullptr) copyTableObjects(pctxt, type, src, dst);
}

static void copyChoice(ASN1CTXT* pctxt, const TypeDesc* type, const void* src, void* dst) {
   const ASN1UINT selector = fieldAs<ASN1UINT>(src, type->selectorOffset);
   fieldAs<ASN1UINT>(dst, type->selectorOffset) = selector;
   if (selector < 1 || selector > type->fieldCount) return;
   const FieldDesc& field = type->fields[selector - 1];
   if (field.byPointer) {
      fieldAs<void*>(dst, field.offset) =
         copyToNewValue(pctxt, field.type, alternativeValue(src, field));
   } else {
      copyValue(pctxt, field.type, at(src, field.offset), at(dst, field.offset));
   }
}

/* Each element into a new node-and-element block. */
static void copyList(ASN1CTXT* pctxt, const TypeDesc* type, const void* src, void* dst) {
   const size_t nodeSize = sizeof(Asn1RTDListNode);
   const size_t elemSize = type->elemType->valueSize;
   Asn1RTDList& to = fieldAs<Asn1RTDList>(dst, 0);
   rtDListInit(&to);
   for (const Asn1RTDListNode* node = fieldAs<Asn1RTDList>(src, 0).head; node != nullptr;
        node = node->next) {
      char* block = static_cast<char*>(ASN1MALLOCZ(pctxt, nodeSize + elemSize));
      if (block == nullptr) return;
      copyValue(pctxt, type->elemType, node->data, block + nodeSize);
      rtDListAppendNode(pctxt, &to, block + nodeSize);
   }
}

/* All elements into one new block; none when it cannot be had. */
static void copyArray(ASN1CTXT* pctxt, const TypeDesc* type, const void* src, void* dst) {
   const ASN1UINT count = fieldAs<ASN1UINT>(src, 0);
   const char* from = fieldAs<const char*>(src, type->arrayElemOffset);
   ASN1UINT& toCount = fieldAs<ASN1UINT>(dst, 0);
   char*& to = fieldAs<char*>(dst, type->arrayElemOffset);
   toCount = 0;
   to = nullptr;
   const size_t elemSize = type->elemType->valueSize;
   if (count == 0 || from == nullptr || elemSize > RT_MH_MAXALLOC / count) return;
   to = static_cast<char*>(ASN1MALLOCZ(pctxt, count * elemSize));
   if (to == nullptr) return;
   for (ASN1UINT i = 0; i < count; i++)
      copyValue(pctxt, type->elemType, from + i * elemSize, to + i * elemSize);
   toCount = count;
}

void copyValue(ASN1CTXT* pctxt, const TypeDesc* type, const void* src, void* dst) {
   if (src == dst) return;
   /* A value nested deeper than any decoded one stays empty. */
   const NestingLevel nesting(type);
   if (nesting.tooDeep()) return;
   switch (type->kind) {
   case Kind::Boolean:
   case Kind::Integer:
   case Kind::Unsigned:
   case Kind::Unsigned16:
   case Kind::Enumerated:
   case Kind::OctetStringFixed:
   case Kind::BitStringFixed: std::memcpy(dst, src, type->valueSize); return;
   case Kind::Null: return;
   case Kind::BigInteger:
   case Kind::CharString: {
      char* text = nullptr;
      rtCopyCharStr(pctxt, fieldAs<const char*>(src, 0), &text);
      fieldAs<const char*>(dst, 0) = text;
      return;
   }
   case Kind::ObjectId:
      rtCopyOID(pctxt, static_cast<const ASN1OBJID*>(src), static_cast<ASN1OBJID*>(dst));
      return;
   case Kind::OctetString:
      rtCopyDynOctStr(pctxt, static_cast<const ASN1TDynOctStr*>(src), static_cast<ASN1TDynOctStr*>(dst));
      return;
   case Kind::BitString:
      rtCopyDynBitStr(pctxt, static_cast<const ASN1TDynBitStr*>(src), static_cast<ASN1TDynBitStr*>(dst));
      return;
   case Kind::BMPString:
      rtCopy16BitCharStr(pctxt, static_cast<const ASN116BitCharString*>(src),
                         static_cast<ASN116BitCharString*>(dst));
      return;
   case Kind::UniversalString:
      rtCopy32BitCharStr(pctxt, static_cast<const ASN132BitCharString*>(src),
                         static_cast<ASN132BitCharString*>(dst));
      return;
   case Kind::OpenType: copyOpenType(pctxt, type, src, dst); return;
   case Kind::Sequence:
   case Kind::Set: copyComponents(pctxt, type, src, dst); return;
   case Kind::Choice: copyChoice(pctxt, type, src, dst); return;
   case Kind::SequenceOfList: copyList(pctxt, type, src, dst); return;
   case Kind::SequenceOfArray: copyArray(pctxt, type, src, dst); return;
   }
}

}
