/*
 * OCTET STRING from XER hexadecimal text, converted piece by piece as the
 * parser delivers it. The memory buffer's bitOffset is 4 while the last octet
 * holds only its high nibble, so a digit pair split between two pieces is
 * joined in that octet.
 */
#include <cstring>

#include "rtContext.h"
#include "rtHexText.h"
#include "rtMemHeap.h"
#include "xerDecText.h"
#include "xerDecode.h"

int xerDecOctStrMemBuf(ASN1MemBuf* pMemBuf, const char* chars, int length,
                       ASN1BOOL skipWhitespaces) {
   const unsigned char* text = reinterpret_cast<const unsigned char*>(chars);
   ASN1UINT ndigits = 0;
   /* A piece of nothing but digits, the usual one, is counted at once. */
   if (length > 0 && rtIsHexText(text, static_cast<size_t>(length)))
      ndigits = static_cast<ASN1UINT>(length);
   for (int i = static_cast<int>(ndigits); i < length; ++i) {
      if (xerIsHexDigit(text[i])) ++ndigits;
      else if (!(skipWhitespaces && xerIsSpace(text[i])))
         return LOG_ASN1ERR(pMemBuf->pctxt, RTS_BAD_HEX_TEXT);
   }
   if (ndigits == 0) return RTS_OK;

   int stat = rtMemBufPreAllocate(pMemBuf, (ndigits + 1) / 2);
   if (stat != RTS_OK) return LOG_ASN1ERR(pMemBuf->pctxt, stat);

   /* Bit positions count from the first octet still open for writing. */
   ASN1UINT first = pMemBuf->usedcnt;
   ASN1UINT bitpos = 0;
   if (pMemBuf->bitOffset == 4 && first > 0) {
      --first;
      bitpos = 4;
   }
   ASN1OCTET* out = pMemBuf->buffer + first;
   int i = 0;
   /* Text of nothing but digits, starting on an octet: two digits to each. */
   if (bitpos == 0 && ndigits == static_cast<ASN1UINT>(length)) {
      for (; i + 1 < length; i += 2)
         out[i / 2] = static_cast<ASN1OCTET>(xerHexValue(text[i]) << 4 | xerHexValue(text[i + 1]));
      bitpos = static_cast<ASN1UINT>(i) * 4;
   }
   for (; i < length; ++i) {
      if (!xerIsHexDigit(text[i])) continue;
      ASN1OCTET nibble = static_cast<ASN1OCTET>(xerHexValue(text[i]));
      if (bitpos % 8 == 0) out[bitpos / 8] = static_cast<ASN1OCTET>(nibble << 4);
      else out[bitpos / 8] |= nibble;
      bitpos += 4;
   }
   pMemBuf->usedcnt = first + (bitpos + 7) / 8;
   pMemBuf->bitOffset = bitpos % 8;
   return RTS_OK;
}

/* Copies count octets; after an odd number of digits the value is read as if
   a "0" digit had come first, so every octet moves right by one nibble. */
static void copyOctets(ASN1OCTET* dst, const ASN1OCTET* src, ASN1UINT count, int lastBitOffset) {
   if (count == 0) return;
   if (lastBitOffset == 0) {
      std::memcpy(dst, src, count);
      return;
   }
   for (ASN1UINT i = count - 1; i > 0; --i)
      dst[i] = static_cast<ASN1OCTET>((src[i - 1] << 4) | (src[i] >> 4));
   dst[0] = static_cast<ASN1OCTET>(src[0] >> 4);
}

int xerDecCopyOctStr(ASN1CTXT* pctxt, ASN1OCTET* pvalue, ASN1UINT* pnocts,
                     ASN1UINT bufsize, int lastBitOffset) {
   ASN1UINT count = pctxt->buffer.size;
   if (count > bufsize) return LOG_ASN1ERR(pctxt, RTS_VALUE_TOO_LONG);
   copyOctets(pvalue, pctxt->buffer.data, count, lastBitOffset);
   *pnocts = count;
   return RTS_OK;
}

int xerDecCopyDynOctStr(ASN1CTXT* pctxt, ASN1TDynOctStr* pvalue, int lastBitOffset) {
   ASN1UINT count = pctxt->buffer.size;
   ASN1OCTET* data = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, count));
   if (data == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   copyOctets(data, pctxt->buffer.data, count, lastBitOffset);
   pvalue->numocts = count;
   pvalue->data = data;
   return RTS_OK;
}
