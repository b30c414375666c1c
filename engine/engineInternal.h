/*
 * Internals of the generic engine: access to the parts of a value structure
 * that a descriptor names, the tag rules shared by all constructs, the
 * per-construct BER routines that berEncode and berDecode dispatch to, and
 * the count of nested structured values.
 *
 * berEncode and berDecode are the only routines that descend into nested
 * values (copyValue, freeValue and xerEncode likewise for copy, free and
 * XER, and the SAX dispatch for the machines of the open elements), so
 * nesting depth is counted there.
 */
#ifndef BLOBXML_ENGINEINTERNAL_H
#define BLOBXML_ENGINEINTERNAL_H

#include <cstring>

#include "asn1Desc.h"
#include "berDecode.h"
#include "rtContext.h"

namespace asn1rt {
namespace detail {

/* ---- value access -------------------------------------------------------- */

inline void* at(void* base, uint32_t offset) { return static_cast<char*>(base) + offset; }
inline const void* at(const void* base, uint32_t offset) {
   return static_cast<const char*>(base) + offset;
}

template <typename T>
T& fieldAs(void* base, uint32_t offset) {
   return *static_cast<T*>(at(base, offset));
}
template <typename T>
const T& fieldAs(const void* base, uint32_t offset) {
   return *static_cast<const T*>(at(base, offset));
}

/* `m` is a structure of bit-fields; it is read and written as one word. */
inline uint32_t presenceWord(const TypeDesc* type, const void* value) {
   uint32_t m;
   std::memcpy(&m, at(value, type->presenceOffset), sizeof(m));
   return m;
}
inline void setPresenceWord(const TypeDesc* type, void* value, uint32_t m) {
   std::memcpy(at(value, type->presenceOffset), &m, sizeof(m));
}

inline void markPresent(const TypeDesc* type, void* value, const FieldDesc& field) {
   if (field.presenceBit >= 0)
      setPresenceWord(type, value, presenceWord(type, value) | (1u << field.presenceBit));
}

/* Whether the structure has an `m` at all. */
bool hasPresenceWord(const TypeDesc* type);

/* Whether a component holds a value to encode: a required one always, an
   OPTIONAL one when its bit is set, a DEFAULT FALSE/0 one when it is not
   zero, one with another default when it differs from the default (a null
   big-integer text is the default). */
bool holdsValue(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, const FieldDesc& field);

/* Whether a component with a default (Presence::DefaultValue) still holds
   the very storage of its default, as the decoder put it there: nothing of
   it is owned, so copy shares it and free leaves it. */
inline bool holdsDefaultStorage(const FieldDesc& field, const void* value) {
   return field.presence == Presence::DefaultValue &&
          std::memcmp(at(value, field.offset), field.defaultValue, field.type->valueSize) == 0;
}

/* An alternative's value: in the union, or behind the union's pointer. */
inline void* alternativeValue(void* choice, const FieldDesc& field) {
   return field.byPointer ? fieldAs<void*>(choice, field.offset) : at(choice, field.offset);
}
inline const void* alternativeValue(const void* choice, const FieldDesc& field) {
   return field.byPointer ? fieldAs<void* const>(choice, field.offset) : at(choice, field.offset);
}

/* Octets that a fixed-size BIT STRING value may fill: those of its bit
   capacity (the named bits), which its array may exceed. */
inline uint32_t fixedBitOctets(const TypeDesc* type) {
   return type->bitCapacity != 0 ? (type->bitCapacity + 7) / 8 : type->fixedCapacity;
}

/* ---- tags ------------------------------------------------------------------ */

/* X.690 8.1.2.5: whether the type is encoded in the constructed form, which
   an IMPLICIT tag in front of it must keep. */
bool hasConstructedForm(const TypeDesc* type);

/* The string kinds, which BER may also send segmented, in the constructed
   form (X.690 8.6.4, 8.7.3, 8.23.6). */
inline bool isStringKind(Kind kind) {
   switch (kind) {
   case Kind::OctetString:
   case Kind::OctetStringFixed:
   case Kind::BitString:
   case Kind::BitStringFixed:
   case Kind::CharString:
   case Kind::BMPString:
   case Kind::UniversalString: return true;
   default: return false;
   }
}

/* The tag word of an IMPLICIT tag in front of the type. */
inline ASN1TagWord implicitTagWord(ASN1TagWord tag, const TypeDesc* type) {
   return (tag & ~TM_CONS) | (hasConstructedForm(type) ? TM_CONS : 0);
}

/* Whether the next element can be the value of the type: its own tag, one
   of its alternatives' tags (CHOICE), or anything (an open type without a
   tag of its own). Class, number and form must all fit; only strings may
   come in either form. */
bool typeMatchesTag(const TypeDesc* type, ASN1TagWord tag);
bool fieldMatchesTag(const FieldDesc& field, ASN1TagWord tag);

/* RTS_NOT_FOUND (recorded, nothing consumed) unless the element at the
   position carries the tag, in a form the type takes under the tagging. */
int expectTag(ASN1CTXT* pctxt, ASN1TagWord tag, const TypeDesc* type, Tagging tagging);

/* The tag of the element at the position, which stays where it is. */
int peekTag(ASN1CTXT* pctxt, ASN1TagWord* tag);

/* The common header read at once: an identifier octet that carries the tag
   in a form the type takes under the tagging, and a definite length in one
   to three octets that the buffer holds. The position moves past it and
   the constructed flag is set as xd_match1 and xd_len would. False, with
   nothing consumed, for every other header, which then takes the full
   path with its checks and statuses. */
bool takeHeader(ASN1CTXT* pctxt, ASN1TagWord tag, const TypeDesc* type, Tagging tagging,
                int* length);

/* Identifier octet of a tag word with a number below 31. */
inline ASN1OCTET identifierOctet(ASN1TagWord tag) {
   return static_cast<ASN1OCTET>((tag & 0x1F) | ((tag >> 24) & 0xE0));
}

/* ---- contents of a constructed element ------------------------------------ */

/* Whether elements remain in the contents that began at block.start: up to
   the length, or up to the end-of-contents octets (X.690 8.1.3.6). Asked
   before every component and list element, so inline. */
inline bool contentRemains(const ASN1CTXT* pctxt, const ASN1BlockDescr& block) {
   const ASN1BUFFER& buf = pctxt->buffer;
   if (block.length == INDEFINITE_LENGTH) {
      return static_cast<int64_t>(buf.size) - buf.byteIndex >= 2 &&
             (buf.data[buf.byteIndex] != 0 || buf.data[buf.byteIndex + 1] != 0);
   }
   return (buf.data + buf.byteIndex) - block.start < block.length && buf.byteIndex < buf.size;
}

/* After the contents: elements that ran past a definite length are
   RTS_BAD_LENGTH; an indefinite length that this decoder read must be
   closed by 00 00, which is consumed (else RTS_BAD_LENGTH). */
int finishContents(ASN1CTXT* pctxt, const ASN1BlockDescr& block, bool ownEndOfContents);

/* Start of the contents that follow the header just read. */
inline ASN1BlockDescr contentsBlock(const ASN1CTXT* pctxt, int length) {
   return ASN1BlockDescr{pctxt->buffer.data + pctxt->buffer.byteIndex, length};
}

/* Adds an element's encoded length to a running total. */
int addLength(ASN1CTXT* pctxt, int* total, int length);

/* ---- where a decode failed ------------------------------------------------ */

/* The decode position, where the next element begins. */
inline const ASN1OCTET* position(const ASN1CTXT* pctxt) {
   return pctxt->buffer.data + pctxt->buffer.byteIndex;
}

/* A failure that stopped the element beginning at `start` (null: not known
   here): the status is recorded (the first one wins), and so is the element
   unless a failure inside it was recorded first. Returns the status. */
inline int failedElement(ASN1CTXT* pctxt, const ASN1OCTET* start, int stat) {
   rtErrSetElement(pctxt, start);
   return LOG_ASN1ERR(pctxt, stat);
}

/* ---- components ------------------------------------------------------------ */

using EncodeFn = int (*)(ASN1CTXT*, const TypeDesc*, const void*, ASN1TagType);
using DecodeFn = int (*)(ASN1CTXT*, const TypeDesc*, void*, ASN1TagType, int);

/* A value under a context or application tag: EXPLICIT wraps the value's
   own encoding, IMPLICIT replaces its outermost tag. `inner` writes or
   reads what lies under the tag. */
int encodeUnderTag(ASN1CTXT* pctxt, ASN1TagWord tag, Tagging tagging, const TypeDesc* type,
                   const void* value, EncodeFn inner);
int decodeUnderTag(ASN1CTXT* pctxt, ASN1TagWord tag, Tagging tagging, const TypeDesc* type,
                   void* value, DecodeFn inner);

/* The universal tag of a SEQUENCE, SET or list and its length; the tag in
   the primitive form is RTS_NOT_FOUND, like another tag. */
int readUniversalTag(ASN1CTXT* pctxt, const TypeDesc* type, int* length);

/* One component or alternative with its tagging. A failed decode puts the
   field's name in front of the failure's path. */
int encodeField(ASN1CTXT* pctxt, const FieldDesc& field, const void* value);
int decodeField(ASN1CTXT* pctxt, const FieldDesc& field, void* value);

/* ---- construct families ------------------------------------------------------ */

int encodeContents(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                   ASN1TagType tagging);
int decodeContents(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging,
                   int length);

int encodeConstructed(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                      ASN1TagType tagging);
int decodeSequence(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging,
                   int length);
int decodeSet(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging,
              int length);

/* Clears `m`, zeroes DEFAULT FALSE/0 fields, sets the other defaults and
   empties lists before a SEQUENCE or SET is decoded. */
void resetComponents(const TypeDesc* type, void* value);

int encodeChoice(ASN1CTXT* pctxt, const TypeDesc* type, const void* value);
int decodeChoice(ASN1CTXT* pctxt, const TypeDesc* type, void* value);

int encodeList(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, ASN1TagType tagging);
int decodeList(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging,
               int length);
int encodeArray(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, ASN1TagType tagging);
int decodeArray(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging,
                int length);

int encodePrimitive(ASN1CTXT* pctxt, const TypeDesc* type, const void* value,
                    ASN1TagType tagging);
int decodePrimitive(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging,
                    int length);

/* ---- nesting ------------------------------------------------------------------- */

/* Structured values nested deeper than this are refused: a hostile message
   of a recursive type (PKIMessage inside PKIMessage, SignedData inside
   SignedData) would otherwise exhaust the stack. Real messages stay far
   below: a certificate with its extensions decoded reaches about 12 levels,
   a time-stamp response (TSTInfo inside the SignedData of its token) about
   18. The limit is a constraint the codec puts on the size of every value,
   so a value beyond it fails with RTS_CONSTRAINT (-23), the status of a
   value outside its constraints. */
constexpr unsigned kMaxNesting = 256;

/* Structured levels open on this thread: the depth of the stack is a
   matter of the thread, whatever context a routine works on. One count
   serves every context, since an open type is decoded (on a buffer of its
   own) while the value that carries it is still open. Defined here with
   its constant initial value, so that no access needs a call. */
inline thread_local unsigned tNestingDepth = 0;

/* One level of a structured value, counted while the object lives, so that
   every way out of a routine (and an exception out of a SAX machine) gives
   it back. Values of other kinds do not count. */
class NestingLevel {
public:
   explicit NestingLevel(const TypeDesc* type) : mCounted(isStructured(type->kind)) {
      if (mCounted) tNestingDepth++;
   }
   ~NestingLevel() {
      if (mCounted) tNestingDepth--;
   }
   NestingLevel(const NestingLevel&) = delete;
   NestingLevel& operator=(const NestingLevel&) = delete;

   bool tooDeep() const { return mCounted && tNestingDepth > kMaxNesting; }

private:
   const bool mCounted;
};

/* ---- constraints --------------------------------------------------------------- */

/* RTS_CONSTRAINT (recorded) when the count lies outside the bounds. */
int checkSize(ASN1CTXT* pctxt, const Bounds& bounds, uint64_t count);
int checkValue(ASN1CTXT* pctxt, const Bounds& bounds, int64_t value);
/* RTS_BAD_ENUM (recorded) when the number lies below the lowest or above
   the highest of the type's items. */
int checkEnumerated(ASN1CTXT* pctxt, const TypeDesc* type, int64_t number);
/* SIZE of a character string: characters of a UTF8String, octets of the
   other 8-bit strings. */
int checkTextSize(ASN1CTXT* pctxt, const TypeDesc* type, const char* text);

}
}

#endif
