/*
 * Big integers: text to sign and magnitude, minimal two's-complement octets
 * (X.690 8.3.2), text back out, and comparison of numbers given as text.
 */
#include "rtBigInt.h"

#include <cstring>

#include "rtContext.h"
#include "rtDigitPairs.h"
#include "rtHexText.h"
#include "rtMemHeap.h"

namespace {

/* Radix tables indexed by radix / 2; bitsPerDigit is in 1/1024 bits, and
   digitsPerByte is the number of binary or hexadecimal digits per octet. */
const int kBitsPerDigit[9] = {0, 1024, 0, 0, 3072, 3402, 0, 0, 4096};
const int kDigitsPerByte[9] = {0, 8, 0, 0, 2, 2, 0, 0, 2};

/* The largest magnitude this module will allocate, in octets. */
const size_t kMaxOctets = 0x7FFFFFE7u;

/* Limbs of the 32-bit work area that decimal and octal conversions keep on
   the stack: numbers of up to 512 octets (1233 decimal digits) need no
   heap. */
const size_t kStackLimbs = 128;

bool isValidRadix(int radix) {
   return radix == 2 || radix == 8 || radix == 10 || radix == 16;
}

bool isPatternRadix(int radix) {
   return radix == 2 || radix == 16;
}

bool isZero(const ASN1BigInt* pInt) {
   return pInt->sign == 0 || pInt->numocts <= 0;
}


/* Value of one digit in the radix, or -1 when it is none. */
int digitValue(char c, int radix) {
   const int value = kRtDigitValues.value[static_cast<unsigned char>(c)];
   return value < radix ? value : -1;
}

/* Radix chosen by a 0x, 0b or 0o prefix; 10 when there is none. */
int prefixRadix(const char* text) {
   if (text[0] != '0') return 10;
   switch (text[1]) {
      case 'x': case 'X': return 16;
      case 'b': case 'B': return 2;
      case 'o': case 'O': return 8;
      default: return 10;
   }
}

/* Makes room for nocts magnitude octets, growing out of a lent work area
   into typeMemHeap when it is too small. The contents are not kept. */
int reserve(ASN1CTXT* pctxt, ASN1BigInt* pInt, size_t nocts) {
   if (pInt->mag != nullptr && pInt->allocated >= 0 &&
       static_cast<size_t>(pInt->allocated) >= nocts)
      return RTS_OK;
   if (nocts > kMaxOctets) return RTS_NO_MEMORY;
   ASN1OCTET* mag = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, nocts));
   if (mag == nullptr) return RTS_NO_MEMORY;
   if (pInt->dynamic && pInt->mag != nullptr) ASN1MEMFREEPTR(pctxt, pInt->mag);
   pInt->mag = mag;
   pInt->allocated = static_cast<ASN1INT>(nocts);
   pInt->dynamic = 1;
   return RTS_OK;
}

/* Two's complement in place: invert, then add 1 from the least significant
   octet with carry. */
void negate(ASN1OCTET* octets, size_t n) {
   unsigned carry = 1;
   for (size_t i = n; i-- > 0;) {
      unsigned sum = static_cast<ASN1OCTET>(~octets[i]) + carry;
      octets[i] = static_cast<ASN1OCTET>(sum);
      carry = sum >> 8;
   }
}

/* Hexadecimal or binary digits read as a two's-complement bit pattern; the
   digits fill the octets from the right. */
