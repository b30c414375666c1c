/*
 * Big integers: sign and magnitude numbers parsed from decimal, hexadecimal,
 * binary or octal text, turned into minimal two's-complement octets for the
 * BER encoder, printed back as text and compared.
 */
#ifndef BLOBXML_RTBIGINT_H
#define BLOBXML_RTBIGINT_H

#include "asn1type.h"

/* A caller may lend a work area by setting mag and allocated with dynamic 0;
   the number grows beyond it into the context's typeMemHeap when needed. */
struct ASN1BigInt {
   ASN1INT numocts;   /* octets in use in the magnitude */
   ASN1OCTET* mag;    /* big-endian magnitude, no leading zero octets */
   ASN1INT sign;      /* 1, -1, or 0 for the value zero (numocts is then 0) */
   ASN1INT allocated; /* capacity of mag */
   ASN1UINT8 dynamic; /* 1: mag belongs to typeMemHeap and may be freed here */
};

/* Zeroes every field. */
void rtBigIntInit(ASN1BigInt* pInt);

/* Parses text in radix 2, 8, 10 or 16; radix 0 lets a 0x, 0b or 0o prefix
   decide and reads decimal otherwise. Hexadecimal and binary text is a
   two's-complement bit pattern (0xff is -1, 0x0ff is 255). */
int rtBigIntSetStr(ASN1CTXT* pctxt, ASN1BigInt* pInt, const char* value, int radix);

/* Number of octets of the minimal two's-complement form (1 for zero). */
int rtBigIntGetDataLen(const ASN1BigInt* pInt);

/* Writes the minimal two's-complement octets; returns their count or
   RTS_VALUE_TOO_LONG when they exceed bufSize. */
int rtBigIntGetData(ASN1CTXT* pctxt, const ASN1BigInt* pInt, ASN1OCTET* buffer, int bufSize);

/* Upper bound of the digits needed to print the number in the radix. */
int rtBigIntDigitsNum(const ASN1BigInt* pInt, int radix);

/* Prints the number as zero-terminated text: radix 10 with a minus sign,
   radix 16 or 2 as two's-complement digits without prefix (-129 is ff7f). */
int rtBigIntToString(ASN1CTXT* pctxt, const ASN1BigInt* pInt, int radix, char* str, int strSize);

/* Decimal text of hexadecimal digits read as a two's-complement pattern:
   what rtBigIntSetStr in radix 16 and rtBigIntToString in radix 10 make of
   them, with the same statuses, without the octet form in between. The text
   is put into area when a number of its octet count always fits there with
   sign and terminator (rtBigIntDigitsNum + 2 octets); otherwise into a block
   of typeMemHeap (RTS_NO_MEMORY, not recorded, when there is none), which
   *block then points to for the caller to free (else it is null). Returns
   the length of the text at *text, which is not terminated, or a status. */
int rtBigIntHexToDecimal(ASN1CTXT* pctxt, const char* digits, char* area, int areaSize,
                         char** text, char** block);

/* Decimal text of length octets with an optional minus sign, as
   rtBigIntSetStr reads it in radix 10, turned into "0x" and the lowercase
   hexadecimal digits that rtBigIntToString gives in radix 16, in a block of
   typeMemHeap of the size rtBigIntDigitsNum + 3 would give; the same
   statuses, every one recorded. */
int rtBigIntDecimalToHex(ASN1CTXT* pctxt, const char* text, size_t length, char** hex);

/* Compares two numbers given as text (prefix decides the radix): -1, 0 or 1.
   Text that does not convert counts as zero and is not recorded as an error.
   The context must not be null: it lends the heap for large operands. */
int rtBigIntStrCompare(ASN1CTXT* pctxt, const char* arg1, const char* arg2);

/* Frees a magnitude this module allocated and zeroes the number; a lent
   work area is left alone. */
void rtBigIntFree(ASN1CTXT* pctxt, ASN1BigInt* pInt);

#endif
