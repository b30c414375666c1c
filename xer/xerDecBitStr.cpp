/*
 * BIT STRING from XER binary text ("0" and "1"), converted piece by piece as
 * the parser delivers it. The memory buffer's bitOffset is the number of bits
 * already used in the last octet (0 when it is full), so a piece that ends
 * inside an octet is continued in that octet.
 */
#include <cstring>

#include "rtContext.h"
#include "rtHexText.h"
#include "rtMemHeap.h"
#include "xerDecText.h"
#include "xerDecode.h"

static bool isBinaryDigit(unsigned char c) { return c == '0' || c == '1'; }

/* Eight characters at a time: the bulk of a bit string is an unbroken run
   of digits, and eight of them make one octet. */
static const size_t kRun = 8;

/* True when all eight characters are "0" or "1": each is 0x30 or 0x31. */
static bool isDigitRun(uint64_t run) {
   return (run & 0xFEFEFEFEFEFEFEFEull) == 0x3030303030303030ull;
}

/* The octet spelt by a run of eight digits, the first character its high
   bit. The low bit of character i, at bit 8i, is multiplied to bit 63 - i,
   and no two partial products meet, so the top octet holds the eight bits
   in text order. */
static ASN1OCTET runOctet(uint64_t run) {
   return static_cast<ASN1OCTET>(((run & 0x0101010101010101ull) * 0x8040201008040201ull) >> 56);
}

/* Four runs: a long unbroken run of digits is written a block at a time. */
static const size_t kBlock = 4 * kRun;

/* Whether the text is nothing but digits: the usual piece, checked with
   no way out of the loop so that it runs over many runs at once. */
static bool allDigits(const unsigned char* text, size_t count) {
   unsigned char stray = 0;
   for (size_t i = 0; i < count; ++i) stray |= static_cast<unsigned char>((text[i] & 0xFE) ^ 0x30);
   return stray == 0;
}

/* Number of digits in the text, or -1 when it holds a character that is
   neither a digit nor, when they are skipped, whitespace. */
static long long countDigits(const unsigned char* text, size_t count, ASN1BOOL skipWhitespaces) {
   if (allDigits(text, count)) return static_cast<long long>(count);
   size_t nbits = 0;
   for (size_t i = 0; i < count; ++i) {
      if (i + kRun <= count && isDigitRun(rtLoadEight(text + i))) {
         nbits += kRun;
         i += kRun - 1;
      } else if (isBinaryDigit(text[i])) {
         ++nbits;
      } else if (!(skipWhitespaces && xerIsSpace(text[i]))) {
         return -1;
      }
   }
   return static_cast<long long>(nbits);
}

int xerDecBitStrMemBuf(ASN1MemBuf* pMemBuf, const char* chars, int length,
                       ASN1BOOL skipWhitespaces) {
   const unsigned char* text = reinterpret_cast<const unsigned char*>(chars);
   const size_t count = length > 0 ? static_cast<size_t>(length) : 0;
   const long long digits = countDigits(text, count, skipWhitespaces);
   if (digits < 0) return LOG_ASN1ERR(pMemBuf->pctxt, RTS_BAD_BIT_TEXT);
   const ASN1UINT nbits = static_cast<ASN1UINT>(digits);
   if (nbits == 0) return RTS_OK;

   int stat = rtMemBufPreAllocate(pMemBuf, (nbits + 7) / 8);
   if (stat != RTS_OK) return LOG_ASN1ERR(pMemBuf->pctxt, stat);

   /* Bit positions count from the first octet still open for writing. */
   ASN1UINT first = pMemBuf->usedcnt;
   ASN1UINT bitpos = 0;
   if (pMemBuf->bitOffset != 0 && first > 0) {
      --first;
      bitpos = pMemBuf->bitOffset;
   }
   ASN1OCTET* out = pMemBuf->buffer + first;
   size_t i = 0;
   /* Text of nothing but digits, starting on an octet: every run is one,
      taken a block at a time. */
   if (nbits == count && bitpos == 0) {
      ASN1OCTET* octet = out;
      for (; i + kBlock <= count; i += kBlock, octet += kBlock / kRun) {
         for (size_t k = 0; k < kBlock / kRun; ++k)
            octet[k] = runOctet(rtLoadEight(text + i + k * kRun));
      }
      for (; i + kRun <= count; i += kRun) *octet++ = runOctet(rtLoadEight(text + i));
      bitpos = static_cast<ASN1UINT>(i);
   }
   for (; i < count; ++i) {
      if (bitpos % 8 == 0 && i + kRun <= count) {
         const uint64_t run = rtLoadEight(text + i);
         if (isDigitRun(run)) {
            out[bitpos / 8] = runOctet(run);
            bitpos += kRun;
            i += kRun - 1;
            continue;
         }
      }
      if (!isBinaryDigit(text[i])) continue;
      if (bitpos % 8 == 0) out[bitpos / 8] = 0;
      if (text[i] == '1') out[bitpos / 8] |= static_cast<ASN1OCTET>(0x80u >> (bitpos % 8));
      ++bitpos;
   }
   pMemBuf->usedcnt = first + (bitpos + 7) / 8;
   pMemBuf->bitOffset = bitpos % 8;
   return RTS_OK;
}

/* All bits of every octet but the last, which holds lastBitOffset bits (all
   eight when it is 0). */
static ASN1UINT countBits(ASN1UINT noctets, int lastBitOffset) {
   if (noctets == 0) return 0;
   return noctets * 8 - 8 + static_cast<ASN1UINT>(lastBitOffset != 0 ? lastBitOffset : 8);
}

int xerDecCopyBitStr(ASN1CTXT* pctxt, ASN1OCTET* pvalue, ASN1UINT* pnbits,
                     ASN1UINT bufsize, int lastBitOffset) {
   ASN1UINT count = pctxt->buffer.size;
   if (count > bufsize) return LOG_ASN1ERR(pctxt, RTS_VALUE_TOO_LONG);
   if (count > 0) std::memcpy(pvalue, pctxt->buffer.data, count);
   *pnbits = countBits(count, lastBitOffset);
   return RTS_OK;
}

int xerDecCopyDynBitStr(ASN1CTXT* pctxt, ASN1TDynBitStr* pvalue, int lastBitOffset) {
   ASN1UINT count = pctxt->buffer.size;
   ASN1OCTET* data = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, count));
   if (data == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   if (count > 0) std::memcpy(data, pctxt->buffer.data, count);
   pvalue->numbits = countBits(count, lastBitOffset);
   pvalue->data = data;
   return RTS_OK;
}
