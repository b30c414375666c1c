/*
 * Table constraints on the BER side: after a SEQUENCE is decoded, the open
 * types it carries are decoded with the type of the information object
 * that its identifier names; before it is encoded, their decoded values are
 * encoded into fresh octets. An identifier that no object knows leaves the
 * octets raw. Each step works on a buffer of its own and gives the context
 * its previous buffer back afterwards.
 */
#include <climits>
#include <cstdint>
#include <cstring>

#include "asn1Engine.h"
#include "asn1Generated.h"
#include "berEncode.h"
#include "openTypeInternal.h"
#include "rtContext.h"
#include "rtMemHeap.h"

namespace asn1rt {

using namespace detail;

/* First size of the scratch buffer an open type is encoded into; it grows
   when the value needs more. */
static const ASN1UINT kScratchSize = 1024;

static bool within(const ASN1OCTET* p, const ASN1OCTET* begin, size_t length) {
   const uintptr_t at = reinterpret_cast<uintptr_t>(p);
   const uintptr_t start = reinterpret_cast<uintptr_t>(begin);
   return p != nullptr && begin != nullptr && at >= start && at - start < length;
}

/* Where the octets of an open type lie in the buffer being decoded: in
   place, unless they were copied out of it; a copy of an OCTET STRING's
   contents that came in one piece ends where that OCTET STRING ends. Null
   when not known. */
static const ASN1OCTET* sourceOf(const ASN1CTXT* pctxt, const Asn1TObject& open,
                                 const ASN1OCTET* carrierEnd) {
   const ASN1BUFFER& buf = pctxt->buffer;
   if (within(open.data, buf.data, buf.size)) return open.data;
   /* carrierEnd is a position of this buffer. */
   if (carrierEnd == nullptr || static_cast<size_t>(carrierEnd - buf.data) < open.numocts)
      return nullptr;
   const ASN1OCTET* source = carrierEnd - open.numocts;
   return std::memcmp(source, open.data, open.numocts) == 0 ? source : nullptr;
}

/* A failure inside the octets of an open type, decoded on a buffer of their
   own, is placed at the same octet of the buffer being decoded; where their
   source is not known, the element around them takes its place. */
static void relocateFailure(ASN1CTXT* pctxt, const Asn1TObject& open,
                            const ASN1OCTET* carrierEnd) {
   const ASN1OCTET*& element = pctxt->errInfo.element;
   if (!within(element, open.data, open.numocts)) return;
   const ASN1OCTET* source = sourceOf(pctxt, open, carrierEnd);
   element = source != nullptr ? source + (element - open.data) : nullptr;
}

int decodeObjectValue(ASN1CTXT* pctxt, const TypeDesc& type, Asn1TObject& object) {
   void* value = nullptr;
   if (type.valueSize > 0) {
      value = ASN1MALLOCZ(pctxt, type.valueSize);
      if (value == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   const int stat = berDecode(pctxt, &type, value, TAG_EXPLICIT, 0);
   object.decoded = value;
   return stat == RTS_OK ? RTS_OK : LOG_ASN1ERR(pctxt, stat);
}

int detail::decodeTableObject(ASN1CTXT* pctxt, const ObjectDesc* object, Asn1TObject* open,
                              const ASN1OCTET* carrierEnd) {
   const TypeDesc* type = object->type;
   if (type == nullptr || open->numocts == 0 || open->data == nullptr) return RTS_OK;
   if (open->numocts > INT_MAX) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   open->decoded = nullptr;
   ASN1CTXT saved;
   rtCopyContext(&saved, pctxt);
   int stat = xd_setp(pctxt, open->data, static_cast<int>(open->numocts));
   /* A value that could not even be allocated was not decoded: nothing in
      the octets is where it failed. */
   bool placed = true;
   if (stat == RTS_OK) {
      stat = decodeObjectValue(pctxt, *type, *open);
      placed = open->decoded != nullptr || type->valueSize == 0;
   }
   /* Octets after the value would be kept by nothing: shown as the
      decoded value, they would be gone from what is written back. */
   if (stat == RTS_OK && pctxt->buffer.byteIndex != open->numocts) {
      stat = LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   }
   rtCopyContext(pctxt, &saved);
   if (stat != RTS_OK && placed) {
      /* Octets that do not even hold one element fail as a whole. */
      rtErrSetElement(pctxt, open->data);
      relocateFailure(pctxt, *open, carrierEnd);
   }
   return stat;
}

/* Encodes the decoded value into a scratch buffer of the memory heap:
   *block is that buffer (null when the octets stay as they are), and
   `rendered` the octets of the value in it, which end the buffer. */
static int renderObject(ASN1CTXT* pctxt, const ObjectDesc* object, const Asn1TObject& open,
                        ASN1OCTET** block, ASN1TOpenType* rendered) {
   *block = nullptr;
   const TypeDesc* type = object->type;
   /* Without a decoded value the octets stay as they are; only a NULL
      needs no value to be encoded. */
   if (type == nullptr || (open.decoded == nullptr && type->valueSize > 0)) return RTS_OK;
   ASN1OCTET* scratch = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, kScratchSize));
   if (scratch == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   ASN1CTXT saved;
   rtCopyContext(&saved, pctxt);
   int len = xe_setp(pctxt, scratch, static_cast<int>(kScratchSize));
   if (len != RTS_OK) {
      rtCopyContext(pctxt, &saved);
      ASN1MEMFREEPTR(pctxt, scratch);
      return len;
   }
   /* The scratch buffer may grow; it is then replaced within the same heap. */
   pctxt->buffer.dynamic = 1;
   len = berEncode(pctxt, type, open.decoded, TAG_EXPLICIT);
   scratch = pctxt->buffer.data;
   const ASN1OCTET* start = xe_getp(pctxt);
   rtCopyContext(pctxt, &saved);
   if (len < 0) {
      ASN1MEMFREEPTR(pctxt, scratch);
      return len;
   }
   *block = scratch;
   rendered->numocts = static_cast<ASN1UINT>(len);
   rendered->data = len > 0 ? start : nullptr;
   return RTS_OK;
}

/* tableEncode's renewal: a block of exactly the rendered octets becomes the
   open type's octets. That heap is the encoding context's, which need not
   be the value's: the octets are borrowed and go when that context goes. */
static int encodeObject(ASN1CTXT* pctxt, const ObjectDesc* object, Asn1TObject* open) {
   ASN1OCTET* scratch = nullptr;
   ASN1TOpenType rendered{};
   const int stat = renderObject(pctxt, object, *open, &scratch, &rendered);
   if (stat != RTS_OK || scratch == nullptr) return stat;
   ASN1OCTET* octets = nullptr;
   if (rendered.numocts > 0) {
      octets = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, rendered.numocts));
      if (octets != nullptr) std::memcpy(octets, rendered.data, rendered.numocts);
   }
   ASN1MEMFREEPTR(pctxt, scratch);
   if (rendered.numocts > 0 && octets == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   open->numocts = rendered.numocts;
   open->flags = ASN1OPENTYPE_BORROWED;
   open->data = octets;
   return RTS_OK;
}

int tableDecode(ASN1CTXT* pctxt, const TypeDesc* type, void* value) {
   return decodeTable(pctxt, type, value, nullptr);
}

int detail::decodeTable(ASN1CTXT* pctxt, const TypeDesc* type, void* value,
                        const ASN1OCTET* carrierEnd) {
   const TableDesc* table = type->table;
   if (table->form == TableForm::InOctetString) {
      /* The open type mirrors the OCTET STRING that carries it. */
      const FieldDesc& carrier = type->fields[table->openField];
      const bool present = holdsValue(pctxt, type, value, carrier);
      const ASN1TDynOctStr& octets = fieldAs<ASN1TDynOctStr>(value, carrier.offset);
      Asn1TObject& open = fieldAs<Asn1TObject>(value, table->objectOffset);
      open.numocts = present ? octets.numocts : 0;
      open.flags = 0;
      open.data = present ? octets.data : nullptr;
      open.decoded = nullptr;
   }
   const ObjectDesc* object = objectOf(type, value);
   const char* carrierName = type->fields[table->openField].name;
   ASN1UINT index = 0;
   int stat = forEachTableObject(pctxt, type, value, [&](Asn1TObject* open) {
      open->decoded = nullptr;
      const int decoded = object != nullptr ? decodeTableObject(pctxt, object, open, carrierEnd) : RTS_OK;
      if (decoded != RTS_OK) {
         if (table->form == TableForm::SetOfOpenTypes) rtErrAddPathStep(pctxt, nullptr, index);
         rtErrAddPathStep(pctxt, carrierName, 0);
      }
      index++;
      return decoded;
   });
   return stat < 0 ? LOG_ASN1ERR(pctxt, stat) : stat;
}

int tableEncode(ASN1CTXT* pctxt, const TypeDesc* type, void* value) {
   const ObjectDesc* object = objectOf(type, value);
   if (object == nullptr) return RTS_OK;
   const TableDesc* table = type->table;
   if (table->form != TableForm::InOctetString) {
      int stat = forEachTableObject(pctxt, type, value, [pctxt, object](Asn1TObject* open) {
         return encodeObject(pctxt, object, open);
      });
      return stat < 0 ? LOG_ASN1ERR(pctxt, stat) : stat;
   }
   /* The OCTET STRING takes the new octets of a decoded value, borrowed as
      the mirror's are (free tells them by the shared pointer). */
   auto renew = [pctxt, object, table, type, value](Asn1TObject* open) {
      if (open->decoded == nullptr) return RTS_OK;
      int stat = encodeObject(pctxt, object, open);
      if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
      ASN1TDynOctStr& octets = fieldAs<ASN1TDynOctStr>(value, type->fields[table->openField].offset);
      octets.numocts = open->numocts;
      octets.data = open->data;
      return RTS_OK;
   };
   return forEachTableObject(pctxt, type, value, renew);
}

/* ---- the encoder's stand-ins ------------------------------------------------- */

int TableOctets::renderInto(const ObjectDesc* object, const Asn1TObject& open, StandIn* standIn) {
   standIn->object = open;
   ASN1TOpenType rendered{};
   const int stat = renderObject(mpCtxt, object, open, &standIn->scratch, &rendered);
   if (standIn->scratch != nullptr) {
      standIn->object.numocts = rendered.numocts;
      standIn->object.data = rendered.data;
   }
   return stat;
}

/* Every item gets a stand-in, so that the list written keeps their order. */
int TableOctets::renderList(const ObjectDesc* object, const Asn1RTDList& list) {
   if (list.count == 0) return RTS_OK;
   if (list.count > RT_MH_MAXALLOC / sizeof(StandIn)) return LOG_ASN1ERR(mpCtxt, RTS_NO_MEMORY);
   mpItems = static_cast<StandIn*>(ASN1MALLOCZ(mpCtxt, list.count * sizeof(StandIn)));
   if (mpItems == nullptr) return LOG_ASN1ERR(mpCtxt, RTS_NO_MEMORY);
   mList.count = 0;
   mList.head = nullptr;
   mList.tail = nullptr;
   mpStandIn = &mList;
   StandIn* item = mpItems;
   for (const Asn1RTDListNode* node = list.head; node != nullptr && mList.count < list.count;
        node = node->next, item++) {
      item->node.data = &item->object;
      item->node.prev = mList.tail;
      if (mList.tail != nullptr) mList.tail->next = &item->node;
      if (mList.head == nullptr) mList.head = &item->node;
      mList.tail = &item->node;
      mList.count++;
      const int stat = renderInto(object, *static_cast<const Asn1TObject*>(node->data), item);
      if (stat != RTS_OK) return stat;
   }
   return RTS_OK;
}

/* The carrying component comes last and untagged, with nothing written
   behind it, so it is the first thing the encoder writes, as the octets
   rendered ahead of every component were: its value can be encoded where
   it goes, without a scratch buffer and a copy, with the same outcome. */
bool TableOctets::deferTo(const TypeDesc* type, const void* value, const ObjectDesc* object,
                          const Asn1TObject& open) {
   const TableDesc* table = type->table;
   const FieldDesc& carrier = type->fields[table->openField];
   if (table->openField != type->fieldCount - 1 || carrier.tagging != Tagging::None ||
       carrier.type->ownTagging != Tagging::None) {
      return false;
   }
   if (type->extensible && fieldAs<Asn1RTDList>(value, type->extensionOffset).count > 0) return false;
   const bool openType = table->form == TableForm::OpenType;
   if (carrier.type->kind != (openType ? Kind::OpenType : Kind::OctetString)) return false;
   /* An open type that must hold a value of one tag is checked on the way. */
   if (openType && carrier.type->universalTag != 0) return false;
   const TypeDesc* valueType = object->type;
   if (valueType == nullptr || (open.decoded == nullptr && valueType->valueSize > 0)) return false;
   mSingle.scratch = nullptr;
   mpInPlace = object;
   mpInPlaceOpen = &open;
   mInPlaceForm = table->form;
   mCarrier = table->openField;
   return true;
}

int TableOctets::writeInPlace(const FieldDesc& field) {
   int len = berEncode(mpCtxt, mpInPlace->type, mpInPlaceOpen->decoded, TAG_EXPLICIT);
   if (len < 0) return LOG_ASN1ERR(mpCtxt, len);
   if (mInPlaceForm == TableForm::InOctetString) {
      const int stat = checkSize(mpCtxt, field.type->size, static_cast<uint64_t>(len));
      return stat != RTS_OK ? stat : xe_tag_len(mpCtxt, ASN_ID_OCTSTR, len);
   }
   /* An open type is written in its DER form, as the copy of rendered
      octets was. */
   const ASN1OCTET* start = xe_getp(mpCtxt);
   const ASN1OCTET* der = nullptr;
   ASN1UINT derLength = 0;
   int stat = xe_derNormalise(mpCtxt, start, static_cast<ASN1UINT>(len), &der, &derLength);
   if (stat != RTS_OK) return stat;
   if (der == start) return len;
   mpCtxt->buffer.byteIndex += static_cast<ASN1UINT>(len);
   len = xe_memcpy(mpCtxt, der, derLength);
   ASN1MEMFREEPTR(mpCtxt, const_cast<ASN1OCTET*>(der));
   return len;
}

int TableOctets::render(const TypeDesc* type, const void* value) {
   const ObjectDesc* object = objectOf(type, value);
   if (object == nullptr) return RTS_OK;
   const TableDesc* table = type->table;
   const FieldDesc& carrier = type->fields[table->openField];
   if (!holdsValue(mpCtxt, type, value, carrier)) return RTS_OK;
   int stat = RTS_OK;
   switch (table->form) {
   case TableForm::OpenType: {
      const Asn1TObject& open = fieldAs<Asn1TObject>(value, carrier.offset);
      if (deferTo(type, value, object, open)) return RTS_OK;
      stat = renderInto(object, open, &mSingle);
      if (mSingle.scratch != nullptr) mpStandIn = &mSingle.object;
      break;
   }
   case TableForm::InOctetString: {
      /* The OCTET STRING takes the octets of a decoded value. */
      const Asn1TObject& open = fieldAs<Asn1TObject>(value, table->objectOffset);
      if (open.decoded == nullptr) return RTS_OK;
      if (deferTo(type, value, object, open)) return RTS_OK;
      stat = renderInto(object, open, &mSingle);
      mOctets.numocts = mSingle.object.numocts;
      mOctets.data = mSingle.object.data;
      mpStandIn = &mOctets;
      break;
   }
   case TableForm::SetOfOpenTypes:
      mSingle.scratch = nullptr;
      stat = renderList(object, fieldAs<Asn1RTDList>(value, carrier.offset));
      break;
   }
   if (mpStandIn != nullptr) mCarrier = table->openField;
   return stat < 0 ? LOG_ASN1ERR(mpCtxt, stat) : stat;
}

void TableOctets::release() {
   ASN1MEMFREEPTR(mpCtxt, mSingle.scratch);
   if (mpItems == nullptr) return;
   for (ASN1UINT i = 0; i < mList.count; i++) ASN1MEMFREEPTR(mpCtxt, mpItems[i].scratch);
   ASN1MEMFREEPTR(mpCtxt, mpItems);
}

}
