/*
 * Copy and free of open types. The record's flags say who owns its octets
 * (ASN1OPENTYPE_BORROWED: another heap or another record does) and what
 * they hold (ASN1OPENTYPE_XER_TEXT); the decoded value of a table object is
 * copied and freed by the SEQUENCE that carries it, since only the
 * identifier there names its type.
 */
#include "asn1Engine.h"
#include "asn1Generated.h"
#include "openTypeInternal.h"
#include "rtCopy.h"
#include "rtMemHeap.h"

namespace asn1rt {
namespace detail {

/* The copy owns its octets; rendered XER text stays XER text in it. */
static ASN1UINT copiedFlags(const Asn1TObject& from) {
   return from.flags & ASN1OPENTYPE_XER_TEXT;
}

void copyOpenType(ASN1CTXT* pctxt, const TypeDesc* type, const void* src, void* dst) {
   rtCopyOpenType(pctxt, &fieldAs<ASN1TOpenType>(src, 0), &fieldAs<ASN1TOpenType>(dst, 0));
   if (isTableObject(type)) {
      const Asn1TObject& from = fieldAs<Asn1TObject>(src, 0);
      Asn1TObject& to = fieldAs<Asn1TObject>(dst, 0);
      to.decoded = nullptr;
      to.flags = copiedFlags(from);
   }
}

/* The decoded value of `from` copied into `to`, when the object has a type. */
static void copyDecoded(ASN1CTXT* pctxt, const TypeDesc* objectType, const Asn1TObject& from,
                        Asn1TObject& to) {
   if (objectType != nullptr) {
      copyObjectValue(pctxt, *objectType, from, to);
   } else {
      to.decoded = nullptr;
   }
}

void copyTableObjects(ASN1CTXT* pctxt, const TypeDesc* type, const void* src, void* dst) {
   const TableDesc* table = type->table;
   const ObjectDesc* object = objectOf(type, dst);
   const TypeDesc* objectType = object != nullptr ? object->type : nullptr;
   const FieldDesc& carrier = type->fields[table->openField];
   if (!holdsValue(pctxt, type, src, carrier)) return;
   switch (table->form) {
   case TableForm::OpenType:
      copyDecoded(pctxt, objectType, fieldAs<Asn1TObject>(src, carrier.offset),
                  fieldAs<Asn1TObject>(dst, carrier.offset));
      return;
   case TableForm::InOctetString: {
      /* The copy mirrors the copied OCTET STRING. */
      const Asn1TObject& from = fieldAs<Asn1TObject>(src, table->objectOffset);
      Asn1TObject& to = fieldAs<Asn1TObject>(dst, table->objectOffset);
      const ASN1TDynOctStr& octets = fieldAs<ASN1TDynOctStr>(dst, carrier.offset);
      to.numocts = octets.numocts;
      to.data = octets.data;
      to.flags = copiedFlags(from);
      copyDecoded(pctxt, objectType, from, to);
      return;
   }
   case TableForm::SetOfOpenTypes: {
      const Asn1RTDListNode* from = fieldAs<Asn1RTDList>(src, carrier.offset).head;
      Asn1RTDListNode* to = fieldAs<Asn1RTDList>(dst, carrier.offset).head;
      for (; from != nullptr && to != nullptr; from = from->next, to = to->next) {
         copyDecoded(pctxt, objectType, *static_cast<const Asn1TObject*>(from->data),
                     *static_cast<Asn1TObject*>(to->data));
      }
      return;
   }
   }
}

void freeOpenType(ASN1CTXT* pctxt, void* value) {
   ASN1TOpenType& open = fieldAs<ASN1TOpenType>(value, 0);
   if (!(open.flags & ASN1OPENTYPE_BORROWED)) ASN1MEMFREEPTR(pctxt, open.data);
   open = ASN1TOpenType{};
}

void freeTableObjects(ASN1CTXT* pctxt, const TypeDesc* type, void* value) {
   const ObjectDesc* object = objectOf(type, value);
   const TableDesc* table = type->table;
   const uint32_t carrierOffset = type->fields[table->openField].offset;
   ASN1TDynOctStr* carrier = table->form == TableForm::InOctetString
                                ? &fieldAs<ASN1TDynOctStr>(value, carrierOffset)
                                : nullptr;
   forEachTableObject(pctxt, type, value, [pctxt, object, carrier](Asn1TObject* open) {
      if (open->decoded != nullptr && object != nullptr && object->type != nullptr)
         freeValue(pctxt, object->type, open->decoded);
      ASN1MEMFREEPTR(pctxt, open->decoded);
      open->decoded = nullptr;
      if (carrier != nullptr) {
         /* A mirror shares the OCTET STRING's octets, which go with it
            unless they are borrowed. */
         if ((open->flags & ASN1OPENTYPE_BORROWED) && carrier->data == open->data) {
            carrier->numocts = 0;
            carrier->data = nullptr;
         }
         *open = Asn1TObject{};
      }
      return RTS_OK;
   });
}

}
}
