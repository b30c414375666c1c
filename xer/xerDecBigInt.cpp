/*
 * Big INTEGER from XER decimal text. The generated layer keeps such values as
 * text: radix 10 keeps the decimal digits, radix 16, 2 and 8 convert them to
 * "0x", "0b" or "0o" followed by two's-complement digits, the form the BER
 * encoder reads back.
 */
#include <cstring>

#include "rtBigInt.h"
#include "rtContext.h"
#include "rtMemHeap.h"
#include "xerDecText.h"
#include "xerDecode.h"

/* Tokens shorter than this, and numbers of fewer octets, are converted
   without a heap work area. */
static const size_t kStackWorkArea = 512;

static int copyDecimal(ASN1CTXT* pctxt, const char* token, size_t len, const char** ppvalue) {
   if (len == 0) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   const unsigned char* digits = reinterpret_cast<const unsigned char*>(token);
   if (digits[0] != '-' && !xerIsDigit(digits[0])) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   for (size_t i = 1; i < len; ++i)
      if (!xerIsDigit(digits[i])) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);

   char* text = static_cast<char*>(ASN1MALLOC(pctxt, len + 1));
   if (text == nullptr) return RTS_NO_MEMORY;
   std::memcpy(text, token, len);
   text[len] = 0;
   *ppvalue = text;
   return RTS_OK;
}

static char radixPrefix(int radix) {
   return radix == 16 ? 'x' : radix == 2 ? 'b' : 'o';
}

/* Reads the decimal token into a big integer and prints it in the radix. */
static int convertDecimal(ASN1CTXT* pctxt, const char* token, size_t len, int radix,
                          const char** ppvalue) {
   char stackArea[kStackWorkArea];
   char* work = stackArea;
   if (len >= kStackWorkArea) {
      work = static_cast<char*>(ASN1MALLOC(pctxt, len + 1));
      if (work == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   std::memcpy(work, token, len);
   work[len] = 0;

   ASN1OCTET magnitude[kStackWorkArea];
   ASN1BigInt number;
   rtBigIntInit(&number);
   number.mag = magnitude;
   number.allocated = static_cast<ASN1INT>(sizeof(magnitude));
   int stat = rtBigIntSetStr(pctxt, &number, work, 10);
   if (work != stackArea) ASN1MEMFREEPTR(pctxt, work);
   if (stat != RTS_OK) {
      rtBigIntFree(pctxt, &number);
      return LOG_ASN1ERR(pctxt, stat);
   }

   int ndigits = rtBigIntDigitsNum(&number, radix);
   char* text = static_cast<char*>(ASN1MALLOC(pctxt, static_cast<size_t>(ndigits) + 3));
   if (text == nullptr) {
      rtBigIntFree(pctxt, &number);
      return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   text[0] = '0';
   text[1] = radixPrefix(radix);
   stat = rtBigIntToString(pctxt, &number, radix, text + 2, ndigits + 1);
   rtBigIntFree(pctxt, &number);
   if (stat < 0) {
      ASN1MEMFREEPTR(pctxt, text);
      return LOG_ASN1ERR(pctxt, stat);
   }
   *ppvalue = text;
   return RTS_OK;
}

int xerDecBigInt(ASN1CTXT* pctxt, const char** ppvalue, int radix) {
   *ppvalue = nullptr;
   const unsigned char* start = xerSkipSpace(xerDecInputText(pctxt));
   size_t len = 0;
   while (start[len] != 0 && !xerIsSpace(start[len])) ++len;
   const char* token = reinterpret_cast<const char*>(start);

   if (radix == 10) return copyDecimal(pctxt, token, len, ppvalue);
   /* The radix every generated decoder asks for goes from the digits to
      the text without the octets of a big integer in between. */
   if (radix == 16) {
      char* hex = nullptr;
      const int stat = rtBigIntDecimalToHex(pctxt, token, len, &hex);
      *ppvalue = hex;
      return stat;
   }
   if (radix != 2 && radix != 8) return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   return convertDecimal(pctxt, token, len, radix, ppvalue);
}
