/*
 * XER numbers: 32-bit INTEGER values, big integers given as text, and
 * OBJECT IDENTIFIER values in dotted decimal form.
 */
#include <cstring>

#include "rtBigInt.h"
#include "rtContext.h"
#include "rtDigitPairs.h"
#include "rtMemHeap.h"
#include "xerEncOutput.h"
#include "xerEncode.h"

/* Work area of one formatted 32-bit number. */
static const int kNumberAreaSize = 40;

/* Decimal digits of the largest arc. */
static const size_t kMaxArcDigits = 10;

/* Big integers with fewer decimal digits than this are printed on the stack. */
static const int kStackDigits = 1001;

/* Writes value in decimal right-aligned before end; returns the first digit. */
static char* formatUnsigned(ASN1UINT value, char* end) {
   char* p = end;
   while (value >= 100) {
      p -= 2;
      std::memcpy(p, kRtDigitPairs.pair[value % 100], 2);
      value /= 100;
   }
   if (value >= 10) {
      p -= 2;
      std::memcpy(p, kRtDigitPairs.pair[value], 2);
   } else {
      *--p = static_cast<char>('0' + value);
   }
   return p;
}

/* Start tag, content state, the given digits, end tag. */
static int putNumberElement(XerOut* out, const char* elemName, const char* digits, size_t length) {
   int stat = xerOutStartElement(out, elemName, nullptr);
   if (stat != RTS_OK) return stat;
   out->pctxt->xerState = XERSTATE_CONTENT;
   stat = xerOutPut(out, digits, length);
   return stat == RTS_OK ? xerOutEndElement(out, elemName) : stat;
}

int xerEncInt(ASN1CTXT* pctxt, ASN1INT value, const char* elemName) {
   if (elemName == nullptr) elemName = "INTEGER";
   return xerRunBatched(pctxt, 0, [=](XerOut* out) {
      char area[kNumberAreaSize];
      char* end = area + sizeof(area);
      /* The magnitude is taken in unsigned arithmetic so that INT32_MIN works. */
      ASN1UINT magnitude = value < 0 ? 0u - static_cast<ASN1UINT>(value) : static_cast<ASN1UINT>(value);
      char* first = formatUnsigned(magnitude, end);
      if (value < 0) *--first = '-';
      return putNumberElement(out, elemName, first, static_cast<size_t>(end - first));
   });
}

int xerEncUInt(ASN1CTXT* pctxt, ASN1UINT value, const char* elemName) {
   if (elemName == nullptr) elemName = "INTEGER";
   return xerRunBatched(pctxt, 0, [=](XerOut* out) {
      char area[kNumberAreaSize];
      char* end = area + sizeof(area);
      char* first = formatUnsigned(value, end);
      return putNumberElement(out, elemName, first, static_cast<size_t>(end - first));
   });
}

/* Octets of magnitude kept on the stack; larger numbers grow into the heap. */
static const int kStackMagnitude = 512;

/* Hexadecimal text, which every decoded INTEGER has, is printed straight
   from its digits rather than through the octets of a big integer. */
static int putHexValue(XerOut* out, const char* digits) {
   ASN1CTXT* pctxt = out->pctxt;
   char area[kStackDigits + 1];
   char* text = nullptr;
   char* block = nullptr;
   const int len =
      rtBigIntHexToDecimal(pctxt, digits, area, static_cast<int>(sizeof(area)), &text, &block);
   if (len < 0) return len;
   const int stat = xerOutPut(out, text, static_cast<size_t>(len));
   if (block != nullptr) ASN1MEMFREEPTR(pctxt, block);
   return stat;
}

/* Reads prefixed text in the radix and writes the number in decimal. */
static int putRadixValue(XerOut* out, const char* digits, int radix) {
   if (radix == 16) return putHexValue(out, digits);
   ASN1CTXT* pctxt = out->pctxt;
   ASN1OCTET magnitude[kStackMagnitude];
   ASN1BigInt number;
   rtBigIntInit(&number);
   number.mag = magnitude;
   number.allocated = kStackMagnitude;
   int stat = rtBigIntSetStr(pctxt, &number, digits, radix);
   if (stat != RTS_OK) {
      rtBigIntFree(pctxt, &number);
      return stat;
   }
   /* Up to kStackDigits - 1 digits, a sign and the terminator. */
   char area[kStackDigits + 1];
   char* text = area;
   int capacity = static_cast<int>(sizeof(area));
   int ndigits = rtBigIntDigitsNum(&number, 10);
   if (ndigits >= kStackDigits) {
      capacity = ndigits + 2; /* digits, sign, terminator */
      text = static_cast<char*>(ASN1MALLOC(pctxt, static_cast<size_t>(capacity)));
      if (text == nullptr) {
         rtBigIntFree(pctxt, &number);
         return RTS_NO_MEMORY;
      }
   }
   stat = rtBigIntToString(pctxt, &number, 10, text, capacity);
   rtBigIntFree(pctxt, &number);
   if (stat == RTS_OK) stat = xerOutText(out, text);
   if (text != area) ASN1MEMFREEPTR(pctxt, text);
   return stat;
}

