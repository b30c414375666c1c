/*
 * Hexadecimal text: the two lowercase digits of every octet, so that an
 * octet is written with one load, and the check of a whole text of digits.
 */
#ifndef BLOBXML_RTHEXTEXT_H
#define BLOBXML_RTHEXTEXT_H

#include <cstddef>

struct RtHexPairs {
   char pair[256][2];
};

constexpr RtHexPairs rtMakeHexPairs() {
   RtHexPairs table{};
   const char digits[] = "0123456789abcdef";
   for (int i = 0; i < 256; i++) {
      table.pair[i][0] = digits[i >> 4];
      table.pair[i][1] = digits[i & 0x0F];
   }
   return table;
}

inline constexpr RtHexPairs kRtHexPairs = rtMakeHexPairs();

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

#endif