int setPattern(ASN1CTXT* pctxt, ASN1BigInt* pInt, const char* digits, int radix) {
   const size_t digitsPerOctet = static_cast<size_t>(kDigitsPerByte[radix / 2]);
   const unsigned bitsPerDigit = static_cast<unsigned>(kBitsPerDigit[radix / 2] / 1024);
   const size_t ndigits = std::strlen(digits);
   const size_t nocts = (ndigits + digitsPerOctet - 1) / digitsPerOctet;
   int stat = reserve(pctxt, pInt, nocts);
   if (stat != RTS_OK) return stat;
   if (radix == 16 && ndigits % 2 == 0) {
      /* Two digits per octet, the high one first. */
      for (size_t i = 0; i < nocts; ++i) {
         const int high = digitValue(digits[2 * i], radix);
         const int low = digitValue(digits[2 * i + 1], radix);
         if (high < 0 || low < 0) return RTS_BAD_VALUE;
         pInt->mag[i] = static_cast<ASN1OCTET>(high << 4 | low);
      }
   } else {
      std::memset(pInt->mag, 0, nocts);
      /* digitsPerOctet is 2 or 8: shifts and masks instead of divisions. */
      const unsigned octetShift = digitsPerOctet == 2 ? 1 : 3;
      const size_t digitMask = digitsPerOctet - 1;
      for (size_t i = 0; i < ndigits; ++i) {
         int value = digitValue(digits[ndigits - 1 - i], radix);
         if (value < 0) return RTS_BAD_VALUE;
         pInt->mag[nocts - 1 - (i >> octetShift)] |=
            static_cast<ASN1OCTET>(value << ((i & digitMask) * bitsPerDigit));
      }
   }
   pInt->numocts = static_cast<ASN1INT>(nocts);
   /* A set top bit makes the pattern negative. A leading 0 digit always
      leaves it clear, which is how 0x0ff stays 255. */
   if ((pInt->mag[0] & 0x80) != 0) {
      negate(pInt->mag, nocts);
      pInt->sign = -1;
   } else {
      pInt->sign = 1;
   }
   return RTS_OK;
}

/* Decimal or octal text with an optional minus sign, read in chunks of
   digitsPerByte digits: magnitude = magnitude * byteRadix + chunk. */
int setSigned(ASN1CTXT* pctxt, ASN1BigInt* pInt, const char* text, int radix) {
   bool negative = false;
   if (*text == '-') {
      negative = true;
      if (*++text == '\0') return RTS_BAD_VALUE;
   }
   while (*text == '0') ++text;
   const size_t ndigits = std::strlen(text);
   if (ndigits == 0) {
      pInt->numocts = 0;
      pInt->sign = 0;
      return RTS_OK;
   }
   for (size_t i = 0; i < ndigits; ++i)
      if (digitValue(text[i], radix) < 0) return RTS_BAD_VALUE;

   /* bitsPerDigit never underestimates log2(radix), so the value fits. */
   const int index = radix / 2;
   const unsigned long long bits =
      static_cast<unsigned long long>(ndigits) * kBitsPerDigit[index] / 1024;
   if (bits / 8 + 1 > kMaxOctets) return RTS_NO_MEMORY;
   const size_t capacity = static_cast<size_t>((bits + 8) / 8);
   int stat = reserve(pctxt, pInt, capacity);
   if (stat != RTS_OK) return stat;

   /* The value is built in 32-bit limbs, least significant first, one chunk
      of up to chunkDigits digits at a time: value = value * radix^k + chunk. */
   const size_t capacityLimbs = (capacity + 3) / 4;
   ASN1UINT stackLimbs[kStackLimbs];
   ASN1UINT* limbs = stackLimbs;
   if (capacityLimbs > kStackLimbs) {
      limbs = static_cast<ASN1UINT*>(ASN1MALLOC(pctxt, capacityLimbs * sizeof(ASN1UINT)));
      if (limbs == nullptr) return RTS_NO_MEMORY;
   }
   const size_t chunkDigits = radix == 10 ? 9 : 10;
   size_t nlimbs = 0;
   size_t chunkLen = ndigits % chunkDigits == 0 ? chunkDigits : ndigits % chunkDigits;
   for (size_t pos = 0; pos < ndigits; pos += chunkLen, chunkLen = chunkDigits) {
      uint64_t carry = 0;
      ASN1UINT factor = 1;
      for (size_t k = 0; k < chunkLen; ++k) {
         carry = carry * static_cast<unsigned>(radix) +
                 static_cast<unsigned>(digitValue(text[pos + k], radix));
         factor *= static_cast<ASN1UINT>(radix);
      }
      for (size_t i = 0; i < nlimbs; ++i) {
         const uint64_t product = static_cast<uint64_t>(limbs[i]) * factor + carry;
         limbs[i] = static_cast<ASN1UINT>(product);
         carry = product >> 32;
      }
      if (carry != 0) limbs[nlimbs++] = static_cast<ASN1UINT>(carry);
   }

   /* Big-endian octets without leading zeros; the value is not zero. */
   size_t used = nlimbs * 4;
   while ((limbs[(used - 1) / 4] >> ((used - 1) % 4 * 8) & 0xFF) == 0) --used;
   for (size_t i = 0; i < used; ++i)
      pInt->mag[used - 1 - i] = static_cast<ASN1OCTET>(limbs[i / 4] >> (i % 4 * 8));
   if (limbs != stackLimbs) ASN1MEMFREEPTR(pctxt, limbs);
   pInt->numocts = static_cast<ASN1INT>(used);
   pInt->sign = negative ? -1 : 1;
   return RTS_OK;
}

