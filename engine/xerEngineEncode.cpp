/*
 * XER encoder: dispatch on the descriptor's kind and the primitive kinds.
 * Everything is written straight into the context's output; nothing is
 * allocated on the way.
 */
#include <cstdio>

#include "asn1Xer.h"
#include "openTypeInternal.h"
#include "rtBigInt.h"
#include "rtContext.h"
#include "xerEncode.h"
#include "xerEngineInternal.h"

namespace asn1rt {

using namespace detail;

const char* xerdetail::identifierOf(const TypeDesc* type, int64_t number) {
   for (uint16_t i = 0; i < type->nameCount; i++) {
      if (type->names[i].value == number) return type->names[i].name;
   }
   return nullptr;
}

/* X.693 names of the character string types, for a string without a name
   of its own. */
static const char* builtInStringName(ASN1TagWord tag) {
   switch (tag & TM_IDCODE) {
   case ASN_ID_UTF8String: return "UTF8String";
   case ASN_ID_NumericString: return "NumericString";
   case ASN_ID_PrintableString: return "PrintableString";
   case ASN_ID_TeletexString: return "TeletexString";
   case ASN_ID_VideotexString: return "VideotexString";
   case ASN_ID_IA5String: return "IA5String";
   case ASN_ID_UTCTime: return "UTCTime";
   case ASN_ID_GeneralTime: return "GeneralizedTime";
   case ASN_ID_GraphicString: return "GraphicString";
   case ASN_ID_VisibleString: return "VisibleString";
   case ASN_ID_GeneralString: return "GeneralString";
   default: return nullptr;
   }
}

/* <name><id/></name> for a number with an identifier, else the number. */
static int encodeNamedNumber(ASN1CTXT* pctxt, const TypeDesc* type, int64_t number, bool isSigned,
                             const char* name, const char* attributes) {
   const char* id = xerdetail::identifierOf(type, number);
   if (id != nullptr) return xerEncNamedValue(pctxt, id, name, attributes);
   return isSigned ? xerEncInt(pctxt, static_cast<ASN1INT>(number), name)
                   : xerEncUInt(pctxt, static_cast<ASN1UINT>(number), name);
}

/* <name><id/></name> for a big integer whose value is a named number (a
   version INTEGER { v1(1) } held as text), else its digits. */
static int encodeBigInteger(ASN1CTXT* pctxt, const TypeDesc* type, const char* text,
                            const char* name, const char* attributes) {
   for (uint16_t i = 0; text != nullptr && i < type->nameCount; i++) {
      char number[24];
      std::snprintf(number, sizeof(number), "%lld", static_cast<long long>(type->names[i].value));
      if (rtBigIntStrCompare(pctxt, text, number) == 0)
         return xerEncNamedValue(pctxt, type->names[i].name, name, attributes);
   }
   return xerEncBigInt(pctxt, text, name);
}

static int encodeEnumerated(ASN1CTXT* pctxt, const TypeDesc* type, ASN1UINT number,
                            const char* name, const char* attributes) {
   int stat = xerEncStartElement(pctxt, name, attributes);
   if (stat != RTS_OK) return stat;
   const char* id = xerdetail::identifierOf(type, number);
   if (id == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_ENUM);
   stat = xerEncEmptyElement(pctxt, id);
   return stat != RTS_OK ? stat : xerEncEndElement(pctxt, name);
}

/* Count and data of a fixed-size string: the count first, the array behind
   it. */
static ASN1UINT fixedCount(const void* value) { return fieldAs<ASN1UINT>(value, 0); }
static const ASN1OCTET* fixedData(const void* value) {
   return static_cast<const ASN1OCTET*>(at(value, sizeof(ASN1UINT)));
}

static int encodePrimitive(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                           const char* name, const char* attributes) {
   int stat;
   switch (type->kind) {
   case Kind::Boolean: return xerEncBool(pctxt, fieldAs<ASN1BOOL>(value, 0), name);
   case Kind::Integer:
      return encodeNamedNumber(pctxt, type, fieldAs<ASN1INT>(value, 0), true, name, attributes);
   case Kind::Unsigned:
      return encodeNamedNumber(pctxt, type, fieldAs<ASN1UINT>(value, 0), false, name, attributes);
   case Kind::Unsigned16:
      return encodeNamedNumber(pctxt, type, fieldAs<ASN1USINT>(value, 0), false, name, attributes);
   case Kind::BigInteger:
      return encodeBigInteger(pctxt, type, fieldAs<const char*>(value, 0), name, attributes);
   case Kind::Enumerated:
      return encodeEnumerated(pctxt, type, fieldAs<ASN1UINT>(value, 0), name, attributes);
   case Kind::Null: return xerEncNull(pctxt, name);
   case Kind::ObjectId: return xerEncObjId(pctxt, &fieldAs<ASN1OBJID>(value, 0), name);
   case Kind::OctetString: {
      const ASN1TDynOctStr& octets = fieldAs<ASN1TDynOctStr>(value, 0);
      stat = checkSize(pctxt, type->size, octets.numocts);
      return stat != RTS_OK ? stat : xerEncOctStr(pctxt, octets.numocts, octets.data, name);
   }
   case Kind::OctetStringFixed:
      stat = checkSize(pctxt, type->size, fixedCount(value));
      return stat != RTS_OK ? stat : xerEncOctStr(pctxt, fixedCount(value), fixedData(value), name);
   case Kind::BitString: {
      const ASN1TDynBitStr& bits = fieldAs<ASN1TDynBitStr>(value, 0);
      stat = checkSize(pctxt, type->size, bits.numbits);
      return stat != RTS_OK ? stat
                            : xerEncBitStr(pctxt, bits.numbits, bits.data, name, XER_BITSTR_BINARY);
   }
   case Kind::BitStringFixed:
      stat = checkSize(pctxt, type->size, fixedCount(value));
      return stat != RTS_OK ? stat
                            : xerEncBitStr(pctxt, fixedCount(value), fixedData(value), name,
                                           XER_BITSTR_BINARY);
   case Kind::CharString: {
      const char* text = fieldAs<const char*>(value, 0);
      if (text == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
      stat = checkTextSize(pctxt, type, text);
      if (stat != RTS_OK) return stat;
      if (name == nullptr) name = builtInStringName(type->universalTag);
      return xerEncAscCharStr(pctxt, text, name);
   }
   case Kind::BMPString: {
      const ASN116BitCharString& text = fieldAs<ASN116BitCharString>(value, 0);
      stat = checkSize(pctxt, type->size, text.nchars);
      return stat != RTS_OK ? stat : xerEncBMPStr(pctxt, &text, name);
   }
   case Kind::UniversalString: {
      const ASN132BitCharString& text = fieldAs<ASN132BitCharString>(value, 0);
      stat = checkSize(pctxt, type->size, text.nchars);
      return stat != RTS_OK ? stat : xerEncUnivStr(pctxt, &text, name);
   }
   case Kind::OpenType:
      if (isTableObject(type)) {
         /* Outside its SEQUENCE nothing names the object. */
         return xerdetail::encodeObjectField(pctxt, nullptr, fieldAs<Asn1TObject>(value, 0), name);
      }
      return xerdetail::encodeUntypedField(pctxt, fieldAs<ASN1TOpenType>(value, 0), name);
   default: return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   }
}

int xerEncode(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, const char* elemName,
              const char* attributes) {
   if (value == nullptr && type->kind != Kind::Null) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   const NestingLevel nesting(type);
   if (nesting.tooDeep()) return LOG_ASN1ERR(pctxt, RTS_CONSTRAINT);
   const char* name = elemName != nullptr ? elemName : type->name;
   int stat;
   switch (type->kind) {
   case Kind::Sequence:
   case Kind::Set:
      stat = xerdetail::encodeComponents(pctxt, type, value, name, attributes);
      break;
   case Kind::Choice: stat = xerdetail::encodeChoice(pctxt, type, value, name, attributes); break;
   case Kind::SequenceOfList:
      stat = xerdetail::encodeList(pctxt, type, value, name, attributes);
      break;
   case Kind::SequenceOfArray:
      stat = xerdetail::encodeArray(pctxt, type, value, name, attributes);
      break;
   default: stat = encodePrimitive(pctxt, type, value, name, attributes); break;
   }
   return stat < 0 ? LOG_ASN1ERR(pctxt, stat) : RTS_OK;
}

int xerEncodeDocument(ASN1CTXT* pctxt, const TypeDesc* type, const void* value) {
   const bool wholeDocument = (pctxt->flags & CTXTF_XER_FRAGMENT) == 0;
   int stat = wholeDocument ? xerEncStartDocument(pctxt) : RTS_OK;
   if (stat == RTS_OK) stat = xerEncode(pctxt, type, value, nullptr, nullptr);
   if (stat == RTS_OK && wholeDocument) stat = xerEncEndDocument(pctxt);
   return stat < 0 ? LOG_ASN1ERR(pctxt, stat) : RTS_OK;
}

}
