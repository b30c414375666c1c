/*
 * Character strings from XER text. The parser delivers UTF-8; 8-bit string
 * types keep the low byte of each character, UTF8String keeps the bytes, and
 * BMPString and UniversalString hold one 16-bit or 32-bit unit per character.
 * Backslash sequences are ordinary characters: XER escapes with markup.
 */
#include <cstring>

#include "rtContext.h"
#include "rtMemHeap.h"
#include "rtUTF8.h"
#include "xerDecText.h"
#include "xerDecode.h"

/* Position in the UTF-8 element text and the bytes left before its NUL. */
struct Utf8Cursor {
   const ASN1OCTET* next;
   int remaining;
};

static Utf8Cursor utf8Start(const ASN1CTXT* pctxt) {
   const ASN1OCTET* text = xerDecInputText(pctxt);
   return Utf8Cursor{text, static_cast<int>(std::strlen(reinterpret_cast<const char*>(text)))};
}

/* Returns the next character, or RTS_BAD_UTF8 for a malformed sequence. */
static int utf8Next(ASN1CTXT* pctxt, Utf8Cursor* cursor) {
   int len = cursor->remaining;
   int ch = rtUTF8DecodeChar(pctxt, cursor->next, &len);
   if (ch < 0) return ch;
   cursor->next += len;
   cursor->remaining -= len;
   return ch;
}

int xerDecDynAscCharStr(ASN1CTXT* pctxt, const char** ppvalue) {
   Utf8Cursor cursor = utf8Start(pctxt);
   int nchars = rtUTF8Len(cursor.next);
   if (nchars < 0) return LOG_ASN1ERR(pctxt, nchars);

   char* text = static_cast<char*>(ASN1MALLOC(pctxt, static_cast<size_t>(nchars) + 1));
   if (text == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   for (int i = 0; i < nchars; ++i) {
      int ch = utf8Next(pctxt, &cursor);
      if (ch < 0) return LOG_ASN1ERR(pctxt, ch);
      text[i] = static_cast<char>(ch & 0xFF);
   }
   text[nchars] = 0;
   *ppvalue = text;
   return RTS_OK;
}

int xerDecDynUTF8Str(ASN1CTXT* pctxt, const char** ppvalue) {
   ASN1UINT size = pctxt->buffer.size;
   ASN1UINT limit = size > pctxt->buffer.byteIndex ? size - pctxt->buffer.byteIndex : 0;
   char* text = static_cast<char*>(ASN1MALLOC(pctxt, static_cast<size_t>(size) + 1));
   if (text == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   const unsigned char* src = xerDecInputText(pctxt);
   ASN1UINT len = 0;
   while (len < limit && src[len] != 0) ++len;
   std::memcpy(text, src, len);
   text[len] = 0;
   *ppvalue = text;
   return RTS_OK;
}

/* One Unit per character, keeping its low bits; the array is not
   terminated. An allocation failure is returned without being recorded. */
template <typename Unit>
static int decodeWideChars(ASN1CTXT* pctxt, Unit** pdata, ASN1UINT* pnchars) {
   Utf8Cursor cursor = utf8Start(pctxt);
   int nchars = rtUTF8Len(cursor.next);
   if (nchars < 0) return LOG_ASN1ERR(pctxt, nchars);

   Unit* data = static_cast<Unit*>(ASN1MALLOC(pctxt, static_cast<size_t>(nchars) * sizeof(Unit)));
   if (data == nullptr) return RTS_NO_MEMORY;
   for (int i = 0; i < nchars; ++i) {
      int ch = utf8Next(pctxt, &cursor);
      if (ch < 0) return LOG_ASN1ERR(pctxt, ch);
      data[i] = static_cast<Unit>(ch);
   }
   *pnchars = static_cast<ASN1UINT>(nchars);
   *pdata = data;
   return RTS_OK;
}

int xerDecBMPStr(ASN1CTXT* pctxt, ASN116BitCharString* pvalue) {
   return decodeWideChars(pctxt, &pvalue->data, &pvalue->nchars);
}

int xerDecUnivStr(ASN1CTXT* pctxt, ASN132BitCharString* pvalue) {
   return decodeWideChars(pctxt, &pvalue->data, &pvalue->nchars);
}
