/*
 * XER document frame: output set-up, the XML declaration, the end-of-document
 * check, line layout, and text copied unchanged.
 */
#include <cstring>

#include "rtContext.h"
#include "rtStream.h"
#include "xerEncOutput.h"
#include "xerEncode.h"

static const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

int xerSetEncBufPtr(ASN1CTXT* pctxt, ASN1OCTET* bufaddr, ASN1UINT bufsiz, ASN1BOOL noWhitespace) {
   int stat = rtInitContextBuffer(pctxt, bufaddr, bufsiz);
   if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
   /* A caller's buffer of size 0 has no first byte to terminate. */
   if (pctxt->buffer.size > 0) pctxt->buffer.data[0] = 0;
   pctxt->xerState = XERSTATE_DOCUMENT;
   if (noWhitespace) rtCtxtSetFlag(pctxt, CTXTF_XER_NOINDENT);
   return RTS_OK;
}

int xerEncStartDocument(ASN1CTXT* pctxt) {
   pctxt->xerIndentLevel = 0;
   pctxt->xerState = XERSTATE_DOCUMENT;
   return xerCopyText(pctxt, kDeclaration);
}

int xerEncEndDocument(ASN1CTXT* pctxt) {
   if (pctxt->stream != nullptr) return rtStreamBufFlush(pctxt);
   if (pctxt->xerIndentLevel != 0 || pctxt->xerState != XERSTATE_END_TAG)
      return LOG_ASN1ERR(pctxt, RTS_XML_STRUCTURE);
   static const ASN1OCTET kNul = 0;
   int stat = rtWriteBytes(pctxt, &kNul, 1);
   if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
   pctxt->buffer.byteIndex--;
   return RTS_OK;
}

int xerEncIndent(ASN1CTXT* pctxt) {
   size_t width = 1 + static_cast<size_t>(pctxt->xerIndentLevel) * XER_INDENT_WIDTH;
   return xerRunBatched(pctxt, width, [](XerOut* out) { return xerOutIndent(out); });
}

int xerEncNewLine(ASN1CTXT* pctxt) {
   return xerCopyText(pctxt, "\n");
}

int xerEncXmlCharData(ASN1CTXT* pctxt, const char* pvalue, int length) {
   if (pvalue == nullptr || length < 1) return RTS_OK;
   int stat = rtWriteBytes(pctxt, reinterpret_cast<const ASN1OCTET*>(pvalue), static_cast<size_t>(length));
   return stat == RTS_OK ? RTS_OK : LOG_ASN1ERR(pctxt, stat);
}

int xerCopyText(ASN1CTXT* pctxt, const char* text) {
   if (text == nullptr || *text == '\0') return RTS_OK;
   int stat = rtWriteBytes(pctxt, reinterpret_cast<const ASN1OCTET*>(text), std::strlen(text));
   return stat == RTS_OK ? RTS_OK : LOG_ASN1ERR(pctxt, stat);
}

int xerCopyText2(ASN1CTXT* pctxt, const char* text1, const char* text2) {
   int stat = xerCopyText(pctxt, text1);
   return stat == RTS_OK ? xerCopyText(pctxt, text2) : stat;
}

size_t xerTextLength(const char* text) {
   return text == nullptr ? 0 : std::strlen(text);
}