void stripLeadingZeros(ASN1BigInt* pInt) {
   ASN1INT zeros = 0;
   while (zeros < pInt->numocts && pInt->mag[zeros] == 0) ++zeros;
   if (zeros > 0) {
      pInt->numocts -= zeros;
      std::memmove(pInt->mag, pInt->mag + zeros, static_cast<size_t>(pInt->numocts));
   }
   if (pInt->numocts == 0) pInt->sign = 0;
}

/* Writes the two's-complement form at width len (at least the minimal
   length): sign octets 00 or FF, then the magnitude or its negation. */
void storeTwosComplement(const ASN1BigInt* pInt, ASN1OCTET* out, int len) {
   if (isZero(pInt)) {
      std::memset(out, 0, static_cast<size_t>(len));
      return;
   }
   const size_t numocts = static_cast<size_t>(pInt->numocts);
   const size_t pad = static_cast<size_t>(len) - numocts;
   std::memset(out, pInt->sign < 0 ? 0xFF : 0x00, pad);
   std::memcpy(out + pad, pInt->mag, numocts);
   if (pInt->sign < 0) negate(out + pad, numocts);
}

constexpr uint64_t power(uint64_t base, unsigned exponent) {
   return exponent == 0 ? 1 : base * power(base, exponent - 1);
}

/* Limbs of the 64-bit work area of printSigned on the stack: the same 512
   octets as the parsing work area. */
const size_t kStackWideLimbs = kStackLimbs / 2;

typedef unsigned __int128 Wide;

/* Division of a two-limb number (high limb below D) by a constant D whose
   top bit is set, with a reciprocal fixed at compile time: two
   multiplications and a correction instead of a 128-bit division, which
   the compiler would hand to a library routine. */
template <uint64_t D>
struct NormalisedDivisor {
   static_assert((D >> 63) == 1, "the divisor must have its top bit set");
   static constexpr uint64_t reciprocal = static_cast<uint64_t>(~static_cast<Wide>(0) / D);

   /* Returns (high, low) / D and leaves the remainder in *high. */
   static uint64_t divide(uint64_t* high, uint64_t low) {
      const Wide estimate = static_cast<Wide>(reciprocal) * *high +
                            ((static_cast<Wide>(*high) << 64) | low);
      uint64_t quotient = static_cast<uint64_t>(estimate >> 64) + 1;
      uint64_t rem = low - quotient * D;
      if (rem > static_cast<uint64_t>(estimate)) {
         --quotient;
         rem += D;
      }
      if (rem >= D) {
         ++quotient;
         rem -= D;
      }
      *high = rem;
      return quotient;
   }
};

/* The count lowest decimal digits of chunk, leading zeros included,
   right-aligned before end. */
void putDecimalChunk(uint64_t chunk, char* end, unsigned count) {
   for (; count >= 2; count -= 2) {
      end -= 2;
      std::memcpy(end, kRtDigitPairs.pair[chunk % 100], 2);
      chunk /= 100;
   }
   if (count > 0) *--end = static_cast<char>('0' + chunk % 10);
}

/* Digits of a number held in nlimbs little-endian 64-bit limbs, which are
   consumed. The chunk divisor D = Radix^ChunkDigits is the power of the
   radix that fills a limb with its top bit set (10^19, 8^21). One pass over
   the limbs divides by D four times at once: each quotient limb of one
   division is fed, as soon as it is made, to the next division, so the four
   chains of remainders run side by side and a pass yields four chunks,
   rem[0] the lowest. The digits are put right-aligned in front of
   str[capacity - 1], the terminator's place; *len counts them. False when
   they do not fit there. */
