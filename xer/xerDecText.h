/*
 * Shared helpers of the XER value decoders: the character class table and
 * access to the element text held in the context's buffer.
 */
#ifndef BLOBXML_XERDECTEXT_H
#define BLOBXML_XERDECTEXT_H

#include "asn1type.h"

/* Classes of the 256 byte values. Whitespace is tab, line feed, vertical
   tab, form feed, carriage return and blank. */
enum XerCharClass : unsigned char {
   XERCC_OTHER = 0,
   XERCC_SPACE = 1,
   XERCC_DIGIT = 2,
   XERCC_HEXLETTER = 3 /* A-F and a-f */
};

extern const unsigned char xerCharClassTable[256];

inline bool xerIsSpace(unsigned char c) { return xerCharClassTable[c] == XERCC_SPACE; }
inline bool xerIsDigit(unsigned char c) { return xerCharClassTable[c] == XERCC_DIGIT; }
inline bool xerIsHexDigit(unsigned char c) {
   return xerCharClassTable[c] == XERCC_DIGIT || xerCharClassTable[c] == XERCC_HEXLETTER;
}

/* Value 0 to 15 of a hexadecimal digit of either case. */
inline unsigned xerHexValue(unsigned char c) {
   if (c <= '9') return c - '0';
   return (c | 0x20u) - 'a' + 10;
}

inline const unsigned char* xerSkipSpace(const unsigned char* p) {
   while (xerIsSpace(*p)) ++p;
   return p;
}

/* The NUL-terminated text of the element being decoded: the context's buffer
   from byteIndex on; an unset buffer reads as empty text. */
inline const unsigned char* xerDecInputText(const ASN1CTXT* pctxt) {
   static const unsigned char empty[1] = {0};
   if (pctxt->buffer.data == nullptr) return empty;
   return pctxt->buffer.data + pctxt->buffer.byteIndex;
}

#endif
