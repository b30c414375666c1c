/*
 * Hexadecimal text: the two digits of every octet, so that an octet is
 * written with one load; the value of every character as a digit,
 * so that one is read with one load; the check of a whole text of digits;
 * and eight characters read as one word, for readers of long digit runs.
 */
#ifndef BLOBXML_RTHEXTEXT_H
#define BLOBXML_RTHEXTEXT_H

#include <cstddef>
#include <cstdint>
#include <cstring>

struct RtHexPairs {
   char pair[256][2];
};

/* The pairs in the given alphabet of sixteen digits. */
constexpr RtHexPairs rtMakeHexPairs(const char (&digits)[17]) {
   RtHexPairs table{};
   for (int i = 0; i < 256; i++) {
      table.pair[i][0] = digits[i >> 4];
      table.pair[i][1] = digits[i & 0x0F];
   }
   return table;
}

inline constexpr RtHexPairs kRtHexPairs = rtMakeHexPairs("0123456789abcdef");

/* Value of each character as a hexadecimal digit, either case; 0xFF for
   any other character. */
struct RtDigitValues {
   unsigned char value[256];
};

constexpr RtDigitValues rtMakeDigitValues() {
   RtDigitValues table{};
   for (int c = 0; c < 256; c++) {
      if (c >= '0' && c <= '9')
         table.value[c] = static_cast<unsigned char>(c - '0');
      else if (c >= 'a' && c <= 'f')
         table.value[c] = static_cast<unsigned char>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
         table.value[c] = static_cast<unsigned char>(c - 'A' + 10);
      else
         table.value[c] = 0xFF;
   }
   return table;
}

inline constexpr RtDigitValues kRtDigitValues = rtMakeDigitValues();

/* Whether all count characters are hexadecimal digits, either case. The
   loop has no way out, so that the compiler runs it over many characters
   at once: the check of a long text costs little beside reading it. */
inline bool rtIsHexText(const unsigned char* text, size_t count) {
   unsigned char stray = 0;
   for (size_t i = 0; i < count; ++i) {
      const unsigned char c = text[i];
      const bool digit = static_cast<unsigned char>(c - '0') < 10;
      const bool letter = static_cast<unsigned char>((c | 0x20) - 'a') < 6;
      stray |= static_cast<unsigned char>(!(digit || letter));
   }
   return stray == 0;
}

/* Eight characters, character i in bits 8i to 8i + 7 whatever the byte
   order of the machine. */
inline uint64_t rtLoadEight(const void* text) {
   uint64_t word;
   std::memcpy(&word, text, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
   word = __builtin_bswap64(word);
#endif
   return word;
}

#endif
