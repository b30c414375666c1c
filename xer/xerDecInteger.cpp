/*
 * 32-bit and 16-bit INTEGER from XER decimal text. Leading whitespace is
 * skipped; anything after the digits, trailing whitespace included, is a bad
 * digit. Empty text is 0.
 */
#include "rtContext.h"
#include "xerDecText.h"
#include "xerDecode.h"

/* Accumulates the digits from p to the terminating NUL into *pvalue. A step
   that wraps around 32 bits shows as new / 10 != old. */
static int decodeDigits(ASN1CTXT* pctxt, const unsigned char* p, ASN1UINT* pvalue) {
   ASN1UINT value = 0;
   for (; *p != 0; ++p) {
      if (!xerIsDigit(*p)) return LOG_ASN1ERR(pctxt, RTS_BAD_DIGIT);
      ASN1UINT next = value * 10u + (*p - '0');
      if (next / 10u != value) return LOG_ASN1ERR(pctxt, RTS_TOO_BIG);
      value = next;
   }
   *pvalue = value;
   return RTS_OK;
}

int xerDecInt(ASN1CTXT* pctxt, ASN1INT* pvalue) {
   *pvalue = 0;
   const unsigned char* p = xerSkipSpace(xerDecInputText(pctxt));
   bool negative = false;
   if (*p == '-') {
      negative = true;
      ++p;
   }
   if (*p == 0) return RTS_OK;
   if (!xerIsDigit(*p)) return LOG_ASN1ERR(pctxt, RTS_BAD_DIGIT);

   ASN1UINT magnitude = 0;
   int stat = decodeDigits(pctxt, p, &magnitude);
   if (stat != RTS_OK) return stat;
   /* Magnitudes above 0x7FFFFFFF wrap into the negative range. */
   *pvalue = static_cast<ASN1INT>(negative ? 0u - magnitude : magnitude);
   return RTS_OK;
}

int xerDecUInt(ASN1CTXT* pctxt, ASN1UINT* pvalue) {
   *pvalue = 0;
   const unsigned char* p = xerSkipSpace(xerDecInputText(pctxt));
   if (*p == 0) return RTS_OK;
   if (!xerIsDigit(*p)) return LOG_ASN1ERR(pctxt, RTS_BAD_DIGIT);
   return decodeDigits(pctxt, p, pvalue);
}

int xerDecUInt16(ASN1CTXT* pctxt, ASN1USINT* pvalue) {
   ASN1UINT value = 0;
   *pvalue = 0;
   int stat = xerDecUInt(pctxt, &value);
   if (stat != RTS_OK) return stat;
   if (value > 0xFFFFu) return LOG_ASN1ERR(pctxt, RTS_TOO_BIG);
   *pvalue = static_cast<ASN1USINT>(value);
   return RTS_OK;
}
