/*
 * The XerOut sink and the markup pieces every XER writer is built from:
 * indentation, start, end and empty-element tags, hexadecimal digits and
 * escaped character data.
 */
#include "xerEncOutput.h"

#include <cstring>

#include "rtContext.h"
#include "rtHexText.h"
#include "rtStream.h"
#include "xerEncode.h"

int xerCommitFixedStage(XerOut* out, int status) {
   int stat = rtWriteBytes(out->pctxt, out->stage, out->used);
   if (stat != RTS_OK) return LOG_ASN1ERR(out->pctxt, stat);
   return status;
}

int xerOutPutDirect(XerOut* out, const void* data, size_t nbytes) {
   if (nbytes == 0) return RTS_OK;
   int stat = rtWriteBytes(out->pctxt, static_cast<const ASN1OCTET*>(data), nbytes);
   return stat == RTS_OK ? RTS_OK : LOG_ASN1ERR(out->pctxt, stat);
}

int xerOutText(XerOut* out, const char* text) {
   return xerOutPut(out, text, std::strlen(text));
}

int xerOutBlanks(XerOut* out, size_t count) {
   if (out->staging) {
      ASN1OCTET* room = xerOutReserve(out, count);
      if (room != nullptr) xerPutBlanks(room, count);
      return RTS_OK;
   }
   for (size_t i = 0; i < count; i++) {
      int stat = xerOutPut(out, " ", 1);
      if (stat != RTS_OK) return stat;
   }
   return RTS_OK;
}

int xerOutIndent(XerOut* out) {
   if (out->pctxt->flags & CTXTF_XER_NOINDENT) return RTS_OK;
   int stat = xerOutPut(out, "\n", 1);
   if (stat != RTS_OK) return stat;
   return xerOutBlanks(out, static_cast<size_t>(out->pctxt->xerIndentLevel) * XER_INDENT_WIDTH);
}

/* "<" name [" " attributes], shared by start and empty-element tags. */
static int putTagOpening(XerOut* out, const char* elemName, const char* attributes) {
   int stat = xerOutPut(out, "<", 1);
   if (stat == RTS_OK) stat = xerOutText(out, elemName);
   if (stat == RTS_OK && attributes != nullptr) {
      stat = xerOutPut(out, " ", 1);
      if (stat == RTS_OK) stat = xerOutText(out, attributes);
   }
   return stat;
}

int xerOutStartElementDirect(XerOut* out, const char* elemName, const char* attributes) {
   int stat = xerOutIndent(out);
   if (stat != RTS_OK) return stat;
   out->pctxt->xerState = XERSTATE_START_TAG;
   stat = putTagOpening(out, elemName, attributes);
   return stat == RTS_OK ? xerOutPut(out, ">", 1) : stat;
}

int xerOutEndElementDirect(XerOut* out, const char* elemName) {
   if (out->pctxt->xerState == XERSTATE_END_TAG) {
      int stat = xerOutIndent(out);
      if (stat != RTS_OK) return stat;
   }
   out->pctxt->xerState = XERSTATE_END_TAG;
   int stat = xerOutPut(out, "</", 2);
   if (stat == RTS_OK) stat = xerOutText(out, elemName);
   return stat == RTS_OK ? xerOutPut(out, ">", 1) : stat;
}

int xerOutEmptyElement(XerOut* out, const char* elemName, const char* attributes) {
   if (elemName == nullptr || *elemName == '\0') return RTS_OK;
   out->pctxt->xerState = XERSTATE_START_TAG;
   if (out->staging) return xerStageTag(out, false, "<", elemName, attributes, "/>");
   int stat = putTagOpening(out, elemName, attributes);
   return stat == RTS_OK ? xerOutPut(out, "/>", 2) : stat;
}