template <unsigned Radix, unsigned ChunkDigits>
bool putDigits(uint64_t* limbs, size_t nlimbs, char* str, size_t capacity, size_t* len) {
   typedef NormalisedDivisor<power(Radix, ChunkDigits)> Divisor;
   while (nlimbs > 0) {
      /* Four scalars rather than an array, so that the chains stay in
         registers. */
      uint64_t rem0 = 0, rem1 = 0, rem2 = 0, rem3 = 0;
      for (size_t i = nlimbs; i-- > 0;) {
         limbs[i] = Divisor::divide(
            &rem3, Divisor::divide(&rem2, Divisor::divide(&rem1, Divisor::divide(&rem0, limbs[i]))));
      }
      const uint64_t rem[] = {rem0, rem1, rem2, rem3};
      const unsigned chains = sizeof(rem) / sizeof(rem[0]);
      while (nlimbs > 0 && limbs[nlimbs - 1] == 0) --nlimbs;
      /* Chunks below the top one keep their leading zeros; the top one is
         the highest non-zero chunk once the quotient is zero. */
      unsigned top = chains - 1;
      while (nlimbs == 0 && top > 0 && rem[top] == 0) --top;
      for (unsigned d = 0; d <= top; ++d) {
         uint64_t chunk = rem[d];
         const bool full = nlimbs > 0 || d < top;
         if (Radix == 10 && full && *len + ChunkDigits < capacity) {
            putDecimalChunk(chunk, str + capacity - 1 - *len, ChunkDigits);
            *len += ChunkDigits;
            continue;
         }
         for (unsigned k = 0; k < ChunkDigits && (full || chunk != 0); ++k) {
            if (*len + 1 >= capacity) return false;
            ++*len;
            str[capacity - 1 - *len] = static_cast<char>('0' + chunk % Radix);
            chunk /= Radix;
         }
      }
   }
   return true;
}

/* Digits in lowercase two's-complement form, most significant first. */
int printPattern(ASN1CTXT* pctxt, const ASN1BigInt* pInt, int radix, char* str, int strSize) {
   static const char kHexDigits[] = "0123456789abcdef";
   const int len = rtBigIntGetDataLen(pInt);
   const long long ndigits = static_cast<long long>(len) * (radix == 16 ? 2 : 8);
   if (strSize <= ndigits) return RTS_VALUE_TOO_LONG;
   ASN1OCTET* work = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, static_cast<size_t>(len)));
   if (work == nullptr) return RTS_NO_MEMORY;
   storeTwosComplement(pInt, work, len);
   char* out = str;
   for (int i = 0; i < len; ++i) {
      if (radix == 16) {
         *out++ = kHexDigits[work[i] >> 4];
         *out++ = kHexDigits[work[i] & 0x0F];
      } else {
         for (int bit = 7; bit >= 0; --bit) *out++ = static_cast<char>('0' + ((work[i] >> bit) & 1));
      }
   }
   *out = '\0';
   ASN1MEMFREEPTR(pctxt, work);
   return RTS_OK;
}

/* Digits of the number in limbs (consumed) and its minus sign, right-aligned
   in front of str[capacity - 1]; *len counts them. False when they do not
   fit there. */
bool putSigned(uint64_t* limbs, size_t nlimbs, bool negative, int radix, char* str,
               size_t capacity, size_t* len) {
   *len = 0;
   while (nlimbs > 0 && limbs[nlimbs - 1] == 0) --nlimbs;
   bool fits = radix == 10 ? putDigits<10, 19>(limbs, nlimbs, str, capacity, len)
                           : putDigits<8, 21>(limbs, nlimbs, str, capacity, len);
   if (fits && negative) {
      if (*len + 1 >= capacity) return false;
      str[capacity - 1 - ++*len] = '-';
   }
   return fits;
}

/* Decimal (or octal) text with a minus sign: the magnitude is copied into
   64-bit limbs and printed by putSigned from the right; the text is moved
   to the start of str when it fits. */
int printSigned(ASN1CTXT* pctxt, const ASN1BigInt* pInt, int radix, char* str, int strSize) {
   const size_t capacity = static_cast<size_t>(strSize);
   if (isZero(pInt)) {
      if (capacity < 2) return RTS_VALUE_TOO_LONG;
      str[0] = '0';
      str[1] = '\0';
      return RTS_OK;
   }
   const size_t numocts = static_cast<size_t>(pInt->numocts);
   const size_t nlimbs = (numocts + 7) / 8;
   uint64_t stackLimbs[kStackWideLimbs];
   uint64_t* limbs = stackLimbs;
   if (nlimbs > kStackWideLimbs) {
      limbs = static_cast<uint64_t*>(ASN1MALLOC(pctxt, nlimbs * sizeof(uint64_t)));
      if (limbs == nullptr) return RTS_NO_MEMORY;
   }
   /* Eight octets at a time from the least significant end, then the rest. */
   const ASN1OCTET* mag = pInt->mag;
   size_t octet = numocts;
   for (size_t i = 0; i < nlimbs; ++i) {
      const size_t take = octet >= 8 ? 8 : octet;
      uint64_t limb = 0;
      for (size_t k = octet - take; k < octet; ++k) limb = limb << 8 | mag[k];
      octet -= take;
      limbs[i] = limb;
   }

   size_t len = 0;
   const bool fits = putSigned(limbs, nlimbs, pInt->sign < 0, radix, str, capacity, &len);
   if (limbs != stackLimbs) ASN1MEMFREEPTR(pctxt, limbs);
   if (!fits) return RTS_VALUE_TOO_LONG;
   std::memmove(str, str + capacity - 1 - len, len);
   str[len] = '\0';
   return RTS_OK;
}

