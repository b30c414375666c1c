/*
 * Output sink shared by the XER writer functions. A writer emits its pieces
 * through an XerOut, which either hands each piece to rtWriteBytes at once
 * (direct mode) or collects them in a stage (staging mode).
 *
 * xerRunBatched runs a writer in staging mode first and commits the whole
 * text at once when it fits in the room left in the memory buffer; then no
 * piece could have failed or grown the buffer, so the result equals that of
 * the piece-by-piece writes. The stage of a runtime-owned (growing) buffer
 * is its own free space, so committing is only a move of the position; a
 * caller's fixed buffer is staged in a stack area and written with one
 * rtWriteBytes call. Otherwise (a stream, a buffer that must grow or is
 * full, text longer than the stack area) the writer runs again in direct
 * mode, which performs exactly the individual writes, so buffer growth and
 * partial output on failure stay the same.
 */
#ifndef BLOBXML_XERENCOUTPUT_H
#define BLOBXML_XERENCOUTPUT_H

#include <cstddef>
#include <cstring>

#include "asn1type.h"
#include "xerEncode.h"

/* Bytes a writer may stage for a caller's fixed buffer before falling back
   to direct writes. */
#define XER_STAGE_SIZE 1024

/* Work areas whose full contents are written in one piece. */
#define XER_TEXT_AREA_SIZE 80
#define XER_BIN_AREA_SIZE 40

struct XerOut {
   ASN1CTXT* pctxt;
   bool staging;
   bool overflow;     /* staging: a piece did not fit in the stage */
   bool inBuffer;     /* staging: the stage is the buffer's free space */
   size_t used;       /* staging: bytes collected */
   size_t capacity;   /* staging: bytes the stage holds */
   ASN1OCTET* stage;  /* staging: where the pieces are collected */
   ASN1OCTET area[XER_STAGE_SIZE]; /* the stage of a fixed buffer */
};

/* Copies n octets with stores of eight, four, two or one octets, the last
   store of a run overlapping the one before it: the pieces of a document
   are mostly a few dozen octets long, which a library copy takes longer to
   start on. */
inline void xerCopyShort(ASN1OCTET* dst, const void* source, size_t n) {
   const ASN1OCTET* src = static_cast<const ASN1OCTET*>(source);
   if (n >= 8) {
      for (size_t i = 0; i + 8 < n; i += 8) std::memcpy(dst + i, src + i, 8);
      std::memcpy(dst + n - 8, src + n - 8, 8);
   } else if (n >= 4) {
      std::memcpy(dst, src, 4);
      std::memcpy(dst + n - 4, src + n - 4, 4);
   } else if (n >= 2) {
      std::memcpy(dst, src, 2);
      std::memcpy(dst + n - 2, src + n - 2, 2);
   } else if (n == 1) {
      *dst = *src;
   }
}

/* One piece of output; direct mode records and returns a write failure.
   Inline so that staging pieces of constant size need no library call. */
int xerOutPutDirect(XerOut* out, const void* data, size_t nbytes);

/* Staging: room for nbytes more in the stage, counted as used, or null
   (and overflow set) when they do not fit. A writer may fill the room
   directly instead of putting a piece. */
inline ASN1OCTET* xerOutReserve(XerOut* out, size_t nbytes) {
   if (nbytes > out->capacity - out->used) {
      out->overflow = true;
      return nullptr;
   }
   ASN1OCTET* room = out->stage + out->used;
   out->used += nbytes;
   return room;
}

inline int xerOutPut(XerOut* out, const void* data, size_t nbytes) {
   if (!out->staging) return xerOutPutDirect(out, data, nbytes);
   ASN1OCTET* room = xerOutReserve(out, nbytes);
   if (room != nullptr && nbytes > 0) std::memcpy(room, data, nbytes);
   return RTS_OK;
}

int xerOutText(XerOut* out, const char* text);

/* `count` blanks, written one byte at a time in direct mode. */
int xerOutBlanks(XerOut* out, size_t count);

/* Puts count blanks at p and returns the end, in stores of eight, four or
   two octets: a block fill or copy of a few octets is slower to start. The
   last store of a run may overlap the one before it instead of going on
   octet by octet. */
inline ASN1OCTET* xerPutBlanks(ASN1OCTET* p, size_t count) {
   static const char kEight[] = "        ";
   ASN1OCTET* end = p + count;
   if (count >= 8) {
      for (; end - p > 8; p += 8) std::memcpy(p, kEight, 8);
      std::memcpy(end - 8, kEight, 8);
   } else if (count >= 4) {
      std::memcpy(p, kEight, 4);
      std::memcpy(end - 4, kEight, 4);
   } else if (count >= 2) {
      std::memcpy(p, kEight, 2);
      std::memcpy(end - 2, kEight, 2);
   } else if (count == 1) {
      *p = ' ';
   }
   return end;
}

inline bool xerIndents(const XerOut* out) { return (out->pctxt->flags & CTXTF_XER_NOINDENT) == 0; }

/* Staging: a whole tag in one reservation, so that it costs one capacity
   check: the indentation when asked for, then open, the name, a blank and
   the attributes when there are any, and close. open and close are string
   literals, whose lengths are then constants. */