int xerOutStandaloneEmpty(XerOut* out, const char* elemName, const char* attributes) {
   if (elemName == nullptr || *elemName == '\0') return RTS_OK;
   if (out->staging) {
      out->pctxt->xerState = XERSTATE_END_TAG;
      return xerStageTag(out, xerIndents(out), "<", elemName, attributes, "/>");
   }
   int stat = xerOutIndent(out);
   if (stat == RTS_OK) stat = xerOutEmptyElement(out, elemName, attributes);
   if (stat != RTS_OK) return stat;
   out->pctxt->xerState = XERSTATE_END_TAG;
   return RTS_OK;
}

/* The two upper-case hexadecimal digits of each octet, high nibble first. */
static constexpr RtHexPairs kHex = rtMakeHexPairs("0123456789ABCDEF");

/* A stage takes the digits in place; direct writes go through the work
   area, one write per full area. */
int xerOutHex(XerOut* out, ASN1UINT numocts, const ASN1OCTET* data) {
   static_assert(XER_TEXT_AREA_SIZE % 2 == 0, "text area must hold whole digit pairs");
   if (out->staging) {
      ASN1OCTET* room = xerOutReserve(out, static_cast<size_t>(numocts) * 2);
      if (room == nullptr) return RTS_OK;
      for (ASN1UINT i = 0; i < numocts; i++) std::memcpy(room + i * 2, kHex.pair[data[i]], 2);
      return RTS_OK;
   }
   char area[XER_TEXT_AREA_SIZE];
   size_t used = 0;
   for (ASN1UINT i = 0; i < numocts; i++) {
      if (used == sizeof(area)) {
         int stat = xerOutPut(out, area, used);
         if (stat != RTS_OK) return stat;
         used = 0;
      }
      std::memcpy(area + used, kHex.pair[data[i]], 2);
      used += 2;
   }
   return xerOutPut(out, area, used);
}

namespace {

/* Replacement text of each byte; length 0 means the byte stands as is. */
struct EscapeTable {
   const char* text[256];
   ASN1UINT8 length[256];
};

constexpr EscapeTable makeEscapeTable() {
   EscapeTable table{};
   struct Entry {
      unsigned char byte;
      const char* text;
      ASN1UINT8 length;
   };
   const Entry entries[] = {
      {0x08, "\\b", 2},    {0x09, "\\t", 2},   {0x0A, "\\n", 2},    {0x0C, "\\f", 2},
      {0x0D, "\\r", 2},    {'"', "&quot;", 6}, {'&', "&amp;", 5},   {'\'', "&apos;", 6},
      {'<', "&lt;", 4},    {'>', "&gt;", 4},
   };
   for (const Entry& e : entries) {
      table.text[e.byte] = e.text;
      table.length[e.byte] = e.length;
   }
   return table;
}

constexpr EscapeTable kEscapes = makeEscapeTable();

}

/* The work area is written out whenever the next byte or replacement would
   take it past its size, and the rest at the end; runs of plain bytes are
   copied in blocks with the same result as byte by byte. */
int xerOutEscaped(XerOut* out, const char* value, size_t length) {
   const unsigned char* p = reinterpret_cast<const unsigned char*>(value);
   const unsigned char* end = p + length;
   char area[XER_TEXT_AREA_SIZE];
   size_t used = 0;
   while (p < end) {
      size_t need = kEscapes.length[*p];
      size_t run = 0;
      if (need == 0) {
         while (p + run < end && kEscapes.length[p[run]] == 0) run++;
         need = 1;
      }
      if (used + need > sizeof(area)) {
         int stat = xerOutPut(out, area, used);
         if (stat != RTS_OK) return stat;
         used = 0;
      }
      if (run == 0) {
         std::memcpy(area + used, kEscapes.text[*p], need);
         used += need;
         p++;
         continue;
      }
      while (run > 0) {
         if (used == sizeof(area)) {
            int stat = xerOutPut(out, area, used);
            if (stat != RTS_OK) return stat;
            used = 0;
         }
         size_t n = sizeof(area) - used < run ? sizeof(area) - used : run;
         std::memcpy(area + used, p, n);
         used += n;
         p += n;
         run -= n;
      }
   }
   return xerOutPut(out, area, used);
}
