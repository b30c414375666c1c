/*
 * XER decode buffer: holds the XML text for a SAX reader, and serves the
 * character data of one element to the XER value decoders.
 */
#include "ASN1XERDecodeBuffer.h"

#include "OSRTSAXException.h"
#include "OSXMLReader.h"
#include "rtContext.h"
#include "xerEncode.h"

ASN1XERDecodeBuffer::ASN1XERDecodeBuffer(const ASN1OCTET* xmlText, unsigned int length,
                                         ASN1OCTET fragment, ASN1Context* shared)
   : ASN1XERMessageBuffer(XERDecode), mpXmlText(xmlText), mXmlLength(length) {
   if (shared != nullptr && shared != mpContext) {
      shared->_ref();
      mpContext->_unref();
      mpContext = shared;
   }
   if (fragment) rtCtxtSetFlag(getCtxtPtr(), CTXTF_XER_FRAGMENT);
}

int ASN1XERDecodeBuffer::decodeXML(OSXMLReader* reader) {
   reader->parse(reinterpret_cast<const char*>(mpXmlText), static_cast<int>(mXmlLength));
   return getCtxtPtr()->errInfo.status;
}

int ASN1XERDecodeBuffer::initBuffer(char* text) {
   if (text == nullptr) return RTS_BAD_ARGUMENT;
   return rtInitContextBuffer(getCtxtPtr(), reinterpret_cast<ASN1OCTET*>(text),
                              static_cast<ASN1UINT>(xerTextLength(text) + 1));
}

void ASN1XERDecodeBuffer::throwSAXException(int status, const char* message, int line) {
   throw OSRTSAXExceptionImpl(message, status, nullptr, line);
}
