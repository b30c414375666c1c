/*
 * Message buffer for XER decoding: hands an XML text to a SAX reader, and
 * serves the character data of one element to the XER value decoders.
 */
#ifndef BLOBXML_ASN1XERDECODEBUFFER_H
#define BLOBXML_ASN1XERDECODEBUFFER_H

#include "ASN1MessageBuffer.h"

class OSXMLReader;

class ASN1XERDecodeBuffer : public ASN1XERMessageBuffer {
public:
   /* Stores the text; nothing is parsed yet. With shared set the buffer
      works on that context (one reference taken) instead of its own. A
      fragment sets CTXTF_XER_FRAGMENT on the context. */
   ASN1XERDecodeBuffer(const ASN1OCTET* xmlText, unsigned int length, ASN1OCTET fragment = 0,
                       ASN1Context* shared = nullptr);

   bool isA(Type bufferType) override { return bufferType == XERDecode; }

   /* Has the reader parse the whole text in one call and returns the status
      that the handlers recorded in the context (0 when none). XML syntax
      errors leave the reader as its exception. */
   int decodeXML(OSXMLReader* reader);

   using ASN1MessageBuffer::initBuffer;
   /* Points the context buffer at the text, its terminating NUL included. */
   int initBuffer(char* text) override;
   int initBuffer(unsigned short*) override { return RTS_UNSUPPORTED; }

   /* Throws OSRTSAXExceptionImpl with the message, status and line. */
   virtual void throwSAXException(int status, const char* message, int line);

   const ASN1OCTET* getXmlText() const { return mpXmlText; }
   unsigned int getXmlLength() const { return mXmlLength; }

private:
   const ASN1OCTET* mpXmlText;
   unsigned int mXmlLength;
};

#endif
