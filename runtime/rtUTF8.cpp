/*
 * UTF-8 in the original (RFC 2279) form: lead octets of sequences of 1 to 6
 * octets, continuation octets 10xxxxxx carrying 6 bits each.
 */
#include "rtUTF8.h"

#include <cstring>

#include "rtContext.h"
#include "rtMemHeap.h"

/* A character needs one more octet for each mask it has bits under. */
static const ASN1UINT encoding_mask[] = {0xFFFFF800u, 0xFFFF0000u, 0xFFE00000u, 0xFC000000u};

/* Lead-octet markers of sequences of 2 to 6 octets. */
static const ASN1OCTET encoding_byte[] = {0xC0, 0xE0, 0xF0, 0xF8, 0xFC};

/* Octets of the sequence that `lead` starts, or 0 when it cannot start one. */
static int sequenceSize(ASN1OCTET lead) {
   if (lead < 0x80) return 1;
   if ((lead & 0xE0) == 0xC0) return 2;
   if ((lead & 0xF0) == 0xE0) return 3;
   if ((lead & 0xF8) == 0xF0) return 4;
   if ((lead & 0xFC) == 0xF8) return 5;
   if ((lead & 0xFE) == 0xFC) return 6;
   return 0;
}

/* Character bits carried by the lead octet of a sequence of `size` octets. */
static ASN132BITCHAR leadBits(ASN1OCTET lead, int size) {
   return size == 1 ? lead : static_cast<ASN132BITCHAR>(lead & (0x7F >> size));
}

static bool isContinuation(ASN1OCTET octet) { return (octet & 0xC0) == 0x80; }

int rtUTF8Len(const ASN1OCTET* text) {
   if (text == nullptr) return 0;
   int nchars = 0;
   const ASN1OCTET* p = text;
   while (*p != 0) {
      const int size = sequenceSize(*p);
      if (size == 0) return RTS_BAD_UTF8;
      p++;
      /* Continuation octets are skipped unexamined, but never the terminator. */
      for (int i = 1; i < size && *p != 0; i++) p++;
      nchars++;
   }
   return nchars;
}

ASN1UINT rtUTF8LenBytes(const ASN1OCTET* text) {
   if (text == nullptr) return 0;
   return static_cast<ASN1UINT>(std::strlen(reinterpret_cast<const char*>(text)));
}

int rtUTF8CharSize(ASN132BITCHAR wc) {
   if (wc < 0x80) return 1;
   int size = 2;
   for (ASN1UINT mask : encoding_mask)
      if ((wc & mask) != 0) size++;
   return size;
}

int rtUTF8EncodeChar(ASN132BITCHAR wc, ASN1OCTET* buf, int bufsiz) {
   /* Six octets carry 31 bits; a larger value has no encoding. */
   if ((wc & 0x80000000u) != 0) return RTS_BAD_UTF8;
   const int size = rtUTF8CharSize(wc);
   if (buf == nullptr || bufsiz < size) return -1;
   if (size == 1) {
      buf[0] = static_cast<ASN1OCTET>(wc);
      return 1;
   }
   for (int i = size - 1; i > 0; i--) {
      buf[i] = static_cast<ASN1OCTET>(0x80 | (wc & 0x3F));
      wc >>= 6;
   }
   buf[0] = static_cast<ASN1OCTET>(encoding_byte[size - 2] | wc);
   return size;
}

int rtUTF8DecodeChar(ASN1CTXT*, const ASN1OCTET* buf, int* len) {
   if (buf == nullptr || len == nullptr || *len < 1) return RTS_BAD_UTF8;
   const int size = sequenceSize(buf[0]);
   if (size == 0 || *len < size) return RTS_BAD_UTF8;
   ASN132BITCHAR wc = leadBits(buf[0], size);
   for (int i = 1; i < size; i++) {
      if (!isContinuation(buf[i])) return RTS_BAD_UTF8;
      wc = (wc << 6) | (buf[i] & 0x3Fu);
   }
   *len = size;
   return static_cast<int>(wc);
}

static int badUTF8(ASN1CTXT* pctxt) {
   return pctxt != nullptr ? LOG_ASN1ERR(pctxt, RTS_BAD_UTF8) : RTS_BAD_UTF8;
}

int rtUTF8ToWCS(ASN1CTXT* pctxt, const ASN1OCTET* text, ASN132BITCHAR* wbuf,
                ASN1UINT wbufsiz) {
   if (text == nullptr) return 0;
   ASN1UINT nchars = 0;
   const ASN1OCTET* p = text;
   while (*p != 0) {
      if (wbuf == nullptr || nchars >= wbufsiz) return -1;
      const int size = sequenceSize(*p);
      if (size == 0) return badUTF8(pctxt);
      ASN132BITCHAR wc = leadBits(*p++, size);
      for (int i = 1; i < size && *p != 0; i++, p++) {
         if (!isContinuation(*p)) return badUTF8(pctxt);
         wc = (wc << 6) | (*p & 0x3Fu);
      }
      wbuf[nchars++] = wc;
   }
   return static_cast<int>(nchars);
}

int rtWCSToUTF8(ASN1CTXT* pctxt, const ASN132BITCHAR* wcs, ASN1UINT nchars,
                ASN1OCTET* buf, ASN1UINT bufsiz) {
   if (wcs == nullptr) return 0;
   ASN1UINT written = 0;
   for (ASN1UINT i = 0; i < nchars; i++) {
      if ((wcs[i] & 0x80000000u) != 0) return badUTF8(pctxt);
      const ASN1UINT room = bufsiz - written;
      const int n = rtUTF8EncodeChar(wcs[i], buf + written, room < 6 ? static_cast<int>(room) : 6);
      if (n < 0) return -1;
      written += static_cast<ASN1UINT>(n);
   }
   return static_cast<int>(written);
}

ASN1OCTET* rtUTF8Strdup(ASN1CTXT* pctxt, const ASN1OCTET* text) {
   if (pctxt == nullptr || text == nullptr) return nullptr;
   const size_t size = static_cast<size_t>(rtUTF8LenBytes(text)) + 1;
   ASN1OCTET* copy = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, size));
   if (copy != nullptr) std::memcpy(copy, text, size);
   return copy;
}
