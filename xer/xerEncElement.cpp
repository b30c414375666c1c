/*
 * XER element markup: start, end and empty-element tags, named values,
 * BOOLEAN, NULL and open types.
 */
#include "rtContext.h"
#include "xerEncOutput.h"
#include "xerEncode.h"

int xerEncStartElement(ASN1CTXT* pctxt, const char* elemName, const char* attributes) {
   return xerRunBatched(pctxt, 0, [=](XerOut* out) {
      return xerOutStartElement(out, elemName, attributes);
   });
}

int xerEncEndElement(ASN1CTXT* pctxt, const char* elemName) {
   return xerRunBatched(pctxt, 0, [=](XerOut* out) { return xerOutEndElement(out, elemName); });
}

int xerEncEmptyElement(ASN1CTXT* pctxt, const char* elemName, const char* attributes) {
   return xerRunBatched(pctxt, 0, [=](XerOut* out) {
      return xerOutEmptyElement(out, elemName, attributes);
   });
}

int xerEncNamedValue(ASN1CTXT* pctxt, const char* valueId, const char* elemName,
                     const char* attributes) {
   return xerRunBatched(pctxt, 0, [=](XerOut* out) {
      int stat = xerOutStartElement(out, elemName, attributes);
      if (stat != RTS_OK) return stat;
      out->pctxt->xerState = XERSTATE_CONTENT;
      stat = xerOutEmptyElement(out, valueId, nullptr);
      return stat == RTS_OK ? xerOutEndElement(out, elemName) : stat;
   });
}

int xerEncBool(ASN1CTXT* pctxt, ASN1BOOL value, const char* elemName) {
   if (elemName == nullptr) elemName = "BOOLEAN";
   return xerRunBatched(pctxt, 0, [=](XerOut* out) {
      int stat = xerOutStartElement(out, elemName, nullptr);
      if (stat != RTS_OK) return stat;
      out->pctxt->xerState = XERSTATE_CONTENT;
      stat = xerOutText(out, value ? "<true/>" : "<false/>");
      return stat == RTS_OK ? xerOutEndElement(out, elemName) : stat;
   });
}

int xerEncNull(ASN1CTXT* pctxt, const char* elemName) {
   if (elemName == nullptr) elemName = "NULL";
   return xerRunBatched(pctxt, 0, [=](XerOut* out) {
      return xerOutStandaloneEmpty(out, elemName, nullptr);
   });
}

int xerEncOpenType(ASN1CTXT* pctxt, ASN1UINT numocts, const ASN1OCTET* data, const char* elemName) {
   if (numocts > 0 && data == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return xerRunBatched(pctxt, numocts, [=](XerOut* out) {
      if (elemName == nullptr) {
         int stat = xerOutIndent(out);
         if (stat != RTS_OK) return stat;
         out->pctxt->xerState = XERSTATE_START_TAG;
         stat = xerOutPut(out, data, numocts);
         if (stat != RTS_OK) return stat;
         out->pctxt->xerState = XERSTATE_END_TAG;
         return RTS_OK;
      }
      int stat = xerOutStartElement(out, elemName, nullptr);
      if (stat == RTS_OK) stat = xerOutPut(out, data, numocts);
      return stat == RTS_OK ? xerOutEndElement(out, elemName) : stat;
   });
}
