/*
 * The DER form of encoded elements read without their ASN.1 type (the
 * contents of open types that no table resolves). Only what the identifier
 * octets tell is normalised; whatever depends on the type definition
 * (DEFAULT values, the order of SET components, named bits, the contents of
 * implicitly tagged values) stays as received.
 *
 * Input that is DER already comes back unchanged without a copy: one
 * forward pass recognises it, and only other input is rewritten, back to
 * front through the encode buffer like every other encoding.
 */
#include <climits>
#include <cstring>

#include "berDecode.h"
#include "berEncode.h"
#include "rtContext.h"
#include "rtList.h"
#include "rtMemHeap.h"

namespace {

/* Constructed levels allowed, as for the structured values of the typed
   codec: beyond it a hostile nesting would exhaust the stack. */
const unsigned kMaxLevels = 256;

const ASN1TAG kUniversalSet = TM_UNIV | TM_CONS | ASN_ID_SET;

/* One element as read: its header, and where it lies in the input. */
struct Element {
   ASN1TAG tag;
   int length;        /* contents octets, or INDEFINITE_LENGTH */
   ASN1UINT start;    /* first identifier octet */
   ASN1UINT contents; /* first contents octet */
};

/* Stretches of the input (elements or string segments), held in the heap of
   the reading context. */
struct Spans {
   explicit Spans(ASN1CTXT* owner) : pctxt(owner) {}
   ~Spans() { ASN1MEMFREEPTR(pctxt, at); }
   Spans(const Spans&) = delete;
   Spans& operator=(const Spans&) = delete;

