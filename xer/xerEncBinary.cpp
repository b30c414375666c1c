/*
 * XER OCTET STRING and BIT STRING values: upper-case hexadecimal octets,
 * and bits as "0"/"1" characters or in hexadecimal form.
 */
#include <cstring>

#include "rtContext.h"
#include "xerEncOutput.h"
#include "xerEncode.h"

static const char kHexFormAttr[] = "form=\"hex\"";

namespace {

/* The eight "0"/"1" characters of each octet, most significant bit first. */
struct BitTextTable {
   char text[256][8];
};

constexpr BitTextTable makeBitTextTable() {
   BitTextTable table{};
   for (int octet = 0; octet < 256; octet++)
      for (int bit = 0; bit < 8; bit++) table.text[octet][bit] = (octet >> (7 - bit)) & 1 ? '1' : '0';
   return table;
}

constexpr BitTextTable kBitText = makeBitTextTable();

}

/* Whole octets go in eight characters at a time. A stage takes them all
   in place; direct writes go through the work area, which holds a multiple
   of eight, so it still fills completely before each write. */
static int putBits(XerOut* out, ASN1UINT nbits, const ASN1OCTET* data) {
   static_assert(XER_BIN_AREA_SIZE % 8 == 0, "bit area must hold whole octets");
   if (out->staging) {
      ASN1OCTET* room = xerOutReserve(out, nbits);
      if (room == nullptr) return RTS_OK;
      for (ASN1UINT i = 0; i < nbits / 8; i++) std::memcpy(room + i * 8, kBitText.text[data[i]], 8);
      if (nbits % 8 != 0) std::memcpy(room + nbits / 8 * 8, kBitText.text[data[nbits / 8]], nbits % 8);
      return RTS_OK;
   }
   char area[XER_BIN_AREA_SIZE];
   size_t used = 0;
   for (ASN1UINT i = 0; i < nbits; i += 8) {
      if (used == sizeof(area)) {
         int stat = xerOutPut(out, area, used);
         if (stat != RTS_OK) return stat;
         used = 0;
      }
      ASN1UINT count = nbits - i < 8 ? nbits - i : 8;
      std::memcpy(area + used, kBitText.text[data[i / 8]], count);
      used += count;
   }
   return xerOutPut(out, area, used);
}

int xerEncHexStrValue(ASN1CTXT* pctxt, ASN1UINT numocts, const ASN1OCTET* data) {
   if (numocts > 0 && data == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return xerRunBatched(pctxt, static_cast<size_t>(numocts) * 2, [=](XerOut* out) {
      out->pctxt->xerState = XERSTATE_CONTENT;
      return xerOutHex(out, numocts, data);
   });
}

int xerEncBinStrValue(ASN1CTXT* pctxt, ASN1UINT nbits, const ASN1OCTET* data) {
   if (nbits > 0 && data == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return xerRunBatched(pctxt, nbits, [=](XerOut* out) {
      out->pctxt->xerState = XERSTATE_CONTENT;
      return putBits(out, nbits, data);
   });
}

int xerEncOctStr(ASN1CTXT* pctxt, ASN1UINT numocts, const ASN1OCTET* data, const char* elemName) {
   if (elemName == nullptr) elemName = "OCTET_STRING";
   if (numocts > 0 && data == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return xerRunBatched(pctxt, static_cast<size_t>(numocts) * 2, [=](XerOut* out) {
      if (numocts == 0) return xerOutStandaloneEmpty(out, elemName, nullptr);
      int stat = xerOutStartElement(out, elemName, nullptr);
      if (stat != RTS_OK) return stat;
      out->pctxt->xerState = XERSTATE_CONTENT;
      stat = xerOutHex(out, numocts, data);
      return stat == RTS_OK ? xerOutEndElement(out, elemName) : stat;
   });
}

int xerEncBitStr(ASN1CTXT* pctxt, ASN1UINT nbits, const ASN1OCTET* data, const char* elemName,
                 int outputType) {
   if (elemName == nullptr) elemName = "BIT_STRING";
   if (nbits > 0 && data == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   bool hex = outputType == XER_BITSTR_HEX;
   if (nbits == 0 && !hex && outputType != XER_BITSTR_BINARY) return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   ASN1UINT numocts = nbits / 8 + (nbits % 8 != 0);
   size_t minSize = hex ? static_cast<size_t>(numocts) * 2 : nbits;
   return xerRunBatched(pctxt, minSize, [=](XerOut* out) {
      const char* attributes = hex ? kHexFormAttr : nullptr;
      if (nbits == 0) return xerOutStandaloneEmpty(out, elemName, attributes);
      int stat = xerOutStartElement(out, elemName, attributes);
      if (stat != RTS_OK) return stat;
      if (!hex && outputType != XER_BITSTR_BINARY) return LOG_ASN1ERR(out->pctxt, RTS_BAD_ARGUMENT);
      out->pctxt->xerState = XERSTATE_CONTENT;
      stat = hex ? xerOutHex(out, numocts, data) : putBits(out, nbits, data);
      return stat == RTS_OK ? xerOutEndElement(out, elemName) : stat;
   });
}
