/*
 * BER/DER encoding primitives. Every routine writes back to front into the
 * context's message buffer: contents first, then the length, then the
 * identifier, each in front of what is already there, so every length is
 * known when it is written. Value encoders return the number of octets they
 * wrote or a negative status; with TAG_EXPLICIT they also write the type's
 * universal identifier and length.
 *
 * Buffer layout: the encoding occupies data[byteIndex] up to, not including,
 * data[size - 1]; the last octet stays spare. The encoded length is
 * size - 1 - byteIndex. Positions that must survive growth are measured from
 * the end of the buffer (ASN1BufLocDescr.offset).
 */
#ifndef BLOBXML_BERENCODE_H
#define BLOBXML_BERENCODE_H

#include "asn1type.h"

/* ---- buffer set-up and growth ------------------------------------------- */

/* Sets up the encode buffer: the caller's buffer of bufsiz octets, or with a
   null buf_p a dynamic buffer of bufsiz octets (16384 for 0) in the message
   heap. The position is set to size - 1. A caller's buffer needs at least
   one octet and bufsiz must not be negative (RTS_BAD_ARGUMENT). */
int xe_setp(ASN1CTXT* pctxt, ASN1OCTET* buf_p, int bufsiz);

/* First octet of the encoding written so far. */
ASN1OCTET* xe_getp(ASN1CTXT* pctxt);

/* Grows a dynamic buffer by max(length, 16384) octets, keeping the encoding
   and the spare octet at the new end. RTS_BUFFER_FULL for a caller's
   buffer, RTS_NO_MEMORY (buffer unchanged) when the block cannot be had. */
int xe_expandBuffer(ASN1CTXT* pctxt, ASN1UINT length);

/* Makes room for length octets in front of the encoding (growing the buffer
   when needed) and moves the position onto them; the caller fills them. */
int xe_reserve(ASN1CTXT* pctxt, ASN1UINT length);

/* Writes length octets from object_p in front of the encoding; returns
   length. A null source is RTS_BAD_VALUE. */
int xe_memcpy(ASN1CTXT* pctxt, const ASN1OCTET* object_p, ASN1UINT length);

/* ---- identifier and length ---------------------------------------------- */

/* X.690 8.1.2.4.2 / 8.19.2: the number in base 128, most significant group
   first, bit 8 set on every octet but the last, no leading 0x80 groups. */
int xe_identifier(ASN1CTXT* pctxt, ASN1UINT ident);

/* X.690 8.1.2: one identifier octet (class, form, number) for tag numbers
   below 31, else the octet with number 0x1F followed by the long form. */
int xe_tag(ASN1CTXT* pctxt, ASN1TAG tag);

/* X.690 8.1.3 / 10.1: the short form for 0..127, else the long form in the
   fewest octets; INDEFINITE_LENGTH is the octet 0x80. Any other negative
   value writes nothing and returns 0. */
int xe_len(ASN1CTXT* pctxt, int length);

/* Writes the length and then the tag in front of contents of that length
   that the caller has already written. Returns length plus the header
   octets, only the header octets for INDEFINITE_LENGTH, or a negative
   length (a status from the contents) unchanged. */
int xe_tag_len(ASN1CTXT* pctxt, ASN1TAG tag, int length);

/* ---- value encoders ----------------------------------------------------- */

/* X.690 11.1: TRUE is 0xFF, FALSE 0x00. Universal 1. */
int xe_boolean(ASN1CTXT* pctxt, const ASN1BOOL* object_p, ASN1TagType tagging);

/* X.690 8.3.2: minimal two's complement. Universal 2. */
int xe_integer(ASN1CTXT* pctxt, const ASN1INT* object_p, ASN1TagType tagging);

/* X.690 8.3.2 for a non-negative value: 0x00 in front when the top bit of
   the first value octet is set. Universal 2. */
int xe_unsigned(ASN1CTXT* pctxt, const ASN1UINT* object_p, ASN1TagType tagging);
int xe_uint16(ASN1CTXT* pctxt, const ASN1USINT* object_p, ASN1TagType tagging);

/* X.690 8.4: as INTEGER. Universal 10. */
int xe_enum(ASN1CTXT* pctxt, const ASN1ENUM* object_p, ASN1TagType tagging);

/* INTEGER from big-integer text: decimal with optional minus sign, or 0x /
   0b followed by a two's-complement bit pattern. Null or empty text is
   RTS_BAD_VALUE. Universal 2. */
int xe_bigint(ASN1CTXT* pctxt, const char* object_p, ASN1TagType tagging);

/* X.690 8.8: no contents. Universal 5. */
int xe_null(ASN1CTXT* pctxt, ASN1TagType tagging);

/* X.690 8.19: the first two arcs combined as arc1 * 40 + arc2, then one
   subidentifier per arc. Fewer than 2 arcs, more than MAX_OID_ARCS, a first
   arc above 2, or a second arc above 39 under arc 0 or 1: RTS_BAD_OID.
   Universal 6. */
int xe_objid(ASN1CTXT* pctxt, const ASN1OBJID* object_p, ASN1TagType tagging);

/* X.690 8.7 primitive form; a null data pointer writes no octets.
   Universal 4. */