/* The value of eight hexadecimal digits, all eight at once: each character
   becomes its value (low nibble, plus 9 for a letter, whose bit 6 is set),
   neighbouring values are joined into octets, the octets gathered in text
   order and turned the right way round. */
uint64_t eightHexDigits(const char* digits) {
   uint64_t v = rtLoadEight(digits);
   v = (v & 0x0F0F0F0F0F0F0F0Full) + ((v >> 6) & 0x0101010101010101ull) * 9;
   v = ((v << 4) | (v >> 8)) & 0x00FF00FF00FF00FFull;
   v = (v | (v >> 8)) & 0x0000FFFF0000FFFFull;
   v = (v | (v >> 16)) & 0xFFFFFFFFull;
   return __builtin_bswap32(static_cast<uint32_t>(v));
}

/* Hexadecimal digits, all checked, into 64-bit limbs, least significant
   first, sixteen digits to a limb counted from the last digit. */
void readHexLimbs(const char* digits, size_t ndigits, uint64_t* limbs) {
   size_t end = ndigits;
   size_t i = 0;
   for (; end >= 16; ++i, end -= 16)
      limbs[i] = eightHexDigits(digits + end - 16) << 32 | eightHexDigits(digits + end - 8);
   if (end > 0) {
      uint64_t limb = 0;
      for (size_t k = 0; k < end; ++k)
         limb = limb << 4 | kRtDigitValues.value[static_cast<unsigned char>(digits[k])];
      limbs[i] = limb;
   }
}

/* The magnitude of a negative bit pattern of bits bits in limbs:
   2^bits - pattern, the two's complement across the limbs. */
void negateLimbs(uint64_t* limbs, size_t nlimbs, size_t bits) {
   unsigned carry = 1;
   for (size_t i = 0; i < nlimbs; ++i) {
      const uint64_t sum = ~limbs[i] + carry;
      carry = carry != 0 && sum == 0 ? 1 : 0;
      limbs[i] = sum;
   }
   if (bits % 64 != 0) limbs[nlimbs - 1] &= (uint64_t{1} << (bits % 64)) - 1;
}

/* Octets of the magnitude in limbs without leading zeros. */
size_t magnitudeOctets(const uint64_t* limbs, size_t nlimbs) {
   if (nlimbs == 0) return 0;
   size_t octets = (nlimbs - 1) * 8;
   for (uint64_t top = limbs[nlimbs - 1]; top != 0; top >>= 8) ++octets;
   return octets;
}

/* Whether every character is a decimal digit, eight at a time: each octet
   must be 0x30 to 0x39, so its high nibble is 3, and still 3 after adding
   6, which no octet of that form carries out of. */
bool allDecimalDigits(const char* text, size_t count) {
   size_t i = 0;
   for (; i + 8 <= count; i += 8) {
      const uint64_t v = rtLoadEight(text + i);
      const uint64_t high = 0xF0F0F0F0F0F0F0F0ull;
      const uint64_t threes = 0x3030303030303030ull;
      if ((v & high) != threes || ((v + 0x0606060606060606ull) & high) != threes) return false;
   }
   for (; i < count; ++i)
      if (static_cast<unsigned char>(text[i] - '0') > 9) return false;
   return true;
}

/* The value of eight decimal digits, all eight at once: the characters are
   loaded with the first in the low octet, the digit values then combined
   pairwise (ten times the first plus the second), the pairs into fours and
   the fours into the whole. */
uint64_t eightDigits(const char* digits) {
   uint64_t v = rtLoadEight(digits) - 0x3030303030303030ull;
   v = v * 10 + (v >> 8);
   return ((v & 0x000000FF000000FFull) * (100 + (1000000ull << 32)) +
           ((v >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32))) >>
          32;
}

