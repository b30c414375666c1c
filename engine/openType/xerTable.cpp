/*
 * Table constraints on the XER side: the open types of a SEQUENCE turned
 * into their XER text before encoding (asn1XETC_), and captured text turned
 * back into decoded values after a SAX decode (asn1XDTC_).
 */
#include <cstring>

#include "ASN1XERDecodeBuffer.h"
#include "asn1Xer.h"
#include "openTypeInternal.h"
#include "rtContext.h"
#include "rtMemHeap.h"
#include "xerEncode.h"
#include "xerEngineInternal.h"

namespace asn1rt {

using namespace detail;
using namespace xerdetail;

/* ---- encode side ------------------------------------------------------------ */

/* Renders one open type into a compact fragment of its own and makes a copy
   of that text in pctxt's heap the open type's octets. That heap is the
   encoding context's, which need not be the value's: the text is borrowed. */
static int renderXerText(ASN1CTXT* pctxt, const ObjectDesc* object, Asn1TObject* openType) {
   if (holdsXerText(*openType)) return RTS_OK;
   if (openType->numocts == 0 && !resolvesTo(object, *openType)) return RTS_OK;
   ASN1CTXT fragment;
   int stat = rtInitContext(&fragment, nullptr);
   if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
   stat = xerSetEncBufPtr(&fragment, nullptr, 0, 1);
   if (stat == RTS_OK) {
      rtCtxtSetFlag(&fragment, CTXTF_XER_FRAGMENT);
      stat = resolvesTo(object, *openType)
                ? encodeCompact(&fragment, object->type, openType->decoded)
                : encodeHexForm(&fragment, openType->numocts, openType->data);
   }
   if (stat == RTS_OK) {
      const ASN1UINT length = fragment.buffer.byteIndex;
      ASN1OCTET* text = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, length));
      if (text == nullptr) {
         stat = RTS_NO_MEMORY;
      } else {
         std::memcpy(text, fragment.buffer.data, length);
         openType->numocts = length;
         openType->flags = ASN1OPENTYPE_BORROWED | ASN1OPENTYPE_XER_TEXT;
         openType->data = text;
      }
   }
   rtFreeContext(&fragment);
   return stat != RTS_OK ? LOG_ASN1ERR(pctxt, stat) : RTS_OK;
}

int tableXerEncode(ASN1CTXT* pctxt, const TypeDesc* type, void* value) {
   const TableDesc* table = type->table;
   if (table == nullptr) return RTS_OK;
   const FieldDesc& field = type->fields[table->openField];
   if (!holdsValue(pctxt, type, value, field)) return RTS_OK;
   const ObjectDesc* object = objectOf(type, value);
   switch (table->form) {
   case TableForm::OpenType:
      return renderXerText(pctxt, object, &fieldAs<Asn1TObject>(value, field.offset));
   case TableForm::InOctetString: {
      /* Without a decoded value the OCTET STRING form is written. */
      Asn1TObject& openType = fieldAs<Asn1TObject>(value, table->objectOffset);
      if (!resolvesTo(object, openType) || openType.decoded == nullptr) return RTS_OK;
      return renderXerText(pctxt, object, &openType);
   }
   case TableForm::SetOfOpenTypes: {
      Asn1RTDList& list = fieldAs<Asn1RTDList>(value, field.offset);
      for (Asn1RTDListNode* node = list.head; node != nullptr; node = node->next) {
         const int stat = renderXerText(pctxt, object, static_cast<Asn1TObject*>(node->data));
         if (stat != RTS_OK) return stat;
      }
      return RTS_OK;
   }
   }
   return RTS_OK;
}

/* ---- decode side ------------------------------------------------------------ */

namespace {

/* A fragment decoded on a buffer of its own whose values live in the
   caller's heap. */
class FragmentDecoder : public XerDecodeHandler {
public:
   FragmentDecoder(const TypeDesc& type, void* value, ASN1XERDecodeBuffer& buffer)
      : XerDecodeHandler(type, value, buffer.getCtxtPtr()) {}
   int decode(ASN1XERDecodeBuffer& buffer) { return decodeDocument(buffer); }
};

}

/* The fragment's failure as a status, with the path inside the fragment
   handed over to pctxt. */
static int fragmentFailure(ASN1CTXT* pctxt, ASN1XERDecodeBuffer& buffer, int stat) {
   ASN1ErrInfo& inner = buffer.getCtxtPtr()->errInfo;
   if (pctxt->errInfo.path == nullptr) {
      pctxt->errInfo.path = inner.path;
      inner.path = nullptr;
   }
   return LOG_ASN1ERR(pctxt, stat);
}

