/*
 * BER decoding primitives. Every routine reads from the context's message
 * buffer at buffer.byteIndex, never past buffer.size, and returns 0 or a
 * negative status that it has also recorded in the context's error
 * information (the first recorded status survives).
 *
 * The decoder is BER-tolerant: indefinite lengths, constructed (segmented)
 * strings, non-minimal lengths and long tag numbers are all accepted.
 *
 * Value decoders take the context, the destination, an ASN1TagType and a
 * content length. With TAG_EXPLICIT they read and check the type's own
 * universal identifier and length themselves and ignore the length argument;
 * with TAG_IMPLICIT the caller has consumed identifier and length and passes
 * the content length.
 *
 * Flags: CTXTF_CONSTRUCTED follows the constructed bit of the identifier
 * read last (string decoders choose the segmented form from it, and an
 * indefinite length is accepted only while it is set). CTXTF_OUTER_INDEFINITE
 * is set by xd_setp for an outermost element of indefinite length; the true
 * end of the message is then unknown, and the checks that contents stay
 * within buffer.size are skipped where noted below. CTXTF_LAX_LENGTH lets a
 * length run past the end of the buffer.
 */
#ifndef BLOBXML_BERDECODE_H
#define BLOBXML_BERDECODE_H

#include "asn1type.h"

/* Mode bits of xd_tag_len and xd_match. */
#define XD_MODE_SEEK 0x01u    /* xd_match: walk depth-first past mismatches */
#define XD_MODE_ADVANCE 0x02u /* leave the position after the header read */
#define XD_MODE_SKIP 0x08u    /* xd_match: first step over (or into) the element
                                 at the position */

/* Tag argument of xd_OpenTypeExt that collects every remaining element. */
#define XD_ALL_ELEMENTS 0xFFFFFFFFu

/* The contents of an enclosing constructed element, so that a decoder can
   tell where they end. */
struct ASN1BlockDescr {
   const ASN1OCTET* start; /* first contents octet */
   int length;             /* contents length, or INDEFINITE_LENGTH */
};

/* ---- structure and navigation ------------------------------------------- */

/* Points the context at one message of msglen octets (below 1: unknown, no
   limit) and reads its outermost header (X.690 8.1.1). A definite outer
   length narrows buffer.size to the element; an indefinite one sets
   CTXTF_OUTER_INDEFINITE and reports INDEFINITE_LENGTH as total. The position
   is left at 0. tag_p and len_p (total octets of the element) may be null.
   An outer length beyond msglen is RTS_BAD_LENGTH. */
int xd_setp(ASN1CTXT* pctxt, const ASN1OCTET* msg_p, int msglen, ASN1TAG* tag_p = nullptr,
            int* len_p = nullptr);

/* X.690 8.1.2: one identifier, with tag numbers of 31 and above in base 128
   over the following octets. Numbers above 0x1FFFFFFF, ten number octets or
   number octets past the end are RTS_BAD_TAG. Sets CTXTF_CONSTRUCTED. */
int xd_tag(ASN1CTXT* pctxt, ASN1TAG* tag_p);

/* X.690 8.1.3: one length, short, long (at most 4 octets, else
   RTS_BAD_LENGTH) or indefinite (0x80, INDEFINITE_LENGTH). A definite length
   beyond the octets left is RTS_BAD_LENGTH unless CTXTF_LAX_LENGTH is set;
   one above INT_MAX always is. Length octets past the end are
   RTS_END_OF_DATA (RTS_BAD_LENGTH under CTXTF_OUTER_INDEFINITE). */
int xd_len(ASN1CTXT* pctxt, int* len_p);

/* X.690 8.1.1: identifier and length. Saves position and flags in
   savedState first; without XD_MODE_ADVANCE they are restored before
   returning (a peek). An indefinite length on a primitive element
   (X.690 8.1.3.2) is RTS_BAD_LENGTH; no room for identifier or length is
   RTS_END_OF_DATA. */
int xd_tag_len(ASN1CTXT* pctxt, ASN1TAG* tag_p, int* len_p, ASN1OCTET mode);

/* X.690 8.1.2.3: a single-octet identifier (no comparison), then the length.
   Used after the caller has peeked at the identifier octet. */
int xd_Tag1AndLen(ASN1CTXT* pctxt, int* len_p);

/* X.690 8.1.2.3: the identifier octet at the position must equal tag in
   either form (bit 0x20 ignored; numbers below 31 only), else RTS_NOT_FOUND
   and nothing is consumed. Then the length; with len_p given, an indefinite
   length needs the constructed form (else RTS_BAD_LENGTH). */
int xd_match1(ASN1CTXT* pctxt, ASN1OCTET tag, int* len_p);