/* Decimal digits into 64-bit limbs, least significant first, up to 19
   digits at a time: limbs = limbs * 10^k + chunk. Returns the limbs used. */
size_t readDecimalLimbs(const char* digits, size_t ndigits, uint64_t* limbs) {
   static constexpr uint64_t kChunkScale[20] = {
      power(10, 0),  power(10, 1),  power(10, 2),  power(10, 3),  power(10, 4),
      power(10, 5),  power(10, 6),  power(10, 7),  power(10, 8),  power(10, 9),
      power(10, 10), power(10, 11), power(10, 12), power(10, 13), power(10, 14),
      power(10, 15), power(10, 16), power(10, 17), power(10, 18), power(10, 19)};
   const size_t chunkDigits = 19;
   size_t nlimbs = 0;
   size_t chunkLen = ndigits % chunkDigits == 0 ? chunkDigits : ndigits % chunkDigits;
   for (size_t pos = 0; pos < ndigits; pos += chunkLen, chunkLen = chunkDigits) {
      uint64_t carry = 0;
      size_t k = 0;
      for (; k + 8 <= chunkLen; k += 8)
         carry = carry * power(10, 8) + eightDigits(digits + pos + k);
      for (; k < chunkLen; ++k) carry = carry * 10 + static_cast<unsigned>(digits[pos + k] - '0');
      const uint64_t factor = kChunkScale[chunkLen];
      for (size_t i = 0; i < nlimbs; ++i) {
         const Wide product = static_cast<Wide>(limbs[i]) * factor + carry;
         limbs[i] = static_cast<uint64_t>(product);
         carry = static_cast<uint64_t>(product >> 64);
      }
      if (carry != 0) limbs[nlimbs++] = carry;
   }
   return nlimbs;
}

/* Subtracts 1 from a number that is not zero. */
void decrementLimbs(uint64_t* limbs, size_t nlimbs) {
   for (size_t i = 0; i < nlimbs && limbs[i]-- == 0; ++i) {
   }
}

/* Length in octets of the minimal two's-complement form of m (negative
   false) or of -m (negative true, limbs holding m - 1): one more than the
   whole octets of the bit length, which leaves room for the sign bit. */
size_t twosComplementOctets(const uint64_t* limbs, size_t nlimbs) {
   while (nlimbs > 0 && limbs[nlimbs - 1] == 0) --nlimbs;
   if (nlimbs == 0) return 1;
   const size_t bits = nlimbs * 64 - static_cast<size_t>(__builtin_clzll(limbs[nlimbs - 1]));
   return bits / 8 + 1;
}

int compareMagnitudes(const ASN1BigInt* a, const ASN1BigInt* b) {
   if (a->numocts != b->numocts) return a->numocts < b->numocts ? -1 : 1;
   int diff = std::memcmp(a->mag, b->mag, static_cast<size_t>(a->numocts));
   return diff < 0 ? -1 : (diff > 0 ? 1 : 0);
}

}

void rtBigIntInit(ASN1BigInt* pInt) {
   if (pInt != nullptr) std::memset(pInt, 0, sizeof(*pInt));
}

int rtBigIntSetStr(ASN1CTXT* pctxt, ASN1BigInt* pInt, const char* value, int radix) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (pInt == nullptr || value == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   while (*value == ' ') ++value;
   if (radix == 0) {
      radix = prefixRadix(value);
      if (radix != 10) value += 2;
   } else if (!isValidRadix(radix)) {
      return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   }
   if (*value == '\0') return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   int stat = isPatternRadix(radix) ? setPattern(pctxt, pInt, value, radix)
                                    : setSigned(pctxt, pInt, value, radix);
   if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
   stripLeadingZeros(pInt);
   return RTS_OK;
}

int rtBigIntGetDataLen(const ASN1BigInt* pInt) {
   if (pInt == nullptr) return RTS_BAD_ARGUMENT;
   if (isZero(pInt)) return 1;
   const ASN1OCTET first = pInt->mag[0];
   if (pInt->sign > 0) return pInt->numocts + ((first & 0x80) != 0 ? 1 : 0);
   /* The leading octet of the negation at the same width: a borrow reaches
      it only when every later octet is zero. */
   bool restZero = true;
   for (ASN1INT i = 1; i < pInt->numocts && restZero; ++i) restZero = pInt->mag[i] == 0;
   const ASN1OCTET lead = static_cast<ASN1OCTET>(restZero ? 0x100 - first : ~first);
   return (lead & 0x80) != 0 ? pInt->numocts : pInt->numocts + 1;
}

