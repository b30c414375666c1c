/*
 * The decimal digit pairs "00" to "99", so that numbers are written two
 * digits per division.
 */
#ifndef BLOBXML_RTDIGITPAIRS_H
#define BLOBXML_RTDIGITPAIRS_H

struct RtDigitPairs {
   char pair[100][2];
};

constexpr RtDigitPairs rtMakeDigitPairs() {
   RtDigitPairs table{};
   for (int i = 0; i < 100; i++) {
      table.pair[i][0] = static_cast<char>('0' + i / 10);
      table.pair[i][1] = static_cast<char>('0' + i % 10);
   }
   return table;
}

inline constexpr RtDigitPairs kRtDigitPairs = rtMakeDigitPairs();

#endif