/* X.690 8.1.2.3: the identifier octet at the position must be exactly id
   (a universal tag in one form), else RTS_NOT_FOUND and nothing is consumed.
   Consumes it, clears CTXTF_CONSTRUCTED and checks that a length octet
   follows (RTS_END_OF_DATA). The value decoders read their own universal
   identifier with it. */
int xd_matchUniversal(ASN1CTXT* pctxt, ASN1OCTET id);

/* Looks for an element with the given tag, constructed bit ignored. With
   XD_MODE_SKIP the element at the position is stepped over (or entered when
   constructed) first. Without XD_MODE_SEEK only the next header is compared;
   with it the search walks depth-first through the rest of the buffer. On a
   match the position is after the header with XD_MODE_ADVANCE, else at its
   start. Not found (or out of data): RTS_NOT_FOUND, position restored. */
int xd_match(ASN1CTXT* pctxt, ASN1TAG tag, int* len_p, ASN1OCTET mode);

/* Skips the element at the position, definite (X.690 8.1.3.4) or indefinite
   (X.690 8.1.3.6, through xd_MovePastEOC). */
int xd_NextElement(ASN1CTXT* pctxt);

/* X.690 8.1.5: moves just past the end-of-contents octets that close the
   current indefinite-length level, skipping nested levels. */
int xd_MovePastEOC(ASN1CTXT* pctxt);

/* Counts the elements of constructed contents of the given length (or
   INDEFINITE_LENGTH, up to the end-of-contents) from the position, which is
   left unchanged. */
int xd_count(ASN1CTXT* pctxt, int length, int* count_p);

/* X.690 8.1.3.6: total octets of the indefinite-length element at msg_p,
   both end-of-contents octets of every level included, reading at most
   maxlen octets. 0 when maxlen is below 5; RTS_BAD_LENGTH when the outer
   length is definite; otherwise the status of the failing read. */
int xd_indeflen_ex(const ASN1OCTET* msg_p, int maxlen);

/* X.690 8.7.3 / 8.6.3: measures an indefinite-length segmented string whose
   contents start at the position. Every segment must be primitive with the
   universal tag segTag (3 for BIT STRING, 4 for OCTET STRING and character
   strings), else RTS_BAD_TAG. size_p gets the sum of the segment lengths,
   len_p the octets up to the end-of-contents. Position and flags are kept. */
int xd_consStrIndefLenAndSize(ASN1CTXT* pctxt, ASN1TAG segTag, int* size_p, int* len_p);

/* Copies length octets from the position and advances; RTS_END_OF_DATA when
   they run past buffer.size (not checked under CTXTF_OUTER_INDEFINITE). */
int xd_memcpy(ASN1CTXT* pctxt, ASN1OCTET* object_p, int length);

/* ---- value decoders ----------------------------------------------------- */

/* X.690 8.2: one content octet, stored as received. Universal 1; the length
   octet must be 01 (RTS_BAD_LENGTH). */
int xd_boolean(ASN1CTXT* pctxt, ASN1BOOL* object_p, ASN1TagType tagging, int length);

/* X.690 8.3: big-endian two's complement of 1 to 4 octets (more:
   RTS_TOO_BIG, none: RTS_BAD_LENGTH). Universal 2. */
int xd_integer(ASN1CTXT* pctxt, ASN1INT* object_p, ASN1TagType tagging, int length);

/* X.690 8.4: as INTEGER under universal 10. */
int xd_enum(ASN1CTXT* pctxt, ASN1ENUM* object_p, ASN1TagType tagging, int length);

/* X.690 8.3 read as unsigned: up to 4 octets, or 5 with a leading 00
   (else RTS_TOO_BIG). Zero octets give 0. Universal 2. */
int xd_unsigned(ASN1CTXT* pctxt, ASN1UINT* object_p, ASN1TagType tagging, int length);

/* X.690 8.3 read as unsigned 16 bits: up to 2 octets, or 3 with a leading
   00 (else RTS_TOO_BIG); zero octets are RTS_BAD_LENGTH. Explicitly the
   length must be a single octet. Universal 2. */
int xd_uint16(ASN1CTXT* pctxt, ASN1USINT* object_p, ASN1TagType tagging, int length);

/* X.690 8.3 of any size as text in typeMemHeap: "0x" and two lowercase hex
   digits per octet after leading 00 octets, with one extra 0 digit when 00
   octets were dropped before an octet with its top bit set (00 80: "0x080",
   00: "0x0", FF: "0xff"). Zero octets are RTS_BAD_LENGTH. Universal 2. */
int xd_bigint(ASN1CTXT* pctxt, const char** object_p, ASN1TagType tagging, int length);

/* X.690 8.8: no contents; explicitly the length octet must be 00
   (RTS_BAD_LENGTH). Universal 5. */
int xd_null(ASN1CTXT* pctxt, ASN1TagType tagging);

