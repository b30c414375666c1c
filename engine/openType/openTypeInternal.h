/*
 * Internals of open types shared by the engine's codecs: finding the object
 * that resolves a table-constrained open type, decoding and encoding its
 * value on a buffer of its own, writing and reading it as XER, and copying
 * and freeing it. README.md in this folder says which file holds each rule.
 */
#ifndef BLOBXML_OPENTYPEINTERNAL_H
#define BLOBXML_OPENTYPEINTERNAL_H

#include <type_traits>

#include "engineInternal.h"

namespace asn1rt {
namespace detail {

/* An Asn1TObject begins with the fields of an ASN1TOpenType, so both are
   read and written through the smaller record. */
static_assert(offsetof(Asn1TObject, numocts) == offsetof(ASN1TOpenType, numocts) &&
                 offsetof(Asn1TObject, data) == offsetof(ASN1TOpenType, data) &&
                 offsetof(Asn1TObject, flags) == offsetof(ASN1TOpenType, flags),
              "Asn1TObject must start like ASN1TOpenType");
inline bool isTableObject(const TypeDesc* openType) {
   return openType->valueSize >= sizeof(Asn1TObject);
}

/* ---- finding the object ------------------------------------------------------- */

/* The object that the identifying component of a table-constrained value
   names, or null. */
const ObjectDesc* objectOf(const TypeDesc* type, const void* value);

/* Hands every Asn1TObject that the type's table constraint governs in the
   value to `visit`, in order; nothing when the carrying component is
   absent. Stops at the first negative result and returns it. */
template <typename Value, typename Visit>
int forEachTableObject(ASN1CTXT* pctxt, const TypeDesc* type, Value* value, Visit visit) {
   using Object = std::conditional_t<std::is_const_v<Value>, const Asn1TObject, Asn1TObject>;
   const TableDesc* table = type->table;
   const FieldDesc& carrier = type->fields[table->openField];
   if (!holdsValue(pctxt, type, value, carrier)) return RTS_OK;
   switch (table->form) {
   case TableForm::OpenType: return visit(&fieldAs<Object>(value, carrier.offset));
   case TableForm::InOctetString: return visit(&fieldAs<Object>(value, table->objectOffset));
   case TableForm::SetOfOpenTypes:
      for (Asn1RTDListNode* node = fieldAs<Asn1RTDList>(value, carrier.offset).head;
           node != nullptr; node = node->next) {
         int stat = visit(static_cast<Object*>(node->data));
         if (stat < 0) return stat;
      }
      return RTS_OK;
   }
   return RTS_OK;
}

/* ---- BER ------------------------------------------------------------------------ */

/* tableDecode for the decoder of the SEQUENCE or SET, which tells where the
   OCTET STRING that carries an open type (TableForm::InOctetString) ended
   in the buffer (null: not known), so that a failure inside the value it
   carries is placed in the message. */
int decodeTable(ASN1CTXT* pctxt, const TypeDesc* type, void* value, const ASN1OCTET* carrierEnd);

/* The component that is such an OCTET STRING, or -1. */
inline int octetStringCarrier(const TypeDesc* type) {
   return type->table != nullptr && type->table->form == TableForm::InOctetString
             ? type->table->openField
             : -1;
}

/* Decodes the octets of a table-constrained open type as one value of the
   object's type on a buffer of their own (the value itself is read by
   decodeObjectValue, as the generated objects' decodeBER<Field> do at the
   caller's position), kept as its decoded value (also after a failure
   inside the value; null when the octets hold no element header). Octets
   left over after that value are RTS_BAD_LENGTH. An object without a type,
   or no octets, leave the open type as it is. A failure is placed at the
   octet of the buffer being decoded where the open type's octets lie, or
   end with carrierEnd when they were copied out of an OCTET STRING. */
int decodeTableObject(ASN1CTXT* pctxt, const ObjectDesc* object, Asn1TObject* open,
                      const ASN1OCTET* carrierEnd = nullptr);

/* The fresh DER of the decoded values of one SEQUENCE's table objects, made
   before its components are written and given back when it goes. The
   encoder writes the carrying component from a stand-in that holds those
   octets, so the value it encodes is only read, and the octets live no
   longer than the encode of their SEQUENCE. */
class TableOctets {
public:
   explicit TableOctets(ASN1CTXT* pctxt) : mpCtxt(pctxt) {}
   ~TableOctets() {
      if (mCarrier >= 0) release();
   }
   TableOctets(const TableOctets&) = delete;
   TableOctets& operator=(const TableOctets&) = delete;

   /* Encodes every decoded value whose octets tableEncode would renew;
      0 or the first failing status, recorded. */
   int render(const TypeDesc* type, const void* value);

   /* What to write for component `index` of `value`: the stand-in when
      octets were rendered for it, else the component itself. */
   const void* component(const void* value, int index, const FieldDesc& field) const {
      return index == mCarrier ? mpStandIn : at(value, field.offset);
   }

   /* Whether component `index` is written by writeInPlace. */
   bool inPlace(int index) const { return index == mCarrier && mpInPlace != nullptr; }

