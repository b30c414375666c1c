/*
 * Message buffer for XER encoding, which the XML writer appends to
 * (runtime-owned and growing, or the caller's fixed array).
 */
#ifndef BLOBXML_ASN1XERENCODEBUFFER_H
#define BLOBXML_ASN1XERENCODEBUFFER_H

#include <cstdio>

#include "ASN1MessageBuffer.h"

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

#endif
