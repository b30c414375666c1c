/*
 * The two lowercase hexadecimal digits of every octet, so that an octet is
 * written with one load.
 */
#ifndef BLOBXML_RTHEXPAIRS_H
#define BLOBXML_RTHEXPAIRS_H

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

#endif