/* X.690 8.19: subidentifiers in base 128; the first gives two arcs (below
   80: v / 40 and v % 40, else 2 and v - 80). RTS_BAD_OID for more than
   MAX_OID_ARCS arcs, an arc above 32 bits, a subidentifier that begins with
   0x80 or that the contents cut short. Universal 6. */
int xd_objid(ASN1CTXT* pctxt, ASN1OBJID* object_p, ASN1TagType tagging, int length);

/* X.690 8.7 into the caller's array; *pnumocts holds its capacity on entry
   (a longer string is RTS_VALUE_TOO_LONG) and the octets stored on return.
   Explicitly the identifier must be 04 (primitive); implicitly a set
   CTXTF_CONSTRUCTED reads definite-length segments (X.690 8.7.3.2). */
int xd_octstr_s(ASN1CTXT* pctxt, ASN1OCTET* object_p, ASN1UINT* pnumocts,
                ASN1TagType tagging, int length);

/* X.690 8.7, primitive or segmented (definite or indefinite length), into a
   block of typeMemHeap (null for an empty string). The end-of-contents of an
   indefinite-length string is consumed. Universal 4. */
int xd_octstr(ASN1CTXT* pctxt, const ASN1OCTET** object_p2, ASN1UINT* pnumocts,
              ASN1TagType tagging, int length);

/* X.690 8.6 into the caller's array; *pnumbits holds its capacity in bits on
   entry and the bits decoded on return. The initial octet is the unused-bit
   count (above 7: RTS_BAD_VALUE). Explicitly the identifier must be 03
   (primitive); implicitly a set CTXTF_CONSTRUCTED reads segments
   (X.690 8.6.4), stopping at an end-of-contents without consuming it. */
int xd_bitstr_s(ASN1CTXT* pctxt, ASN1OCTET* object_p, ASN1UINT* pnumbits,
                ASN1TagType tagging, int length);

/* X.690 8.6, primitive or segmented, into a block of typeMemHeap (null for
   no bits). The end-of-contents of an indefinite-length string is consumed.
   Universal 3. */
int xd_bitstr(ASN1CTXT* pctxt, const ASN1OCTET** object_p2, ASN1UINT* pnumbits,
              ASN1TagType tagging, int length);

/* X.690 8.23: an 8-bit character string under the universal tag given (a
   number below 31), primitive or segmented as OCTET STRING, copied into
   typeMemHeap with a terminating zero (an empty string is an allocated "").
   Contents holding a 0x00 octet are RTS_BAD_VALUE. */
int xd_charstr(ASN1CTXT* pctxt, const char** object_p, ASN1TagType tagging, ASN1TAG tag,
               int length);

/* X.690 8.23 for BMPString: two octets per unit, most significant first; an
   odd last octet is dropped. No units give a null data. */
int xd_16BitCharStr(ASN1CTXT* pctxt, ASN116BitCharString* object_p, ASN1TagType tagging,
                    ASN1TAG tag, int length);

/* X.690 8.23 for UniversalString: four octets per character, most
   significant first; a partial last group is dropped. */
int xd_32BitCharStr(ASN1CTXT* pctxt, ASN132BitCharString* object_p, ASN1TagType tagging,
                    ASN1TAG tag, int length);

/* ---- open types --------------------------------------------------------- */

/* One complete element (identifier, length, contents; an indefinite one up
   to its end-of-contents, or to the end of the buffer when that is missing),
   copied into typeMemHeap, or pointing into the message under
   CTXTF_OPENTYPE_NOCOPY. An element running past the buffer, or an
   end-of-contents, is RTS_BAD_VALUE; no element at all is RTS_NOT_FOUND. */
int xd_OpenType(ASN1CTXT* pctxt, const ASN1OCTET** object_p2, ASN1UINT* pnumocts);

/* xd_OpenType into a record, whose flags then tell whether the octets are
   its own or borrowed from the message (ASN1OPENTYPE_BORROWED). */
int xd_OpenTypeRecord(ASN1CTXT* pctxt, ASN1TOpenType* openType);

/* Decodes the element at the position as an open type into a new node at the
   tail of the extension list (node and ASN1TOpenType in one block); with a
   null list the element is skipped. */
int xd_OpenTypeAppend(ASN1CTXT* pctxt, Asn1RTDList* pElemList);

/* Collects unknown extension elements of the constructed contents described
   by ccb_p into the list (null: skip them). With a tag, stops at the first
   element carrying it (0, position at that element) or fails with
   RTS_END_OF_DATA when the contents end first; with XD_ALL_ELEMENTS it takes
   every element up to the end of the contents. */
int xd_OpenTypeExt(ASN1CTXT* pctxt, const ASN1BlockDescr* ccb_p, ASN1TAG tag,
                   Asn1RTDList* pElemList);

#endif