template <size_t OpenSize, size_t CloseSize>
int xerStageTag(XerOut* out, bool indent, const char (&open)[OpenSize], const char* elemName,
                const char* attributes, const char (&close)[CloseSize]) {
   const size_t openLen = OpenSize - 1;
   const size_t closeLen = CloseSize - 1;
   const size_t blanks =
      indent ? static_cast<size_t>(out->pctxt->xerIndentLevel) * XER_INDENT_WIDTH : 0;
   const size_t nameLen = std::strlen(elemName);
   const size_t attrLen = attributes != nullptr ? std::strlen(attributes) : 0;
   const size_t total = (indent ? 1 + blanks : 0) + openLen + nameLen +
                        (attributes != nullptr ? 1 + attrLen : 0) + closeLen;
   ASN1OCTET* p = xerOutReserve(out, total);
   if (p == nullptr) return RTS_OK;
   if (indent) {
      *p++ = '\n';
      p = xerPutBlanks(p, blanks);
   }
   std::memcpy(p, open, openLen);
   p += openLen;
   xerCopyShort(p, elemName, nameLen);
   p += nameLen;
   if (attributes != nullptr) {
      *p++ = ' ';
      xerCopyShort(p, attributes, attrLen);
      p += attrLen;
   }
   std::memcpy(p, close, closeLen);
   return RTS_OK;
}

/* The writer primitives below mirror the public functions of xerEncode.h
   and are what those functions run through xerRunBatched. */
int xerOutIndent(XerOut* out);

/* Direct mode of the two tag writers below. */
int xerOutStartElementDirect(XerOut* out, const char* elemName, const char* attributes);
int xerOutEndElementDirect(XerOut* out, const char* elemName);

/* Start and end tags are the most frequent pieces; their staging is inline
   in every writer. */
inline int xerOutStartElement(XerOut* out, const char* elemName, const char* attributes) {
   if (elemName == nullptr || *elemName == '\0') return RTS_OK;
   if (!out->staging) return xerOutStartElementDirect(out, elemName, attributes);
   out->pctxt->xerState = XERSTATE_START_TAG;
   return xerStageTag(out, xerIndents(out), "<", elemName, attributes, ">");
}

inline int xerOutEndElement(XerOut* out, const char* elemName) {
   if (elemName == nullptr || *elemName == '\0') return RTS_OK;
   if (!out->staging) return xerOutEndElementDirect(out, elemName);
   const bool onOwnLine = out->pctxt->xerState == XERSTATE_END_TAG;
   out->pctxt->xerState = XERSTATE_END_TAG;
   return xerStageTag(out, onOwnLine && xerIndents(out), "</", elemName, nullptr, ">");
}

int xerOutEmptyElement(XerOut* out, const char* elemName, const char* attributes);
/* Indentation, "<name attrs/>", state XERSTATE_END_TAG; nothing for an
   empty name. */
int xerOutStandaloneEmpty(XerOut* out, const char* elemName, const char* attributes);
int xerOutHex(XerOut* out, ASN1UINT numocts, const ASN1OCTET* data);
int xerOutEscaped(XerOut* out, const char* value, size_t length);

/* Opens the stage of a batched write: the buffer's free space or the work
   area; false when the write must go piece by piece. */
inline bool xerStartStage(XerOut* out, size_t minSize) {
   ASN1CTXT* pctxt = out->pctxt;
   out->overflow = false;
   out->used = 0;
   if (pctxt->stream != nullptr || pctxt->buffer.data == nullptr) return false;
   if (pctxt->buffer.byteIndex > pctxt->buffer.size) return false;
   const size_t room = pctxt->buffer.size - pctxt->buffer.byteIndex;
   out->inBuffer = pctxt->buffer.dynamic != 0;
   if (out->inBuffer) {
      out->stage = pctxt->buffer.data + pctxt->buffer.byteIndex;
      out->capacity = room;
   } else {
      out->stage = out->area;
      out->capacity = room < sizeof(out->area) ? room : sizeof(out->area);
   }
   return minSize <= out->capacity;
}

/* A fixed buffer's stage is copied there by a write that cannot fail. */
int xerCommitFixedStage(XerOut* out, int status);

/* The staged text fits the room left, so it is the buffer's next bytes: in
   place already, or copied there. */
inline int xerCommitStage(XerOut* out, int status) {
   if (out->used == 0) return status;
   if (!out->inBuffer) return xerCommitFixedStage(out, status);
   out->pctxt->buffer.byteIndex += static_cast<ASN1UINT>(out->used);
   return status;
}

/* Runs writer(XerOut*) as described above. minSize is a lower bound of the
   text the writer produces, used to skip staging that cannot succeed. */
template <typename Writer>
int xerRunBatched(ASN1CTXT* pctxt, size_t minSize, Writer writer) {
   XerOut out;
   out.pctxt = pctxt;
   out.staging = xerStartStage(&out, minSize);
   if (out.staging) {
      ASN1UINT8 savedState = pctxt->xerState;
      ASN1INT savedError = pctxt->errInfo.status;
      int stat = writer(&out);
      if (!out.overflow) return xerCommitStage(&out, stat);
      pctxt->xerState = savedState;
      pctxt->errInfo.status = savedError;
      out.staging = false;
   }
   return writer(&out);
}

#endif
