/*
 * XER encoder of the structured kinds: SEQUENCE and SET (with their
 * table-constrained open types and extension elements), CHOICE, and
 * SEQUENCE OF / SET OF as lists and as counted arrays.
 */
#include "asn1Xer.h"
#include "openTypeInternal.h"
#include "rtContext.h"
#include "xerEncode.h"
#include "xerEngineInternal.h"

namespace asn1rt {

using namespace detail;
using namespace xerdetail;

/* Unknown extension elements of an extensible SEQUENCE, each in the
   hexadecimal form on its own line after the root components. */
static int encodeExtensions(ASN1CTXT* pctxt, const TypeDesc* type, const void* value) {
   const Asn1RTDList& list = fieldAs<Asn1RTDList>(value, type->extensionOffset);
   for (const Asn1RTDListNode* node = list.head; node != nullptr; node = node->next) {
      int stat = encodeUntypedItem(pctxt, *static_cast<const ASN1TOpenType*>(node->data));
      if (stat != RTS_OK) return stat;
   }
   return RTS_OK;
}

int xerdetail::encodeComponents(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                                const char* name, const char* attributes) {
   int stat = xerEncStartElement(pctxt, name, attributes);
   if (stat != RTS_OK) return stat;
   pctxt->xerIndentLevel++;
   const int tableField = type->table != nullptr ? type->table->openField : -1;
   for (uint16_t i = 0; i < type->fieldCount; i++) {
      const FieldDesc& field = type->fields[i];
      if (field.presence != Presence::Required && !holdsValue(pctxt, type, value, field)) continue;
      stat = i == tableField ? encodeTableField(pctxt, type, value, field)
                             : xerEncode(pctxt, field.type, at(value, field.offset), field.name,
                                         nullptr);
      if (stat != RTS_OK) return stat;
   }
   if (type->extensible) {
      stat = encodeExtensions(pctxt, type, value);
      if (stat != RTS_OK) return stat;
   }
   pctxt->xerIndentLevel--;
   return xerEncEndElement(pctxt, name);
}

int xerdetail::encodeChoice(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                            const char* name, const char* attributes) {
   const bool ownElement = name != nullptr && name[0] != '\0';
   if (ownElement) {
      int stat = xerEncStartElement(pctxt, name, attributes);
      if (stat != RTS_OK) return stat;
      pctxt->xerIndentLevel++;
   }
   const ASN1UINT selector = fieldAs<ASN1UINT>(value, type->selectorOffset);
   if (selector < 1 || selector > type->fieldCount) return LOG_ASN1ERR(pctxt, RTS_BAD_CHOICE);
   const FieldDesc& field = type->fields[selector - 1];
   int stat = xerEncode(pctxt, field.type, alternativeValue(value, field), field.name, nullptr);
   if (stat != RTS_OK || !ownElement) return stat;
   pctxt->xerIndentLevel--;
   return xerEncEndElement(pctxt, name);
}

/* One item: its own element, none for a CHOICE (""), and none for an open
   type, which no object resolves outside its SEQUENCE: the hexadecimal
   form. */
static int encodeItem(ASN1CTXT* pctxt, const TypeDesc* listType, const void* item) {
   const TypeDesc* itemType = listType->elemType;
   if (itemType->kind == Kind::OpenType) {
      return isTableObject(itemType)
                ? encodeObjectItem(pctxt, nullptr, *static_cast<const Asn1TObject*>(item))
                : encodeUntypedItem(pctxt, *static_cast<const ASN1TOpenType*>(item));
   }
   return xerEncode(pctxt, itemType, item, listType->itemName, nullptr);
}

int xerdetail::encodeList(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                          const char* name, const char* attributes) {
   const Asn1RTDList& list = fieldAs<Asn1RTDList>(value, 0);
   int stat = checkSize(pctxt, type->size, list.count);
   if (stat == RTS_OK) stat = xerEncStartElement(pctxt, name, attributes);
   if (stat != RTS_OK) return stat;
   pctxt->xerIndentLevel++;
   for (const Asn1RTDListNode* node = list.head; node != nullptr; node = node->next) {
      stat = encodeItem(pctxt, type, node->data);
      if (stat != RTS_OK) return stat;
   }
   pctxt->xerIndentLevel--;
   return xerEncEndElement(pctxt, name);
}

int xerdetail::encodeArray(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                           const char* name, const char* attributes) {
   const ASN1UINT count = fieldAs<ASN1UINT>(value, 0);
   const char* items = fieldAs<const char*>(value, type->arrayElemOffset);
   int stat = checkSize(pctxt, type->size, count);
   if (stat == RTS_OK && count > 0 && items == nullptr) stat = LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   if (stat == RTS_OK) stat = xerEncStartElement(pctxt, name, attributes);
   if (stat != RTS_OK) return stat;
   pctxt->xerIndentLevel++;
   const size_t itemSize = type->elemType->valueSize;
   for (ASN1UINT i = 0; i < count; i++) {
      stat = encodeItem(pctxt, type, items + i * itemSize);
      if (stat != RTS_OK) return stat;
   }
   pctxt->xerIndentLevel--;
   return xerEncEndElement(pctxt, name);
}

}
