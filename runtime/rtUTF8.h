/*
 * UTF-8 measuring, encoding and decoding for the XER codec and for SIZE
 * constraints on UTF8String. Sequences of up to 6 octets (31-bit characters)
 * are accepted; overlong forms and surrogates are not rejected.
 */
#ifndef BLOBXML_RTUTF8_H
#define BLOBXML_RTUTF8_H

#include "asn1type.h"

/* Number of characters of zero-terminated text, or RTS_BAD_UTF8 for an
   octet that cannot start a sequence. Only lead octets are examined. */
int rtUTF8Len(const ASN1OCTET* text);

/* Octets before the terminator; 0 for null. */
ASN1UINT rtUTF8LenBytes(const ASN1OCTET* text);

/* Octets the encoding of wc needs (1 to 6). */
int rtUTF8CharSize(ASN132BITCHAR wc);

/* Writes the encoding of wc; returns the octets written, -1 (nothing
   written) when bufsiz is below the size, RTS_BAD_UTF8 for a character above
   0x7FFFFFFF. */
int rtUTF8EncodeChar(ASN132BITCHAR wc, ASN1OCTET* buf, int bufsiz);

/* Decodes one character from at most *len octets; on success *len becomes
   the octets consumed. RTS_BAD_UTF8 for a null pointer, a bad lead or
   continuation octet, or too few octets. pctxt is not used. */
int rtUTF8DecodeChar(ASN1CTXT* pctxt, const ASN1OCTET* buf, int* len);

/* Decodes zero-terminated text into wbuf; returns the characters stored, -1
   when wbuf fills before the text ends, RTS_BAD_UTF8 (recorded when pctxt is
   given) for a bad octet. A sequence cut off by the terminator yields the
   bits read so far. */
int rtUTF8ToWCS(ASN1CTXT* pctxt, const ASN1OCTET* text, ASN132BITCHAR* wbuf,
                ASN1UINT wbufsiz);

/* Encodes nchars characters into buf (no terminator); returns the octets
   written, -1 when the next character does not fit, RTS_BAD_UTF8 (recorded
   when pctxt is given) for a character with the top bit set. */
int rtWCSToUTF8(ASN1CTXT* pctxt, const ASN132BITCHAR* wcs, ASN1UINT nchars,
                ASN1OCTET* buf, ASN1UINT bufsiz);

/* Copy of zero-terminated text in typeMemHeap, or null. */
ASN1OCTET* rtUTF8Strdup(ASN1CTXT* pctxt, const ASN1OCTET* text);

#endif
