/*
 * Open types in XER: the XER text of a resolved value, and the hexadecimal
 * form <Encoded>HEX</Encoded> of an unresolved one, written and read back.
 */
#include "asn1Xer.h"
#include "berDecode.h"
#include "berEncode.h"
#include "openTypeInternal.h"
#include "rtContext.h"
#include "rtMemHeap.h"
#include "xerEncode.h"
#include "xerEngineInternal.h"

namespace asn1rt {

using namespace detail;

bool xerdetail::resolvesTo(const ObjectDesc* object, const Asn1TObject& openType) {
   return object != nullptr && object->type != nullptr &&
          (openType.decoded != nullptr || object->type->kind == Kind::Null);
}

/* Runs `write` with indentation switched off, leaving the caller's flags as
   they were. */
template <typename Write>
static int withoutIndentation(ASN1CTXT* pctxt, Write write) {
   const ASN1USINT flags = pctxt->flags;
   pctxt->flags = static_cast<ASN1USINT>(flags | CTXTF_XER_NOINDENT);
   const int stat = write();
   pctxt->flags = static_cast<ASN1USINT>((pctxt->flags & ~CTXTF_XER_NOINDENT) |
                                         (flags & CTXTF_XER_NOINDENT));
   return stat;
}

int xerdetail::encodeCompact(ASN1CTXT* pctxt, const TypeDesc* type, const void* value) {
   return withoutIndentation(pctxt,
                             [=] { return xerEncode(pctxt, type, value, nullptr, nullptr); });
}

int xerdetail::encodeHexForm(ASN1CTXT* pctxt, ASN1UINT numocts, const ASN1OCTET* data) {
   return withoutIndentation(
      pctxt, [=] { return xerEncOctStr(pctxt, numocts, data, XER_ENCODED_ELEMENT); });
}

/* <name>, the content, </name> on the same line, as xerEncOpenType does. */
template <typename Content>
static int encodeInElement(ASN1CTXT* pctxt, const char* name, Content content) {
   int stat = xerEncStartElement(pctxt, name);
   if (stat == RTS_OK) stat = content();
   if (stat != RTS_OK) return stat;
   pctxt->xerState = XERSTATE_START_TAG;
   return xerEncEndElement(pctxt, name);
}

/* The content on its own indented line, as xerEncOpenType without name. */
template <typename Content>
static int encodeOnOwnLine(ASN1CTXT* pctxt, Content content) {
   int stat = xerEncIndent(pctxt);
   if (stat == RTS_OK) stat = content();
   if (stat != RTS_OK) return stat;
   pctxt->xerState = XERSTATE_END_TAG;
   return RTS_OK;
}

int xerdetail::encodeObjectField(ASN1CTXT* pctxt, const ObjectDesc* object,
                                 const Asn1TObject& openType, const char* name) {
   if (holdsXerText(openType)) return xerEncOpenType(pctxt, openType.numocts, openType.data, name);
   if (resolvesTo(object, openType)) {
      return encodeInElement(pctxt, name,
                             [=] { return encodeCompact(pctxt, object->type, openType.decoded); });
   }
   if (openType.numocts == 0) return xerEncOpenType(pctxt, 0, nullptr, name);
   return encodeInElement(pctxt, name,
                          [=] { return encodeHexForm(pctxt, openType.numocts, openType.data); });
}

int xerdetail::encodeObjectItem(ASN1CTXT* pctxt, const ObjectDesc* object,
                                const Asn1TObject& openType) {
   if (openType.numocts == 0 && !resolvesTo(object, openType)) return RTS_OK;
   if (holdsXerText(openType)) {
      return xerEncOpenType(pctxt, openType.numocts, openType.data, nullptr);
   }
   if (resolvesTo(object, openType)) {
      return encodeOnOwnLine(pctxt,
                             [=] { return encodeCompact(pctxt, object->type, openType.decoded); });
   }
   return encodeOnOwnLine(pctxt,
                          [=] { return encodeHexForm(pctxt, openType.numocts, openType.data); });
}

int xerdetail::encodeUntypedField(ASN1CTXT* pctxt, const ASN1TOpenType& openType,
                                  const char* name) {
   if (openType.numocts == 0) return xerEncOpenType(pctxt, 0, nullptr, name);
   return encodeInElement(pctxt, name,
                          [=] { return encodeHexForm(pctxt, openType.numocts, openType.data); });
}

int xerdetail::encodeUntypedItem(ASN1CTXT* pctxt, const ASN1TOpenType& openType) {
   if (openType.numocts == 0) return RTS_OK;
   return encodeOnOwnLine(pctxt,
                          [=] { return encodeHexForm(pctxt, openType.numocts, openType.data); });
}

int xerdetail::encodeTableField(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                                const FieldDesc& field) {
   const TableDesc& table = *type->table;
   const ObjectDesc* object = objectOf(type, value);
   const void* fieldValue = at(value, field.offset);
   switch (table.form) {
   case TableForm::OpenType:
      return encodeObjectField(pctxt, object, *static_cast<const Asn1TObject*>(fieldValue),
                               field.name);
   case TableForm::InOctetString: {
      const Asn1TObject& openType = fieldAs<Asn1TObject>(value, table.objectOffset);
      if (holdsXerText(openType) || (resolvesTo(object, openType) && openType.decoded != nullptr)) {
         return encodeObjectField(pctxt, object, openType, field.name);
      }
      return xerEncode(pctxt, field.type, fieldValue, field.name, nullptr);
   }
   case TableForm::SetOfOpenTypes: {
      const Asn1RTDList& list = *static_cast<const Asn1RTDList*>(fieldValue);
      int stat = checkSize(pctxt, field.type->size, list.count);
      if (stat == RTS_OK) stat = xerEncStartElement(pctxt, field.name);
      if (stat != RTS_OK) return stat;
      pctxt->xerIndentLevel++;
      for (const Asn1RTDListNode* node = list.head; node != nullptr; node = node->next) {
         stat = encodeObjectItem(pctxt, object, *static_cast<const Asn1TObject*>(node->data));
         if (stat != RTS_OK) return stat;
      }
      pctxt->xerIndentLevel--;
      return xerEncEndElement(pctxt, field.name);
   }
   }
   return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
}

/* ---- reading the hexadecimal form ----------------------------------------- */

static bool isXmlSpace(ASN1OCTET c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

static int hexValue(ASN1OCTET c) {
   if (c >= '0' && c <= '9') return c - '0';
   if (c >= 'A' && c <= 'F') return c - 'A' + 10;
   if (c >= 'a' && c <= 'f') return c - 'a' + 10;
   return -1;
}

/* Steps over `token` at text[*pos]; false (position kept) when absent. */
static bool skipToken(const ASN1OCTET* text, ASN1UINT length, ASN1UINT* pos, const char* token) {
   ASN1UINT i = *pos;
   for (; *token != '\0'; token++, i++) {
      if (i >= length || text[i] != static_cast<ASN1OCTET>(*token)) return false;
   }
   *pos = i;
   return true;
}

static void skipSpace(const ASN1OCTET* text, ASN1UINT length, ASN1UINT* pos) {
   while (*pos < length && isXmlSpace(text[*pos])) ++*pos;
}

/* The BER side writes an open type as the one element its octets begin with
   (xe_OpenType), so octets come back as they were only when they are exactly
   one complete element. The octets are DER here (definite lengths, already
   checked complete), so the first header tells. Identifier 00 without
   contents is end-of-contents (X.690 8.1.5), which BER decoding does not
   take for an element. */
static bool isOneElement(ASN1CTXT* pctxt, const ASN1OCTET* data, ASN1UINT count) {
   ASN1CTXT scratch;
   if (rtInitContext(&scratch, pctxt->allocArg) != RTS_OK) return false;
   ASN1TAG tag = 0;
   int length = 0;
   const int stat = xd_setp(&scratch, data, static_cast<int>(count), &tag, &length);
   const ASN1UINT header = scratch.buffer.byteIndex;
   rtFreeContext(&scratch);
   if (stat != RTS_OK || length < 0) return false;
   return header + static_cast<ASN1UINT>(length) == count && !(tag == 0 && length == 0);
}

int xerdetail::decodeHexForm(ASN1CTXT* pctxt, const ASN1OCTET* text, ASN1UINT length,
                             ASN1TDynOctStr* octets) {
   ASN1UINT pos = 0;
   skipSpace(text, length, &pos);
   if (skipToken(text, length, &pos, "<" XER_ENCODED_ELEMENT "/>")) {
      skipSpace(text, length, &pos);
      if (pos != length) return 0;
      octets->numocts = 0;
      octets->data = nullptr;
      return 1;
   }
   if (!skipToken(text, length, &pos, "<" XER_ENCODED_ELEMENT ">")) return 0;
   const ASN1UINT digitsStart = pos;
   ASN1UINT digits = 0;
   while (pos < length && text[pos] != '<') {
      if (hexValue(text[pos]) >= 0) {
         digits++;
      } else if (!isXmlSpace(text[pos])) {
         return LOG_ASN1ERR(pctxt, RTS_BAD_HEX_TEXT);
      }
      pos++;
   }
   const ASN1UINT digitsEnd = pos;
   if (!skipToken(text, length, &pos, "</" XER_ENCODED_ELEMENT ">")) return 0;
   skipSpace(text, length, &pos);
   if (pos != length) return 0;
   if (digits % 2 != 0) return LOG_ASN1ERR(pctxt, RTS_BAD_HEX_TEXT);

   ASN1OCTET* data = nullptr;
   if (digits > 0) {
      data = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, digits / 2));
      if (data == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   ASN1UINT count = 0;
   int high = -1;
   for (ASN1UINT i = digitsStart; i < digitsEnd; i++) {
      const int nibble = hexValue(text[i]);
      if (nibble < 0) continue;
      if (high < 0) {
         high = nibble;
      } else {
         data[count++] = static_cast<ASN1OCTET>(high << 4 | nibble);
         high = -1;
      }
   }
   if (count > 0) {
      /* The DER form of the octets, whatever BER they were given in: that
         is what is written, and it is checked to be one element. */
      const ASN1OCTET* der = nullptr;
      ASN1UINT derCount = 0;
      const int stat = xe_derNormalise(pctxt, data, count, &der, &derCount);
      if (stat != RTS_OK) return stat;
      if (der != data) {
         ASN1MEMFREEPTR(pctxt, data);
         data = const_cast<ASN1OCTET*>(der);
         count = derCount;
      }
      if (!isOneElement(pctxt, data, count)) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   }
   octets->numocts = count;
   octets->data = data;
   return 1;
}

int xerdetail::resolveUntyped(ASN1CTXT* pctxt, ASN1TOpenType* openType) {
   if (openType->numocts == 0) return RTS_OK;
   ASN1TDynOctStr octets;
   const int stat = decodeHexForm(pctxt, openType->data, openType->numocts, &octets);
   if (stat < 0) return stat;
   if (stat == 0) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   openType->numocts = octets.numocts;
   openType->flags = 0;
   openType->data = octets.data;
   return RTS_OK;
}

}