   int append(ASN1UINT start, ASN1UINT length) {
      if (count == capacity) {
         ASN1UINT grown = capacity == 0 ? 8 : capacity * 2;
         void* block = ASN1REALLOC(pctxt, at, grown * sizeof(Span));
         if (block == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
         at = static_cast<Span*>(block);
         capacity = grown;
      }
      at[count++] = Span{start, length};
      return RTS_OK;
   }

   struct Span {
      ASN1UINT start;
      ASN1UINT length;
   };
   ASN1CTXT* pctxt;
   Span* at = nullptr;
   ASN1UINT count = 0;
   ASN1UINT capacity = 0;
};

/* The number of a universal tag, or 0 for the other classes (universal 0
   is no type). */
ASN1TAG universalNumber(ASN1TAG tag) {
   return (tag & TM_CLASS) == TM_UNIV ? tag & TM_IDCODE : 0;
}

/* X.690 8.6, 8.7, 8.23: the string types, which DER writes primitive only
   (10.2). UTCTime and GeneralizedTime are VisibleStrings and
   ObjectDescriptor a GraphicString with another tag, so they count too. */
bool isStringType(ASN1TAG tag) {
   switch (universalNumber(tag)) {
      case ASN_ID_BITSTR: case ASN_ID_OCTSTR: case ASN_ID_OBJDSC: case ASN_ID_UTF8String:
      case ASN_ID_NumericString: case ASN_ID_PrintableString: case ASN_ID_TeletexString:
      case ASN_ID_VideotexString: case ASN_ID_IA5String: case ASN_ID_UTCTime:
      case ASN_ID_GeneralTime: case ASN_ID_GraphicString: case ASN_ID_VisibleString:
      case ASN_ID_GeneralString: case ASN_ID_UniversalString: case ASN_ID_BMPString:
         return true;
      default:
         return false;
   }
}

/* X.690 8.2.1, 8.3.1, 8.5.1, 8.8.1, 8.19.1, 8.20.1 (always primitive) and
   8.9.1, 8.11.1, 8.18, 8.17, 8.24 (always constructed). */
bool hasWrongForm(ASN1TAG tag) {
   const bool constructed = (tag & TM_CONS) != 0;
   switch (universalNumber(tag)) {
      case ASN_ID_BOOL: case ASN_ID_INT: case ASN_ID_REAL: case ASN_ID_NULL: case ASN_ID_OBJID:
      case ASN_ID_RELOID: case ASN_ID_ENUM:
         return constructed;
      case ASN_ID_SEQ: case ASN_ID_SET: case ASN_ID_EXTERN: case ASN_ID_EPDV:
      case 29: /* CHARACTER STRING */
         return !constructed;
      default:
         return false;
   }
}

/* Identifier and length at the position, moving past them (X.690 8.1.2,
   8.1.3). An end-of-contents (8.1.5) is reported for the caller to judge. */
int readHeader(ASN1CTXT* in, Element* el, bool* endOfContents) {
   el->start = in->buffer.byteIndex;
   int stat = xd_tag_len(in, &el->tag, &el->length, XD_MODE_ADVANCE);
   if (stat != RTS_OK) return stat;
   el->contents = in->buffer.byteIndex;
   *endOfContents = el->tag == 0 && el->length == 0;
   if (!*endOfContents && hasWrongForm(el->tag)) return LOG_ASN1ERR(in, RTS_BAD_TAG);
   return RTS_OK;
}

/* The next element of contents that run to the end of the buffer
   (definite) or to an end-of-contents, which is consumed (indefinite).
   1 with its header read, 0 when the contents end, or a status; an
   end-of-contents where an element must be is RTS_BAD_VALUE, as for an
   open type. */
int nextElement(ASN1CTXT* in, bool indefinite, Element* el) {
   if (!indefinite && in->buffer.byteIndex >= in->buffer.size) return 0;
   bool endOfContents = false;
   int stat = readHeader(in, el, &endOfContents);
   if (stat != RTS_OK) return stat;
   if (endOfContents) return indefinite ? 0 : LOG_ASN1ERR(in, RTS_BAD_VALUE);
   return 1;
}

/* Moves past the contents of the element whose header was just read, to
   just after its end-of-contents when its length is indefinite. */
int skipContents(ASN1CTXT* in, const Element& el) {
   if (el.length == INDEFINITE_LENGTH) return xd_MovePastEOC(in);
   in->buffer.byteIndex += static_cast<ASN1UINT>(el.length);
   return RTS_OK;
}

/* X.690 8.3.2: leading octets that only repeat the sign. */
ASN1UINT redundantSignOctets(const ASN1OCTET* contents, ASN1UINT length) {
   ASN1UINT n = 0;
   while (length - n > 1 && ((contents[n] == 0x00 && !(contents[n + 1] & 0x80)) ||
                             (contents[n] == 0xFF && (contents[n + 1] & 0x80))))
      n++;
   return n;
}

/* The unused bits of the last octet of a BIT STRING. */
ASN1OCTET unusedBitsMask(ASN1OCTET unusedBits) {
   return static_cast<ASN1OCTET>((1u << unusedBits) - 1);
}

/* ---- recognising DER ---------------------------------------------------- */

/* X.690 10.1, 8.1.2.4.2: the fewest identifier and length octets. */
ASN1UINT derHeaderSize(ASN1TAG tag, int length) {
   ASN1UINT size = 2;
   ASN1TAG number = tag & TM_IDCODE;
   if (number >= 31)
      for (; number != 0; number >>= 7) size++;
   if (length >= 0x80)
      for (ASN1UINT rest = static_cast<ASN1UINT>(length); rest != 0; rest >>= 8) size++;
   return size;
}

/* X.690 11.1, 8.3.2, 8.8.2, 8.6.2 and 11.2.1 for the universal primitives
   whose DER form the tag tells. */
bool isDerPrimitive(const ASN1OCTET* contents, const Element& el) {
   const ASN1UINT length = static_cast<ASN1UINT>(el.length);
   switch (universalNumber(el.tag)) {
      case ASN_ID_BOOL:
         return length == 1 && (contents[0] == 0x00 || contents[0] == 0xFF);
      case ASN_ID_INT: case ASN_ID_ENUM:
         return length > 0 && redundantSignOctets(contents, length) == 0;
      case ASN_ID_NULL:
         return length == 0;
      case ASN_ID_BITSTR:
         return length > 0 && contents[0] <= 7 && (length > 1 || contents[0] == 0) &&
                (contents[length - 1] & unusedBitsMask(contents[0])) == 0;
      default:
         return true;
   }
}

/* X.690 11.6: octet by octet, a shorter encoding before a longer one that
   begins with it (the order xe_derCanonicalSort gives). */
bool encodingLess(const ASN1OCTET* a, ASN1UINT aLength, const ASN1OCTET* b, ASN1UINT bLength) {
   int cmp = std::memcmp(a, b, aLength < bLength ? aLength : bLength);
   return cmp < 0 || (cmp == 0 && aLength < bLength);
}

/* Whether the elements from the position to the end of the buffer are all
   in DER form; level counts the constructed elements around them. Malformed
   input is not DER either: rewriting it then reports why. */
bool isDerContents(ASN1CTXT* in, bool sorted, unsigned level) {
   const ASN1OCTET* data = in->buffer.data;
   const ASN1OCTET* previous = nullptr;
   ASN1UINT previousLength = 0;
   while (in->buffer.byteIndex < in->buffer.size) {
      Element el;
      if (nextElement(in, false, &el) != 1 || el.length == INDEFINITE_LENGTH) return false;
      if (el.contents - el.start != derHeaderSize(el.tag, el.length)) return false;
      const ASN1UINT end = el.contents + static_cast<ASN1UINT>(el.length);
      if (el.tag & TM_CONS) {
         if (isStringType(el.tag) || level >= kMaxLevels) return false;
         const ASN1UINT size = in->buffer.size;
         in->buffer.size = end;
         const bool der = isDerContents(in, el.tag == kUniversalSet, level + 1);
         in->buffer.size = size;
         if (!der) return false;
      } else if (!isDerPrimitive(data + el.contents, el)) {
         return false;
      }
      in->buffer.byteIndex = end;
      const ASN1UINT length = end - el.start;
      if (sorted && previous != nullptr &&
          encodingLess(data + el.start, length, previous, previousLength))
         return false;
      previous = data + el.start;
      previousLength = length;
   }
   return true;
}

/* ---- rewriting ---------------------------------------------------------- */

int writeElement(ASN1CTXT* in, ASN1CTXT* out, const Spans::Span& span, unsigned level);

int addLength(ASN1CTXT* out, int* total, int length) {
   if (length > INT_MAX - *total) return LOG_ASN1ERR(out, RTS_BAD_LENGTH);
   *total += length;
   return RTS_OK;
}

/* Writes the DER form of the elements of contents from the position (see
   nextElement), the last first, and returns the octets written (X.690
   10.1: definite lengths; 8.1.5: no end-of-contents). Schema-less, a
   universal SET cannot be told from a SET OF, so its elements are put in
   the SET OF order of 11.6, by their encodings. */
int writeContents(ASN1CTXT* in, ASN1CTXT* out, bool indefinite, bool sorted, unsigned level) {
   Spans elements(in);
   for (;;) {
      const ASN1UINT start = in->buffer.byteIndex;
      Element el;
      int stat = nextElement(in, indefinite, &el);
      if (stat == 0) break;
      if (stat < 0) return stat;
      stat = skipContents(in, el);
      if (stat == RTS_OK) stat = elements.append(start, in->buffer.byteIndex - start);
      if (stat != RTS_OK) return stat;
   }
   sorted = sorted && elements.count > 1;
   Asn1RTSList locations;
   rtSListInitEx(out, &locations);
   int total = 0;
   for (ASN1UINT i = elements.count; i-- > 0;) {
      int len = writeElement(in, out, elements.at[i], level);
      int stat = len < 0 ? len : addLength(out, &total, len);
      if (stat == RTS_OK && sorted) {
         stat = xe_addBufLocDescr(out, &locations, static_cast<ASN1UINT>(len));
      }
      if (stat != RTS_OK) {
         xe_freeBufLocDescrs(out, &locations);
         return stat;
      }
   }
   if (sorted) {
      total = xe_derCanonicalSort(out, &locations);
      if (total < 0) xe_freeBufLocDescrs(out, &locations);
   }
   return total;
}

/* X.690 8.6.4, 8.7.3, 8.23.6: the primitive segments of a string, in order,
   from the element whose header was just read, moving past its contents.
   Segments carry the universal tag segmentTag (BIT STRING segments 3, all
   others 4) and may themselves be constructed. */
int gatherSegments(ASN1CTXT* in, const Element& el, ASN1TAG segmentTag, unsigned level,
                   Spans* segments) {
   if (!(el.tag & TM_CONS)) {
      in->buffer.byteIndex += static_cast<ASN1UINT>(el.length);
      return segments->append(el.contents, static_cast<ASN1UINT>(el.length));
   }
   if (level >= kMaxLevels) return LOG_ASN1ERR(in, RTS_CONSTRAINT);
   const bool indefinite = el.length == INDEFINITE_LENGTH;
   const ASN1UINT size = in->buffer.size;
   if (!indefinite) in->buffer.size = el.contents + static_cast<ASN1UINT>(el.length);
   int stat;
   Element segment;
   while ((stat = nextElement(in, indefinite, &segment)) == 1) {
      stat = (segment.tag & TM_FORM_MASK) != segmentTag
                ? LOG_ASN1ERR(in, RTS_BAD_TAG)
                : gatherSegments(in, segment, segmentTag, level + 1, segments);
      if (stat != RTS_OK) break;
   }
   in->buffer.size = size;
   return stat;
}

/* X.690 8.6.2, 8.6.4: each segment starts with its unused-bit count (at
   most 7; a segment of that octet alone has none unused); only the last
   may leave bits unused. A segment without contents is taken as no bits,
   as the typed decoder reads it. Returns the count of the last segment. */
int checkBitSegments(ASN1CTXT* in, const Spans& segments) {
   const ASN1OCTET* data = in->buffer.data;
   ASN1OCTET unusedBits = 0;
   for (ASN1UINT i = 0; i < segments.count; i++) {
      const Spans::Span& segment = segments.at[i];
      unusedBits = segment.length == 0 ? 0 : data[segment.start];
      if (unusedBits > 7) return LOG_ASN1ERR(in, RTS_BAD_VALUE);
      if (segment.length == 1 && unusedBits != 0) return LOG_ASN1ERR(in, RTS_BAD_LENGTH);
      if (i + 1 < segments.count && unusedBits != 0) return LOG_ASN1ERR(in, RTS_BAD_VALUE);
   }
   return unusedBits;
}

/* X.690 10.2: a string as one primitive encoding of its segments joined;
   for a BIT STRING the unused-bit count of the last segment leads and the
   unused bits are cleared (11.2.1). */
int writeString(ASN1CTXT* in, ASN1CTXT* out, const Element& el, unsigned level) {
   const bool bits = universalNumber(el.tag) == ASN_ID_BITSTR;
   Spans segments(in);
   int stat = gatherSegments(in, el, bits ? ASN_ID_BITSTR : ASN_ID_OCTSTR, level, &segments);
   if (stat != RTS_OK) return stat;
   const int unusedBits = bits ? checkBitSegments(in, segments) : 0;
   if (unusedBits < 0) return unusedBits;
   const ASN1UINT skip = bits ? 1 : 0; /* the count in front of each segment's bits */
   int total = 0;
   for (ASN1UINT i = segments.count; i-- > 0;) {
      const Spans::Span& segment = segments.at[i];
      if (segment.length <= skip) continue;
      int len = xe_memcpy(out, in->buffer.data + segment.start + skip, segment.length - skip);
      stat = len < 0 ? len : addLength(out, &total, len);
      if (stat != RTS_OK) return stat;
   }
   if (bits) {
      /* Bits are left unused only after at least one octet of bits. */
      if (unusedBits != 0)
         out->buffer.data[out->buffer.byteIndex + total - 1] &=
            static_cast<ASN1OCTET>(~unusedBitsMask(static_cast<ASN1OCTET>(unusedBits)));
      const ASN1OCTET count = static_cast<ASN1OCTET>(unusedBits);
      int len = xe_memcpy(out, &count, 1);
      stat = len < 0 ? len : addLength(out, &total, len);
      if (stat != RTS_OK) return stat;
   }
   return xe_tag_len(out, el.tag & ~TM_CONS, total);
}

/* X.690 11.1 (TRUE is FF), 8.3.2 (INTEGER and ENUMERATED in the fewest
   octets), 8.8.2; other primitives are written as they are. The lengths
   the typed decoders refuse are refused with their status. */
int writePrimitive(ASN1CTXT* in, ASN1CTXT* out, const Element& el) {
   const ASN1OCTET* contents = in->buffer.data + el.contents;
   ASN1UINT length = static_cast<ASN1UINT>(el.length);
   ASN1OCTET boolean;
   switch (universalNumber(el.tag)) {
      case ASN_ID_BOOL:
         if (length != 1) return LOG_ASN1ERR(in, RTS_BAD_LENGTH);
         boolean = contents[0] != 0 ? 0xFF : 0x00;
         contents = &boolean;
         break;
      case ASN_ID_INT: case ASN_ID_ENUM: {
         if (length == 0) return LOG_ASN1ERR(in, RTS_BAD_LENGTH);
         const ASN1UINT redundant = redundantSignOctets(contents, length);
         contents += redundant;
         length -= redundant;
         break;
      }
      case ASN_ID_NULL:
         if (length != 0) return LOG_ASN1ERR(in, RTS_BAD_LENGTH);
         break;
      default:
         break;
   }
   int len = xe_memcpy(out, contents, length);
   return len < 0 ? len : xe_tag_len(out, el.tag, len);
}

/* The DER form of the element that fills the span. The identifier is
   written anew, so a tag number given in more octets than needed comes out
   in the fewest (X.690 8.1.2.4.2). */
int writeElement(ASN1CTXT* in, ASN1CTXT* out, const Spans::Span& span, unsigned level) {
   in->buffer.byteIndex = span.start;
   in->buffer.size = span.start + span.length;
   Element el;
   int stat = nextElement(in, false, &el);
   if (stat < 0) return stat;
   if (isStringType(el.tag)) return writeString(in, out, el, level);
   if (!(el.tag & TM_CONS)) return writePrimitive(in, out, el);
   if (level >= kMaxLevels) return LOG_ASN1ERR(in, RTS_CONSTRAINT);
   int len = writeContents(in, out, el.length == INDEFINITE_LENGTH, el.tag == kUniversalSet,
                           level + 1);
   return xe_tag_len(out, el.tag, len);
}

/* Rewrites the whole input through a scratch encode buffer and copies the
   result into the caller's heap. */
int rewrite(ASN1CTXT* pctxt, ASN1CTXT* in, const ASN1OCTET** der_p2, ASN1UINT* pdernumocts) {
   ASN1CTXT out;
   int stat = rtInitContext(&out, pctxt->allocArg);
   if (stat != RTS_OK) return stat;
   /* Rewriting rarely grows the input by more than a few header octets. */
   const ASN1UINT input = in->buffer.size;
   stat = xe_setp(&out, nullptr, input < INT_MAX - 64 ? static_cast<int>(input) + 64 : 0);
   int len = stat != RTS_OK ? stat : writeContents(in, &out, false, false, 0);
   if (len >= 0) {
      ASN1OCTET* der = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, static_cast<ASN1UINT>(len)));
      if (der == nullptr) {
         len = RTS_NO_MEMORY;
      } else {
         std::memcpy(der, xe_getp(&out), static_cast<ASN1UINT>(len));
         *der_p2 = der;
         *pdernumocts = static_cast<ASN1UINT>(len);
      }
   }
   rtFreeContext(&out);
   return len < 0 ? len : RTS_OK;
}

}

int xe_derNormalise(ASN1CTXT* pctxt, const ASN1OCTET* object_p, ASN1UINT numocts,
                    const ASN1OCTET** der_p2, ASN1UINT* pdernumocts) {
   if (numocts > 0 && object_p == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   if (numocts == 0) {
      *der_p2 = object_p;
      *pdernumocts = 0;
      return RTS_OK;
   }
   ASN1CTXT in;
   int stat = rtInitContext(&in, pctxt->allocArg);
   /* The input is only read; the buffer record is shared with the encoders
      and so holds a non-const pointer. */
   if (stat == RTS_OK) stat = rtInitContextBuffer(&in, const_cast<ASN1OCTET*>(object_p), numocts);
   if (stat == RTS_OK && isDerContents(&in, false, 0)) {
      *der_p2 = object_p;
      *pdernumocts = numocts;
   } else if (stat == RTS_OK) {
      in.buffer.byteIndex = 0;
      in.buffer.size = numocts;
      stat = rewrite(pctxt, &in, der_p2, pdernumocts);
   }
   rtFreeContext(&in);
   return stat == RTS_OK ? RTS_OK : LOG_ASN1ERR(pctxt, stat);
}
