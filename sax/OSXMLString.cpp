/*
 * String helpers of the XML reader path over 8-bit characters, with
 * conversions between UTF-8 and 16-bit units, and StrX.
 */
#include "OSXMLString.h"

#include <cstring>

#include "rtUTF8.h"

template <typename Unit>
static int unitCount(const Unit* text) {
   if (text == nullptr) return 0;
   int len = 0;
   while (text[len] != 0) ++len;
   return len;
}

/* New terminated 8-bit copy; wider units keep their low byte. */
template <typename Unit>
static char* narrowCopy(const Unit* text) {
   if (text == nullptr) return nullptr;
   int len = unitCount(text);
   char* copy = new char[len + 1];
   for (int i = 0; i < len; ++i) copy[i] = static_cast<char>(text[i] & 0xFF);
   copy[len] = 0;
   return copy;
}

template <typename Unit>
static char* appendNarrow(char* dst, int capacity, const Unit* src) {
   if (dst == nullptr) return nullptr;
   int srcLen = unitCount(src);
   if (srcLen == 0) return dst;
   int used = unitCount(dst);
   int room = capacity - used - 1;
   if (room <= 0) return nullptr;
   int n = srcLen < room ? srcLen : room;
   for (int i = 0; i < n; ++i) dst[used + i] = static_cast<char>(src[i] & 0xFF);
   dst[used + n] = 0;
   return dst;
}

/* Octets of the UTF-8 sequence that starts with this byte, -1 when it cannot
   start one. */
static int utf8SequenceLength(unsigned char lead) {
   if (lead < 0x80) return 1;
   if (lead < 0xC0) return -1;
   if (lead < 0xE0) return 2;
   if (lead < 0xF0) return 3;
   if (lead < 0xF8) return 4;
   if (lead < 0xFC) return 5;
   if (lead < 0xFE) return 6;
   return -1;
}

const char* OSXMLString::zeroLenString() { return nullptr; }

int OSXMLString::stringLen(const char* text) { return unitCount(text); }

int OSXMLString::stringLen(const unsigned short* text) { return unitCount(text); }

char* OSXMLString::replicate(const char* text) { return narrowCopy(text); }

char* OSXMLString::transcode(const char* text) { return narrowCopy(text); }

char* OSXMLString::transcode(const unsigned short* text) { return narrowCopy(text); }

int OSXMLString::compareString(const char* a, const char* b) {
   if (a == nullptr) return -stringLen(b);
   if (b == nullptr) return stringLen(a);
   const unsigned char* pa = reinterpret_cast<const unsigned char*>(a);
   const unsigned char* pb = reinterpret_cast<const unsigned char*>(b);
   while (*pa != 0 && *pa == *pb) {
      ++pa;
      ++pb;
   }
   return *pa - *pb;
}

char* OSXMLString::catString(char* dst, int capacity, const char* src) {
   return appendNarrow(dst, capacity, src);
}

char* OSXMLString::catString(char* dst, int capacity, const unsigned short* src) {
   return appendNarrow(dst, capacity, src);
}

int OSXMLString::stringUTF8Len(const unsigned char* text, int length) {
   if (text == nullptr) return 0;
   bool toTerminator = length <= 0;
   int count = 0;
   int pos = 0;
   while (toTerminator ? text[pos] != 0 : pos < length) {
      int size = utf8SequenceLength(text[pos]);
      if (size < 0) return -1;
      ++count;
      if (toTerminator) {
         /* A sequence cut off by the terminator ends there. */
         int step = 1;
         while (step < size && text[pos + step] != 0) ++step;
         pos += step;
      } else {
         pos += size;
      }
   }
   return count;
}

unsigned short* OSXMLString::transUTF8(const unsigned char* text, int* length,
                                       unsigned short* buf, int bufLen) {
   if (text == nullptr || length == nullptr) return nullptr;
   int nbytes = *length > 0 ? *length : static_cast<int>(std::strlen(reinterpret_cast<const char*>(text)));

   /* A first pass validates the text and counts its characters. */
   int nchars = 0;
   for (int pos = 0; pos < nbytes; ++nchars) {
      int len = nbytes - pos;
      if (rtUTF8DecodeChar(nullptr, text + pos, &len) < 0) return nullptr;
      pos += len;
   }

   unsigned short* out = (buf != nullptr && bufLen > nchars) ? buf : new unsigned short[nchars + 1];
   int pos = 0;
   for (int i = 0; i < nchars; ++i) {
      int len = nbytes - pos;
      out[i] = static_cast<unsigned short>(rtUTF8DecodeChar(nullptr, text + pos, &len) & 0xFFFF);
      pos += len;
   }
   out[nchars] = 0;
   *length = nchars;
   return out;
}

char* OSXMLString::safeTranscode(const unsigned short* text, int* length, char* buf, int bufLen) {
   if (text == nullptr || length == nullptr) return nullptr;
   int nunits = *length > 0 ? *length : stringLen(text);
   int nbytes = 0;
   for (int i = 0; i < nunits; ++i) nbytes += rtUTF8CharSize(text[i]);

   char* out = (buf != nullptr && bufLen > nbytes) ? buf : new char[nbytes + 1];
   ASN1OCTET* dst = reinterpret_cast<ASN1OCTET*>(out);
   int pos = 0;
   for (int i = 0; i < nunits; ++i) pos += rtUTF8EncodeChar(text[i], dst + pos, nbytes - pos);
   out[nbytes] = 0;
   *length = nbytes;
   return out;
}

unsigned short* OSXMLString::safeTranscode(const char* text, int* length, unsigned short* buf,
                                           int bufLen) {
   return transUTF8(reinterpret_cast<const unsigned char*>(text), length, buf, bufLen);
}

StrX::StrX(const char* text) : mLocalForm(OSXMLString::transcode(text)) {}

StrX::~StrX() { delete[] mLocalForm; }
