/*
 * XER value decoders: turn the character data of one XML element into one
 * primitive ASN.1 value.
 *
 * The text decoders read the context's buffer from byteIndex up to the first
 * NUL and never move byteIndex. Bit and octet strings are converted chunk by
 * chunk into an ASN1MemBuf as the XML parser delivers their text, then copied
 * out once the element closes. Results are allocated from the context's
 * typeMemHeap; a failure is recorded in the context's errInfo unless noted.
 */
#ifndef BLOBXML_XERDECODE_H
#define BLOBXML_XERDECODE_H

#include "asn1type.h"
#include "rtMemHeap.h"

/* "true" gives 1, "false" gives 0 (leading whitespace allowed). */
int xerDecBool(ASN1CTXT* pctxt, ASN1BOOL* pvalue);

/* Decimal numbers; empty or all-whitespace text is 0. */
int xerDecInt(ASN1CTXT* pctxt, ASN1INT* pvalue);
int xerDecUInt(ASN1CTXT* pctxt, ASN1UINT* pvalue);
int xerDecUInt16(ASN1CTXT* pctxt, ASN1USINT* pvalue);

/* Decimal text to big-integer text: radix 10 keeps the digits, radix 16, 2
   and 8 give "0x", "0b" or "0o" followed by the two's-complement digits. */
int xerDecBigInt(ASN1CTXT* pctxt, const char** ppvalue, int radix);

/* Dotted arcs such as 1.2.840.113549. */
int xerDecObjId(ASN1CTXT* pctxt, ASN1OBJID* pvalue);

/* Append one piece of hexadecimal (or "0"/"1") text to the accumulated
   octets; pMemBuf->bitOffset carries a partly filled last octet from one
   piece to the next. Failures are recorded in pMemBuf->pctxt. */
int xerDecOctStrMemBuf(ASN1MemBuf* pMemBuf, const char* chars, int length,
                       ASN1BOOL skipWhitespaces);
int xerDecBitStrMemBuf(ASN1MemBuf* pMemBuf, const char* chars, int length,
                       ASN1BOOL skipWhitespaces);

/* Copy the accumulated octets (the context's buffer, size octets) out.
   lastBitOffset is the memory buffer's bit offset when the element closed. */
int xerDecCopyOctStr(ASN1CTXT* pctxt, ASN1OCTET* pvalue, ASN1UINT* pnocts,
                     ASN1UINT bufsize, int lastBitOffset);
int xerDecCopyDynOctStr(ASN1CTXT* pctxt, ASN1TDynOctStr* pvalue, int lastBitOffset);
int xerDecCopyBitStr(ASN1CTXT* pctxt, ASN1OCTET* pvalue, ASN1UINT* pnbits,
                     ASN1UINT bufsize, int lastBitOffset);
int xerDecCopyDynBitStr(ASN1CTXT* pctxt, ASN1TDynBitStr* pvalue, int lastBitOffset);

/* Character strings: 8-bit (one byte per character, low 8 bits kept), UTF-8
   bytes unchanged, BMP (16-bit units) and universal (32-bit characters). */
int xerDecDynAscCharStr(ASN1CTXT* pctxt, const char** ppvalue);
int xerDecDynUTF8Str(ASN1CTXT* pctxt, const char** ppvalue);
int xerDecBMPStr(ASN1CTXT* pctxt, ASN116BitCharString* pvalue);
int xerDecUnivStr(ASN1CTXT* pctxt, ASN132BitCharString* pvalue);

/* 1 when both texts are non-null and equal byte for byte, else 0. */
int xerCmpText(const char* text1, const char* text2);

#endif