int xerDecodeText(ASN1CTXT* pctxt, const TypeDesc* type, void* value, const ASN1OCTET* text,
                  ASN1UINT length) {
   try {
      ASN1XERDecodeBuffer buffer(text, length, 1);
      rtCtxtSetMemHeap(buffer.getCtxtPtr(), pctxt);
      FragmentDecoder decoder(*type, value, buffer);
      try {
         const int stat = decoder.decode(buffer);
         return stat != RTS_OK ? fragmentFailure(pctxt, buffer, stat) : RTS_OK;
      } catch (OSRTSAXException& failure) {
         const int stat = failure.getStatus();
         return fragmentFailure(pctxt, buffer, stat != RTS_OK ? stat : RTS_XML_STRUCTURE);
      }
   } catch (ASN1RTLException& failure) {
      return LOG_ASN1ERR(pctxt, failure.getStatus());
   }
}

/* The octets of the hexadecimal form. An identifier that names a type
   gets them decoded as a value of that type, as BER decoding would, so
   that no octets are written that reading back would refuse. */
static int takeOctets(ASN1CTXT* pctxt, const ObjectDesc* object, Asn1TObject* openType,
                      const ASN1TDynOctStr& octets) {
   openType->numocts = octets.numocts;
   openType->flags = 0;
   openType->data = octets.data;
   return object != nullptr ? decodeTableObject(pctxt, object, openType) : RTS_OK;
}

/* Captured text of one open type: the hexadecimal form gives its octets
   (*raw set), XER text the decoded value of the object's type. An open
   type always holds one value, so text that is neither, or no value at
   all, is RTS_BAD_VALUE. */
static int resolveObject(ASN1CTXT* pctxt, const ObjectDesc* object, Asn1TObject* openType,
                         bool* raw) {
   openType->decoded = nullptr;
   openType->flags &= ~ASN1OPENTYPE_XER_TEXT;
   *raw = true;
   if (openType->numocts == 0) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   ASN1TDynOctStr octets;
   int stat = decodeHexForm(pctxt, openType->data, openType->numocts, &octets);
   if (stat < 0) return stat;
   if (stat == 1) {
      if (octets.numocts == 0) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
      return takeOctets(pctxt, object, openType, octets);
   }
   *raw = false;
   if (object == nullptr || object->type == nullptr) return LOG_ASN1ERR(pctxt, RTS_UNKNOWN_OBJECT);
   void* decoded = nullptr;
   if (object->type->valueSize > 0) {
      decoded = ASN1MALLOCZ(pctxt, object->type->valueSize);
      if (decoded == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   stat = xerDecodeText(pctxt, object->type, decoded, openType->data, openType->numocts);
   openType->decoded = decoded;
   if (stat != RTS_OK) return stat;
   /* The captured text lives in the capture's message heap, not with the
      value; the BER side encodes the decoded value afresh. */
   openType->numocts = 0;
   openType->flags = 0;
   openType->data = nullptr;
   return RTS_OK;
}

/* A failure of the open type in the component `field` (item `index` of it
   for a list of open types) gets the component in front of its path. */
static int failedIn(ASN1CTXT* pctxt, const FieldDesc& field, const ASN1UINT* index, int stat) {
   if (stat == RTS_OK) return RTS_OK;
   if (index != nullptr) rtErrAddPathStep(pctxt, nullptr, *index);
   rtErrAddPathStep(pctxt, field.name, 0);
   return stat;
}

int tableXerDecode(ASN1CTXT* pctxt, const TypeDesc* type, void* value) {
   const TableDesc* table = type->table;
   if (table == nullptr) return RTS_OK;
   const FieldDesc& field = type->fields[table->openField];
   if (!holdsValue(pctxt, type, value, field)) return RTS_OK;
   const ObjectDesc* object = objectOf(type, value);
   bool raw;
   switch (table->form) {
   case TableForm::OpenType:
      return failedIn(pctxt, field, nullptr,
                      resolveObject(pctxt, object, &fieldAs<Asn1TObject>(value, field.offset), &raw));
   case TableForm::InOctetString: {
      Asn1TObject& openType = fieldAs<Asn1TObject>(value, table->objectOffset);
      ASN1TDynOctStr& octets = fieldAs<ASN1TDynOctStr>(value, field.offset);
      if (openType.numocts != 0) {
         const int stat = failedIn(pctxt, field, nullptr, resolveObject(pctxt, object, &openType, &raw));
         if (stat != RTS_OK || !raw) return stat;
         /* The hexadecimal form inside the element: the octets are the
            OCTET STRING's. */
         octets.numocts = openType.numocts;
         octets.data = openType.data;
         return RTS_OK;
      }
      openType = Asn1TObject{};
      if (octets.numocts == 0) return RTS_OK;
      return takeOctets(pctxt, object, &openType, octets);
   }
   case TableForm::SetOfOpenTypes: {
      Asn1RTDList& list = fieldAs<Asn1RTDList>(value, field.offset);
      ASN1UINT index = 0;
      for (Asn1RTDListNode* node = list.head; node != nullptr; node = node->next, index++) {
         const int stat =
            resolveObject(pctxt, object, static_cast<Asn1TObject*>(node->data), &raw);
         if (stat != RTS_OK) return failedIn(pctxt, field, &index, stat);
      }
      return RTS_OK;
   }
   }
   return RTS_OK;
}

}
