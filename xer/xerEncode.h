/*
 * XER writer: plain functions that append the XML text of one ASN.1 value,
 * or one piece of markup, to the context's output (front to back, through
 * rtWriteBytes). Each returns 0 or a negative RTS_* status, recorded in the
 * context's errInfo unless noted otherwise. Where a function has a default
 * element name, a null name selects it.
 */
#ifndef BLOBXML_XERENCODE_H
#define BLOBXML_XERENCODE_H

#include <cstddef>

#include "asn1type.h"

/* Values of ASN1CTXT::xerState: what the writer emitted last. An end tag is
   put on a new indented line only after XERSTATE_END_TAG. */
#define XERSTATE_DOCUMENT 0  /* declaration written, nothing after it */
#define XERSTATE_START_TAG 1 /* start tag or empty-element tag */
#define XERSTATE_CONTENT 2   /* character content */
#define XERSTATE_END_TAG 3   /* end tag or a stand-alone empty element */

/* Output forms of xerEncBitStr. */
#define XER_BITSTR_HEX 0
#define XER_BITSTR_BINARY 1

/* Spaces written per nesting level. */
#define XER_INDENT_WIDTH 3

/* ---- document ----------------------------------------------------------- */

/* Sets up the output buffer (null: a dynamic one, 16384 bytes when size is
   0), NUL-terminates it, resets xerState and sets CTXTF_XER_NOINDENT when
   noWhitespace is non-zero. */
int xerSetEncBufPtr(ASN1CTXT* pctxt, ASN1OCTET* bufaddr, ASN1UINT bufsiz, ASN1BOOL noWhitespace);

/* Writes the XML declaration; xerIndentLevel and xerState become 0. */
int xerEncStartDocument(ASN1CTXT* pctxt);

/* Flushes an attached stream, or checks that the top-level element is
   closed (RTS_XML_STRUCTURE otherwise) and NUL-terminates the buffer without
   counting the NUL in byteIndex. */
int xerEncEndDocument(ASN1CTXT* pctxt);

/* ---- layout and markup -------------------------------------------------- */

/* A line feed and XER_INDENT_WIDTH blanks per level; nothing under
   CTXTF_XER_NOINDENT. */
int xerEncIndent(ASN1CTXT* pctxt);
int xerEncNewLine(ASN1CTXT* pctxt);

/* A null or empty elemName writes nothing and succeeds. */
int xerEncStartElement(ASN1CTXT* pctxt, const char* elemName, const char* attributes = nullptr);
int xerEncEndElement(ASN1CTXT* pctxt, const char* elemName);

/* "<name/>" without indentation of its own. */
int xerEncEmptyElement(ASN1CTXT* pctxt, const char* elemName, const char* attributes = nullptr);

/* <elemName><valueId/></elemName> on one line. */
int xerEncNamedValue(ASN1CTXT* pctxt, const char* valueId, const char* elemName,
                     const char* attributes = nullptr);

/* ---- primitive values --------------------------------------------------- */

/* Each writes one element, named elemName or, when null, after the type
   ("BOOLEAN", "NULL", "INTEGER"): <elemName><true/></elemName> or
   <false/> inside, <elemName/> for NULL, and decimal text for the numbers. */
int xerEncBool(ASN1CTXT* pctxt, ASN1BOOL value, const char* elemName = nullptr);
int xerEncNull(ASN1CTXT* pctxt, const char* elemName = nullptr);
int xerEncInt(ASN1CTXT* pctxt, ASN1INT value, const char* elemName = nullptr);
int xerEncUInt(ASN1CTXT* pctxt, ASN1UINT value, const char* elemName = nullptr);

/* value: decimal text with optional "-", or "0x"/"0b"/"0o" prefixed text;
   written as plain decimal. */
int xerEncBigInt(ASN1CTXT* pctxt, const char* value, const char* elemName = nullptr);

/* Dotted decimal arcs; an invalid value is RTS_BAD_OID, not recorded. */
int xerEncObjId(ASN1CTXT* pctxt, const ASN1OBJID* pvalue, const char* elemName = nullptr);

/* Upper-case hexadecimal; an empty value is "<name/>" on its own line. */
int xerEncOctStr(ASN1CTXT* pctxt, ASN1UINT numocts, const ASN1OCTET* data,
                 const char* elemName = nullptr);

/* outputType XER_BITSTR_BINARY ("0"/"1" per bit) or XER_BITSTR_HEX (the
   octets in hexadecimal, start tag with form="hex"). */
int xerEncBitStr(ASN1CTXT* pctxt, ASN1UINT nbits, const ASN1OCTET* data,
                 const char* elemName = nullptr, int outputType = XER_BITSTR_BINARY);

/* Content only, no markup; xerState becomes XERSTATE_CONTENT. */
int xerEncHexStrValue(ASN1CTXT* pctxt, ASN1UINT numocts, const ASN1OCTET* data);
int xerEncBinStrValue(ASN1CTXT* pctxt, ASN1UINT nbits, const ASN1OCTET* data);

/* ---- character strings -------------------------------------------------- */

/* Any 8-bit string type; elemName is required (RTS_BAD_ARGUMENT when null). */
int xerEncAscCharStr(ASN1CTXT* pctxt, const char* pvalue, const char* elemName);

/* Each character in UTF-8; a UniversalString character with the top bit set
   is RTS_BAD_UTF8, not recorded. */
int xerEncBMPStr(ASN1CTXT* pctxt, const ASN116BitCharString* pvalue, const char* elemName = nullptr);
int xerEncUnivStr(ASN1CTXT* pctxt, const ASN132BitCharString* pvalue, const char* elemName = nullptr);

/* One code point: escaped below 128, else its multi-octet UTF-8 form. */
int xerEncChar(ASN1CTXT* pctxt, ASN132BITCHAR value);

/* The bytes with markup characters replaced by entity references and
   backspace, tab, line feed, form feed and carriage return by "\b", "\t",
   "\n", "\f", "\r". A length below 1 writes nothing. */
int xerPutCharStr(ASN1CTXT* pctxt, const char* value, int length);

/* ---- raw text ----------------------------------------------------------- */

/* The bytes unchanged; nothing for null data or a length below 1. */
int xerEncXmlCharData(ASN1CTXT* pctxt, const char* pvalue, int length);

/* Stored XER text of an open type, unchanged. Without a name the text stands
   on its own indented line. */
int xerEncOpenType(ASN1CTXT* pctxt, ASN1UINT numocts, const ASN1OCTET* data, const char* elemName);

/* The text unchanged; nothing for null or empty text. */
int xerCopyText(ASN1CTXT* pctxt, const char* text);
int xerCopyText2(ASN1CTXT* pctxt, const char* text1, const char* text2);

/* Length in bytes; 0 for null. */
size_t xerTextLength(const char* text);

#endif
