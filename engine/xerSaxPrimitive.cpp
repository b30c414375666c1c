/*
 * SAX state machine of the primitive kinds: character data collected (bit
 * and octet strings converted chunk by chunk as it arrives), identifiers
 * given as empty elements, and the value decoded when the element closes.
 */
#include <cstdio>
#include <cstring>

#include "ASN1MessageBuffer.h"
#include "OSXMLString.h"
#include "asn1Xer.h"
#include "engineInternal.h"
#include "rtContext.h"
#include "xerDecode.h"
#include "xerEngineInternal.h"

namespace asn1rt {

using namespace detail;

static bool hasNamedNumbers(const TypeDesc* type) {
   switch (type->kind) {
   case Kind::Integer:
   case Kind::Unsigned:
   case Kind::Unsigned16:
   case Kind::BigInteger: return type->nameCount > 0;
   case Kind::Enumerated: return true;
   default: return false;
   }
}

int XerDecodeHandler::parseNamedValue(ASN1CTXT* pctxt, unsigned int* value) {
   const char* text = reinterpret_cast<const char*>(pctxt->buffer.data + pctxt->buffer.byteIndex);
   for (uint16_t i = 0; i < mpType->nameCount; i++) {
      if (xerCmpText(text, mpType->names[i].name)) {
         *value = static_cast<unsigned int>(mpType->names[i].value);
         return RTS_OK;
      }
   }
   StrX name(text);
   xu_addErrParm(pctxt, name.localForm());
   return LOG_ASN1ERR(pctxt, RTS_BAD_ENUM);
}

void XerDecodeHandler::storeNumber(void* field, int64_t number) {
   switch (mpType->kind) {
   case Kind::Integer: fieldAs<ASN1INT>(field, 0) = static_cast<ASN1INT>(number); break;
   case Kind::Unsigned16: fieldAs<ASN1USINT>(field, 0) = static_cast<ASN1USINT>(number); break;
   case Kind::BigInteger: {
      /* Held as text: the decimal digits in the context's heap. */
      char digits[24];
      const int length =
         std::snprintf(digits, sizeof(digits), "%lld", static_cast<long long>(number));
      char* text = static_cast<char*>(ASN1MALLOC(decodeContext(), static_cast<size_t>(length) + 1));
      if (text == nullptr) fail(RTS_NO_MEMORY);
      std::memcpy(text, digits, static_cast<size_t>(length) + 1);
      fieldAs<const char*>(field, 0) = text;
      break;
   }
   default: fieldAs<ASN1UINT>(field, 0) = static_cast<ASN1UINT>(number); break;
   }
}

/* An empty element inside the value's element: the XER form of a BOOLEAN
   (<true/>) and of an identifier (<v3/>). */
void XerDecodeHandler::startInner(const char* localName) {
   const bool byName = mpType->kind == Kind::Boolean || hasNamedNumbers(mpType);
   if (level != 1 || currentState == 3 || !byName) failUnknownElement(localName);
   ASN1CTXT* pctxt = decodeContext();
   check(mpSession->msgBuf->initBuffer(const_cast<char*>(localName)));
   if (mpType->kind == Kind::Boolean) {
      check(xerDecBool(pctxt, &fieldAs<ASN1BOOL>(mpValue, 0)));
   } else {
      unsigned int number = 0;
      check(parseNamedValue(pctxt, &number));
      storeNumber(mpValue, number);
   }
   currentState = 3;
}

void XerDecodeHandler::collectText(const char* chars, unsigned int length) {
   if (level != 1 || (currentState != 1 && currentState != 2)) return;
   ASN1MemBuf& text = mpSession->text;
   switch (mpType->kind) {
   case Kind::OctetString:
   case Kind::OctetStringFixed:
      check(xerDecOctStrMemBuf(&text, chars, static_cast<int>(length), 1));
      break;
   case Kind::BitString:
   case Kind::BitStringFixed:
      check(xerDecBitStrMemBuf(&text, chars, static_cast<int>(length), 1));
      break;
   default:
      check(rtMemBufAppend(&text, reinterpret_cast<const ASN1OCTET*>(chars), length));
      break;
   }
   currentState = 2;
}

/* The count of a fixed-size string and the array behind it. */
static ASN1UINT* fixedCount(void* value) { return &fieldAs<ASN1UINT>(value, 0); }
static ASN1OCTET* fixedData(void* value) {
   return static_cast<ASN1OCTET*>(at(value, sizeof(ASN1UINT)));
}

/* The element has closed: decode what was collected, unless an identifier
   element gave the value already. */
void XerDecodeHandler::decodePrimitive() {
   if (currentState == 3 || mpType->kind == Kind::Null) {
      currentState = 3;
      return;
   }
   ASN1MemBuf& text = mpSession->text;
   const int lastBitOffset = static_cast<int>(text.bitOffset);
   ASN1CTXT* pctxt = finalizeMemBuf(mpSession->msgBuf, text);
   void* value = mpValue;
   int stat;
   switch (mpType->kind) {
   case Kind::Boolean: stat = xerDecBool(pctxt, &fieldAs<ASN1BOOL>(value, 0)); break;
   case Kind::Integer: stat = xerDecInt(pctxt, &fieldAs<ASN1INT>(value, 0)); break;
   case Kind::Unsigned: stat = xerDecUInt(pctxt, &fieldAs<ASN1UINT>(value, 0)); break;
   case Kind::Unsigned16: stat = xerDecUInt16(pctxt, &fieldAs<ASN1USINT>(value, 0)); break;
   case Kind::BigInteger: stat = xerDecBigInt(pctxt, &fieldAs<const char*>(value, 0), 16); break;
   case Kind::ObjectId: stat = xerDecObjId(pctxt, &fieldAs<ASN1OBJID>(value, 0)); break;
   case Kind::OctetString:
      stat = xerDecCopyDynOctStr(pctxt, &fieldAs<ASN1TDynOctStr>(value, 0), lastBitOffset);
      break;
   case Kind::OctetStringFixed:
      stat = xerDecCopyOctStr(pctxt, fixedData(value), fixedCount(value), mpType->fixedCapacity,
                              lastBitOffset);
      break;
   case Kind::BitString:
      stat = xerDecCopyDynBitStr(pctxt, &fieldAs<ASN1TDynBitStr>(value, 0), lastBitOffset);
      break;
   case Kind::BitStringFixed:
      stat = xerDecCopyBitStr(pctxt, fixedData(value), fixedCount(value), fixedBitOctets(mpType),
                              lastBitOffset);
      break;
   case Kind::CharString:
      stat = (mpType->universalTag & TM_IDCODE) == ASN_ID_UTF8String
                ? xerDecDynUTF8Str(pctxt, &fieldAs<const char*>(value, 0))
                : xerDecDynAscCharStr(pctxt, &fieldAs<const char*>(value, 0));
      break;
   case Kind::BMPString: stat = xerDecBMPStr(pctxt, &fieldAs<ASN116BitCharString>(value, 0)); break;
   case Kind::UniversalString:
      stat = xerDecUnivStr(pctxt, &fieldAs<ASN132BitCharString>(value, 0));
      break;
   default:
      /* An ENUMERATED takes only an identifier; an open type is captured,
         never collected here. */
      stat = LOG_ASN1ERR(pctxt, mpType->kind == Kind::Enumerated ? RTS_BAD_ENUM : RTS_BAD_VALUE);
      break;
   }
   check(stat);
   rtMemBufReset(&text);
   currentState = 3;
}

}