int rtBigIntGetData(ASN1CTXT* pctxt, const ASN1BigInt* pInt, ASN1OCTET* buffer, int bufSize) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (pInt == nullptr || buffer == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   const int len = rtBigIntGetDataLen(pInt);
   if (len > bufSize) return LOG_ASN1ERR(pctxt, RTS_VALUE_TOO_LONG);
   storeTwosComplement(pInt, buffer, len);
   return len;
}

int rtBigIntDigitsNum(const ASN1BigInt* pInt, int radix) {
   if (pInt == nullptr || !isValidRadix(radix)) return RTS_BAD_ARGUMENT;
   const long long octets = static_cast<long long>(pInt->numocts) + 1;
   return static_cast<int>(octets * 8192 / kBitsPerDigit[radix / 2]);
}

int rtBigIntHexToDecimal(ASN1CTXT* pctxt, const char* digits, char* area, int areaSize,
                         char** text, char** block) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (digits == nullptr || area == nullptr || areaSize <= 0)
      return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   while (*digits == ' ') ++digits;
   const size_t ndigits = std::strlen(digits);
   if (ndigits == 0) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   if ((ndigits + 1) / 2 > kMaxOctets) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   /* The pattern's limbs, on the stack up to the same 512 octets as the
      octet form; the work area is taken before the digits are looked at,
      as for that form. */
   size_t nlimbs = (ndigits + 15) / 16;
   uint64_t stackLimbs[kStackWideLimbs];
   uint64_t* limbs = stackLimbs;
   if (nlimbs > kStackWideLimbs) {
      limbs = static_cast<uint64_t*>(ASN1MALLOC(pctxt, nlimbs * sizeof(uint64_t)));
      if (limbs == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   if (!rtIsHexText(reinterpret_cast<const unsigned char*>(digits), ndigits)) {
      if (limbs != stackLimbs) ASN1MEMFREEPTR(pctxt, limbs);
      return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   }
   readHexLimbs(digits, ndigits, limbs);
   /* An even count of digits whose first has its top bit set is negative;
      an odd count starts with a half octet and is positive. */
   const bool negative =
      ndigits % 2 == 0 && kRtDigitValues.value[static_cast<unsigned char>(*digits)] >= 8;
   if (negative) negateLimbs(limbs, nlimbs, ndigits * 4);
   while (nlimbs > 0 && limbs[nlimbs - 1] == 0) --nlimbs;

   /* The same bound of digits as rtBigIntDigitsNum of the octet form. */
   const size_t octets = magnitudeOctets(limbs, nlimbs);
   const size_t bound = static_cast<size_t>((static_cast<long long>(octets) + 1) * 8192 /
                                            kBitsPerDigit[10 / 2]);
   size_t capacity = static_cast<size_t>(areaSize);
   char* str = area;
   if (bound + 2 > capacity) {
      capacity = bound + 2; /* digits, sign, terminator */
      str = static_cast<char*>(ASN1MALLOC(pctxt, capacity));
   }
   size_t len = 1;
   if (str != nullptr && nlimbs == 0)
      str[capacity - 2] = '0';
   else if (str != nullptr)
      putSigned(limbs, nlimbs, negative, 10, str, capacity, &len);
   if (limbs != stackLimbs) ASN1MEMFREEPTR(pctxt, limbs);
   if (str == nullptr) return RTS_NO_MEMORY;
   *text = str + capacity - 1 - len;
   *block = str != area ? str : nullptr;
   return static_cast<int>(len);
}

int rtBigIntDecimalToHex(ASN1CTXT* pctxt, const char* text, size_t length, char** hex) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (text == nullptr || hex == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   size_t pos = 0;
   while (pos < length && text[pos] == ' ') ++pos;
   if (pos == length) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   bool negative = false;
   if (text[pos] == '-') {
      negative = true;
      if (++pos == length) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   }
   while (pos < length && text[pos] == '0') ++pos;
   const char* digits = text + pos;
   const size_t ndigits = length - pos;
   if (!allDecimalDigits(digits, ndigits)) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);

   /* The work area of the limbs is sized and placed as the octets of the
      magnitude would be: on the stack up to 512 octets. */
   const unsigned long long bits =
      static_cast<unsigned long long>(ndigits) * kBitsPerDigit[10 / 2] / 1024;
   if (bits / 8 + 1 > kMaxOctets) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   const size_t capacity = static_cast<size_t>((bits + 8) / 8);
   const size_t capacityLimbs = (capacity + 7) / 8;
   uint64_t stackLimbs[kStackWideLimbs];
   uint64_t* limbs = stackLimbs;
   if (capacityLimbs > kStackWideLimbs) {
      limbs = static_cast<uint64_t*>(ASN1MALLOC(pctxt, capacityLimbs * sizeof(uint64_t)));
      if (limbs == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   const size_t nlimbs = readDecimalLimbs(digits, ndigits, limbs);
   if (nlimbs == 0) negative = false;

   /* The text block has the size rtBigIntDigitsNum gives the octet form:
      two digits per magnitude octet and one octet more, the prefix and the
      terminator. */
   const size_t octets = magnitudeOctets(limbs, nlimbs);
   char* out = static_cast<char*>(ASN1MALLOC(pctxt, 2 * (octets + 1) + 3));
   if (out == nullptr) {
      if (limbs != stackLimbs) ASN1MEMFREEPTR(pctxt, limbs);
      return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   /* -m is the complement of m - 1 at any width. */
   if (negative) decrementLimbs(limbs, nlimbs);
   const size_t width = twosComplementOctets(limbs, nlimbs);
   const uint64_t flip = negative ? ~uint64_t{0} : 0;
   out[0] = '0';
   out[1] = 'x';
   /* The octets from the least significant, a limb at a time, put from the
      end of the text. */
   char* p = out + 2 + 2 * width;
   *p = '\0';
   for (size_t k = 0, done = 0; done < width; ++k) {
      uint64_t limb = (k < nlimbs ? limbs[k] : 0) ^ flip;
      for (unsigned b = 0; b < 8 && done < width; ++b, ++done, limb >>= 8) {
         p -= 2;
         std::memcpy(p, kRtHexPairs.pair[limb & 0xFF], 2);
      }
   }
   if (limbs != stackLimbs) ASN1MEMFREEPTR(pctxt, limbs);
   *hex = out;
   return RTS_OK;
}

int rtBigIntToString(ASN1CTXT* pctxt, const ASN1BigInt* pInt, int radix, char* str, int strSize) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (pInt == nullptr || str == nullptr || !isValidRadix(radix))
      return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   if (strSize <= 0) return LOG_ASN1ERR(pctxt, RTS_VALUE_TOO_LONG);
   int stat = isPatternRadix(radix) ? printPattern(pctxt, pInt, radix, str, strSize)
                                    : printSigned(pctxt, pInt, radix, str, strSize);
   return stat == RTS_OK ? RTS_OK : LOG_ASN1ERR(pctxt, stat);
}

int rtBigIntStrCompare(ASN1CTXT* pctxt, const char* arg1, const char* arg2) {
   ASN1OCTET area1[256], area2[256];
   ASN1BigInt num1, num2;
   rtBigIntInit(&num1);
   rtBigIntInit(&num2);
   num1.mag = area1;
   num1.allocated = sizeof(area1);
   num2.mag = area2;
   num2.allocated = sizeof(area2);

   /* rtBigIntSetStr sets sign and numocts only when it succeeds, so text
      that does not convert leaves its fresh number at zero. Its status is
      not kept in the context. */
   const ASN1INT savedStatus = pctxt->errInfo.status;
   rtBigIntSetStr(pctxt, &num1, arg1, 0);
   rtBigIntSetStr(pctxt, &num2, arg2, 0);
   pctxt->errInfo.status = savedStatus;

   int result;
   if (num1.sign != num2.sign)
      result = num1.sign < num2.sign ? -1 : 1;
   else
      result = num1.sign * compareMagnitudes(&num1, &num2);
   rtBigIntFree(pctxt, &num1);
   rtBigIntFree(pctxt, &num2);
   return result;
}

void rtBigIntFree(ASN1CTXT* pctxt, ASN1BigInt* pInt) {
   if (pctxt == nullptr || pInt == nullptr) return;
   if (pInt->dynamic && pInt->allocated != 0 && pInt->mag != nullptr) {
      ASN1MEMFREEPTR(pctxt, pInt->mag);
      rtBigIntInit(pInt);
   }
}