int xe_octstr(ASN1CTXT* pctxt, const ASN1OCTET* object_p, ASN1UINT numocts,
              ASN1TagType tagging);

/* X.690 8.6 primitive form: the unused-bit count, then the (numbits + 7) / 8
   octets as stored (bits past numbits are not cleared). Zero bits is the
   single octet 00. Universal 3. */
int xe_bitstr(ASN1CTXT* pctxt, const ASN1OCTET* object_p, ASN1UINT numbits,
              ASN1TagType tagging);

/* 8-bit character string: the text's octets without the terminator, under
   the given tag when explicit. */
int xe_charstr(ASN1CTXT* pctxt, const char* object_p, ASN1TagType tagging, ASN1TAG tag);

/* BMPString units as two octets, UniversalString characters as four, most
   significant first, under the given tag when explicit. */
int xe_16BitCharStr(ASN1CTXT* pctxt, const ASN116BitCharString* object_p,
                    ASN1TagType tagging, ASN1TAG tag);
int xe_32BitCharStr(ASN1CTXT* pctxt, const ASN132BitCharString* object_p,
                    ASN1TagType tagging, ASN1TAG tag);

/* ---- open types --------------------------------------------------------- */

/* Writes the one complete element (identifier, length, contents) that the
   octets begin with, in its DER form (xe_derNormalise: BER kept from a
   message comes out as DER); returns the length written. numocts 0 writes
   nothing. Null data is RTS_BAD_VALUE; octets that do not begin with a
   complete element give the decoder's status, BER that has no DER form
   xe_derNormalise's. Data that already lies at the position (encoded in
   place) is not copied. */
int xe_OpenType(ASN1CTXT* pctxt, const ASN1OCTET* object_p, ASN1UINT numocts);

/* Writes every open type of an extension list (ASN1TOpenType node data) so
   that they come out in list order; returns the sum. */
int xe_OpenTypeExt(ASN1CTXT* pctxt, const Asn1RTDList* pElemList);

/* ---- DER form of schema-less octets ------------------------------------- */

/* The DER form of numocts octets holding one or more complete BER elements
   whose types are unknown (open-type contents), as far as the identifier
   octets tell the type (X.690 clauses 10 and 11):
   - definite lengths in the fewest octets, end-of-contents octets dropped;
   - tag numbers in the fewest identifier octets;
   - universal string types (BIT STRING, OCTET STRING, the character
     strings, UTCTime, GeneralizedTime, ObjectDescriptor) in one primitive
     encoding of their segments joined; for BIT STRING only the last
     segment may leave bits unused, and the unused bits are cleared;
   - the elements of a universal SET in the SET OF order of X.690 11.6, by
     their encodings (without the type a SET cannot be told from a SET OF);
   - universal BOOLEAN TRUE as FF, INTEGER and ENUMERATED in the fewest
     octets;
   - everything else (other tags' contents, DEFAULT values, named bits, time
     formats, implicitly tagged values) as received.
   On success *der_p2 and *pdernumocts give the result: the input itself
   when it is DER already (nothing allocated), else a new block of the
   context's typeMemHeap; on failure they are left as they were. No octets
   give no octets. Malformed input gives the BER decoder's status:
   RTS_END_OF_DATA or RTS_BAD_LENGTH (truncated, lengths past the end,
   indefinite length on a primitive, bad BOOLEAN/NULL/INTEGER length),
   RTS_BAD_VALUE (end-of-contents where an element must be, unused-bit count
   above 7 or left by a segment other than the last, null data), RTS_BAD_TAG
   (bad identifier, segment of another type, a universal type in the form it
   never has), RTS_CONSTRAINT (more than 256 constructed levels), and
   RTS_NO_MEMORY. */
int xe_derNormalise(ASN1CTXT* pctxt, const ASN1OCTET* object_p, ASN1UINT numocts,
                    const ASN1OCTET** der_p2, ASN1UINT* pdernumocts);

/* ---- DER SET OF ----------------------------------------------------------- */

/* Records the element just written: numocts = length, offset measured from
   the last octet of the buffer to the element's first octet. */
void xe_getBufLocDescr(ASN1CTXT* pctxt, ASN1UINT length, ASN1BufLocDescr* pDescr);

/* Appends the descriptor of the element just written (xe_getBufLocDescr) to
   the list of a SET OF being written; RTS_NO_MEMORY, recorded, when no
   room is left for it. */
int xe_addBufLocDescr(ASN1CTXT* pctxt, Asn1RTSList* pList, ASN1UINT length);

/* Frees the descriptors and nodes of a list that xe_derCanonicalSort will
   not see (the SET OF failed before it was sorted). */
void xe_freeBufLocDescrs(ASN1CTXT* pctxt, Asn1RTSList* pList);

/* X.690 11.6: reorders the SET OF elements that lie contiguously from the
   position upwards, described by the ASN1BufLocDescr pointers of the list,
   into ascending order of their encodings (octet by octet, a shorter
   encoding before a longer one that begins with it). Frees the descriptors
   and the list nodes; returns the total length or RTS_NO_MEMORY. */
int xe_derCanonicalSort(ASN1CTXT* pctxt, Asn1RTSList* pList);

#endif
