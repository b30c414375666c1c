/*
 * XER character strings: 8-bit strings with markup characters escaped, and
 * BMPString and UniversalString values converted to UTF-8.
 */
#include <cstring>

#include "rtContext.h"
#include "rtUTF8.h"
#include "xerEncOutput.h"
#include "xerEncode.h"

/* A code point below 128 is escaped like any text; larger ones are written
   as their multi-octet UTF-8 form, whose octets never need escaping. */
static int putChar(XerOut* out, ASN132BITCHAR value) {
   if (value < 0x80) {
      char c = static_cast<char>(value);
      return xerOutEscaped(out, &c, 1);
   }
   ASN1OCTET utf8[6];
   int length = rtUTF8EncodeChar(value, utf8, static_cast<int>(sizeof(utf8)));
   if (length < 0) return RTS_BAD_UTF8;
   return xerOutPut(out, utf8, static_cast<size_t>(length));
}

int xerEncChar(ASN1CTXT* pctxt, ASN132BITCHAR value) {
   return xerRunBatched(pctxt, 0, [=](XerOut* out) { return putChar(out, value); });
}

int xerPutCharStr(ASN1CTXT* pctxt, const char* value, int length) {
   if (length < 1) return RTS_OK;
   if (value == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return xerRunBatched(pctxt, static_cast<size_t>(length), [=](XerOut* out) {
      return xerOutEscaped(out, value, static_cast<size_t>(length));
   });
}

int xerEncAscCharStr(ASN1CTXT* pctxt, const char* pvalue, const char* elemName) {
   if (elemName == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   if (pvalue == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   size_t length = std::strlen(pvalue);
   return xerRunBatched(pctxt, length, [=](XerOut* out) {
      int stat = xerOutStartElement(out, elemName, nullptr);
      if (stat != RTS_OK) return stat;
      out->pctxt->xerState = XERSTATE_CONTENT;
      stat = xerOutEscaped(out, pvalue, length);
      return stat == RTS_OK ? xerOutEndElement(out, elemName) : stat;
   });
}

/* Start tag, each character through putChar, end tag. */
template <typename CharT>
static int encWideString(ASN1CTXT* pctxt, ASN1UINT nchars, const CharT* data, const char* elemName) {
   if (nchars > 0 && data == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return xerRunBatched(pctxt, nchars, [=](XerOut* out) {
      int stat = xerOutStartElement(out, elemName, nullptr);
      if (stat != RTS_OK) return stat;
      out->pctxt->xerState = XERSTATE_CONTENT;
      for (ASN1UINT i = 0; i < nchars && stat == RTS_OK; i++) stat = putChar(out, data[i]);
      return stat == RTS_OK ? xerOutEndElement(out, elemName) : stat;
   });
}

int xerEncBMPStr(ASN1CTXT* pctxt, const ASN116BitCharString* pvalue, const char* elemName) {
   if (pvalue == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return encWideString(pctxt, pvalue->nchars, pvalue->data, elemName ? elemName : "BMPString");
}

int xerEncUnivStr(ASN1CTXT* pctxt, const ASN132BitCharString* pvalue, const char* elemName) {
   if (pvalue == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return encWideString(pctxt, pvalue->nchars, pvalue->data, elemName ? elemName : "UniversalString");
}