   /* The carrying component `field`, its value encoded straight at the
      position. Its length or a failing status, recorded. */
   int writeInPlace(const FieldDesc& field);

private:
   /* An open type as it is written, with the heap block its rendered
      octets lie in (null: none); a list item also has its node. */
   struct StandIn {
      Asn1RTDListNode node;
      Asn1TObject object;
      ASN1OCTET* scratch;
   };

   int renderInto(const ObjectDesc* object, const Asn1TObject& open, StandIn* standIn);
   bool deferTo(const TypeDesc* type, const void* value, const ObjectDesc* object,
                const Asn1TObject& open);
   int renderList(const ObjectDesc* object, const Asn1RTDList& list);
   void release();

   ASN1CTXT* const mpCtxt;
   int mCarrier = -1;             /* the component that has a stand-in */
   const void* mpStandIn = nullptr;
   StandIn mSingle;               /* OpenType and InOctetString */
   ASN1TDynOctStr mOctets;        /* InOctetString: the OCTET STRING written */
   Asn1RTDList mList;             /* SetOfOpenTypes: the list written */
   StandIn* mpItems = nullptr;    /* ... and its items, in one heap block */
   /* A value written by writeInPlace: its object, its record, its form. */
   const ObjectDesc* mpInPlace = nullptr;
   const Asn1TObject* mpInPlaceOpen = nullptr;
   TableForm mInPlaceForm = TableForm::OpenType;
};

/* ---- copy and free ---------------------------------------------------------------- */

/* Copy of one open-type record: its octets, and its flags but
   ASN1OPENTYPE_BORROWED (the copy owns its octets); the decoded value is
   left to copyTableObjects. */
void copyOpenType(ASN1CTXT* pctxt, const TypeDesc* type, const void* src, void* dst);

/* The decoded values of the open types that a table constraint governs in
   a SEQUENCE or SET; the identifier and the open types themselves are
   already copied. */
void copyTableObjects(ASN1CTXT* pctxt, const TypeDesc* type, const void* src, void* dst);

/* Frees an open-type record's octets unless they are borrowed. */
void freeOpenType(ASN1CTXT* pctxt, void* value);

/* The decoded values of the open types that a table constraint governs,
   freed while the identifier that names their type is still there. */
void freeTableObjects(ASN1CTXT* pctxt, const TypeDesc* type, void* value);

}

namespace xerdetail {

/* Whether the object gives the open type a value to write as XER: a typed
   object with a decoded value, or a type without storage (NULL). */
bool resolvesTo(const ObjectDesc* object, const Asn1TObject& openType);

/* Whether tableXerEncode has already put the XER text into the octets. */
inline bool holdsXerText(const Asn1TObject& openType) {
   return openType.data != nullptr && (openType.flags & ASN1OPENTYPE_XER_TEXT) != 0;
}

/* The XER of a value, compact and on the current line, as an open type's
   content: no line feeds or indentation inside it. */
int encodeCompact(ASN1CTXT* pctxt, const TypeDesc* type, const void* value);

/* <Encoded>HEX</Encoded>, compact. */
int encodeHexForm(ASN1CTXT* pctxt, ASN1UINT numocts, const ASN1OCTET* data);

/* The component of a SEQUENCE that carries its table-constrained value:
   its XER text when the object resolves it, else its raw form in
   hexadecimal. */
int encodeTableField(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                     const FieldDesc& field);

/* An open type as a component: <name>content</name> on one line. The
   content is the object's value when it resolves the open type, else the
   hexadecimal form; an empty open type leaves the element empty. */
int encodeObjectField(ASN1CTXT* pctxt, const ObjectDesc* object, const Asn1TObject& openType,
                      const char* name);

/* An open type as a list item without element of its own, on its own
   line; an empty one is skipped. */
int encodeObjectItem(ASN1CTXT* pctxt, const ObjectDesc* object, const Asn1TObject& openType);

/* An open type that no table constrains: the hexadecimal form. */
int encodeUntypedField(ASN1CTXT* pctxt, const ASN1TOpenType& openType, const char* name);
int encodeUntypedItem(ASN1CTXT* pctxt, const ASN1TOpenType& openType);

/* Reads the hexadecimal form out of captured text (whitespace around and
   between the digits allowed): 1 with the DER form of the octets allocated
   in pctxt's heap, 0 when the text is not that form, or RTS_BAD_HEX_TEXT /
   RTS_NO_MEMORY / RTS_BAD_VALUE (octets that are not exactly one complete
   element) / the status of BER that has no DER form (xe_derNormalise),
   recorded. */
int decodeHexForm(ASN1CTXT* pctxt, const ASN1OCTET* text, ASN1UINT length,
                  ASN1TDynOctStr* octets);

/* Turns the captured text of an open type without table constraint into
   the octets the hexadecimal form spells, the value's own from pctxt's
   heap; any other text is RTS_BAD_VALUE (recorded), since it has no
   encoding of its own. */
int resolveUntyped(ASN1CTXT* pctxt, ASN1TOpenType* openType);

}
}

#endif
