/*
 * Message buffers for XER: the encode buffer that the XML writer appends to
 * (runtime-owned and growing, or the caller's fixed array), and the decode
 * buffer that hands an XML text to a SAX reader.
 */
#ifndef BLOBXML_XERBUFFERS_H
#define BLOBXML_XERBUFFERS_H

#include <cstdio>

#include "asn1CppTypes.h"

class OSXMLReader;

class ASN1XERMessageBuffer : public ASN1MessageBuffer {
protected:
   explicit ASN1XERMessageBuffer(Type bufferType) : ASN1MessageBuffer(bufferType) {}
};

/* Every constructor throws RTLError when the buffer cannot be set up. */
class ASN1XEREncodeBuffer : public ASN1XERMessageBuffer {
public:
   /* A growing buffer, indented output. */
   ASN1XEREncodeBuffer();
   /* A growing buffer; compact output has no line feeds and no indentation. */
   explicit ASN1XEREncodeBuffer(ASN1OCTET compact);
   /* A growing buffer of size bytes (0: 16384) allocated from the message
      heap of shared (when not null), so the text outlives this buffer. */
   ASN1XEREncodeBuffer(ASN1OCTET compact, ASN1CTXT* shared, int size);
   /* The caller's fixed buffer, indented output. */
   ASN1XEREncodeBuffer(ASN1OCTET* buffer, int size);
   /* The caller's fixed buffer; a fragment has no XML declaration and no
      end-of-document step. */
   ASN1XEREncodeBuffer(ASN1OCTET* buffer, int size, ASN1OCTET compact, ASN1OCTET fragment);

   /* Empties the buffer for the next document. */
   void init() override;
   bool isA(Type bufferType) override { return bufferType == XEREncode; }

   /* Writes the text encoded so far; returns the count written, or -1 when
      the file is null or cannot be opened. */
   int write(FILE* file);
   int write(const char* fileName);
};

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