/* Decimal text: optional "-", leading zeros dropped (one digit kept). */
static int putDecimalValue(XerOut* out, const char* value) {
   if (*value == '-') {
      int stat = xerOutPut(out, "-", 1);
      if (stat != RTS_OK) return stat;
      value++;
   }
   while (value[0] == '0' && value[1] != '\0') value++;
   const char* p = value;
   while (*p >= '0' && *p <= '9') p++;
   if (*p != '\0' || p == value) return LOG_ASN1ERR(out->pctxt, RTS_BAD_VALUE);
   return xerOutPut(out, value, static_cast<size_t>(p - value));
}

static int prefixRadix(const char* value) {
   if (value[0] != '0') return 0;
   switch (value[1]) {
      case 'x': return 16;
      case 'b': return 2;
      case 'o': return 8;
      default: return 0;
   }
}

int xerEncBigInt(ASN1CTXT* pctxt, const char* value, const char* elemName) {
   if (elemName == nullptr) elemName = "INTEGER";
   if (value == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return xerRunBatched(pctxt, 0, [=](XerOut* out) {
      int stat = xerOutStartElement(out, elemName, nullptr);
      if (stat != RTS_OK) return stat;
      out->pctxt->xerState = XERSTATE_CONTENT;
      int radix = prefixRadix(value);
      stat = radix != 0 ? putRadixValue(out, value + 2, radix) : putDecimalValue(out, value);
      return stat == RTS_OK ? xerOutEndElement(out, elemName) : stat;
   });
}

/* At least two arcs, first arc 0 to 2, second arc below 40 under 0 and 1
   (X.690 8.19.4: the first two arcs share one subidentifier). */
static bool isValidObjId(const ASN1OBJID* pvalue) {
   if (pvalue == nullptr || pvalue->numarcs < 2 || pvalue->numarcs > MAX_OID_ARCS) return false;
   if (pvalue->arcs[0] > 2) return false;
   return pvalue->arcs[0] == 2 || pvalue->arcs[1] <= 39;
}

/* Staging: the dotted arcs formatted from the last to the first in one
   pass, then put as one piece. */
static void stageObjIdText(XerOut* out, const ASN1OBJID* pvalue) {
   char area[MAX_OID_ARCS * (kMaxArcDigits + 1)];
   char* end = area + sizeof(area);
   char* first = end;
   for (ASN1UINT i = pvalue->numarcs; i-- > 0;) {
      first = formatUnsigned(pvalue->arcs[i], first);
      if (i > 0) *--first = '.';
   }
   xerOutPut(out, first, static_cast<size_t>(end - first));
}

int xerEncObjId(ASN1CTXT* pctxt, const ASN1OBJID* pvalue, const char* elemName) {
   if (elemName == nullptr) elemName = "OBJECT_IDENTIFIER";
   if (!isValidObjId(pvalue)) return RTS_BAD_OID;
   return xerRunBatched(pctxt, 0, [=](XerOut* out) {
      int stat = xerOutStartElement(out, elemName, nullptr);
      if (stat != RTS_OK) return stat;
      out->pctxt->xerState = XERSTATE_CONTENT;
      if (out->staging) {
         stageObjIdText(out, pvalue);
         return xerOutEndElement(out, elemName);
      }
      char area[kNumberAreaSize];
      char* end = area + sizeof(area);
      for (ASN1UINT i = 0; i < pvalue->numarcs && stat == RTS_OK; i++) {
         char* first = formatUnsigned(pvalue->arcs[i], end);
         if (i > 0) *--first = '.';
         stat = xerOutPut(out, first, static_cast<size_t>(end - first));
      }
      return stat == RTS_OK ? xerOutEndElement(out, elemName) : stat;
   });
}
