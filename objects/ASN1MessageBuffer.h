/*
 * The message buffer interface and base class, and the bases of the BER and
 * XER buffer families. A buffer holds one reference to its context.
 */
#ifndef BLOBXML_ASN1MESSAGEBUFFER_H
#define BLOBXML_ASN1MESSAGEBUFFER_H

#include "ASN1Context.h"
#include "ASN1RTLException.h"
#include "asn1type.h"
#include "rtMemHeap.h"

class ASN1MessageBufferIF {
public:
   /* Buffer kinds; 2 and 3 are not used. */
   enum Type { BEREncode = 0, BERDecode = 1, XEREncode = 4, XERDecode = 5 };

   virtual ~ASN1MessageBufferIF() {}
   /* The context with one more reference. */
   virtual ASN1CtxtPtr getContext() = 0;
   virtual ASN1CTXT* getCtxtPtr() = 0;
   /* A new[] copy of the encoded message, or null. */
   virtual ASN1OCTET* getMsgCopy() { return nullptr; }
   virtual ASN1OCTET* getMsgPtr() { return nullptr; }
   /* Prepares the buffer for the next encode or decode. */
   virtual void init() {}
   virtual int initBuffer(ASN1MemBuf&) { return RTS_UNSUPPORTED; }
   virtual int initBuffer(unsigned short*) { return RTS_UNSUPPORTED; }
   virtual int initBuffer(char*) { return RTS_UNSUPPORTED; }
   virtual bool isA(Type bufferType) = 0;
};

class ASN1MessageBuffer : public ASN1MessageBufferIF {
public:
   /* A constructor of a message buffer failed with this status. */
   class RTLError : public ASN1RTLException {
   public:
      explicit RTLError(int status) : ASN1RTLException(status) {}
      virtual ~RTLError() {}
   };

   virtual ~ASN1MessageBuffer();
   ASN1MessageBuffer(const ASN1MessageBuffer&) = delete;
   ASN1MessageBuffer& operator=(const ASN1MessageBuffer&) = delete;

   ASN1CtxtPtr getContext() override { return ASN1CtxtPtr(mpContext); }
   ASN1CTXT* getCtxtPtr() override { return mpContext->getPtr(); }
   /* The start of the context's message buffer. */
   ASN1OCTET* getMsgPtr() override { return getCtxtPtr()->buffer.data; }

   using ASN1MessageBufferIF::initBuffer;
   /* Points the context buffer (not dynamic) at the memory buffer's bytes. */
   int initBuffer(ASN1MemBuf& memBuf) override;

protected:
   /* Creates the buffer's own context and holds one reference to it. */
   explicit ASN1MessageBuffer(Type bufferType);

   ASN1Context* mpContext;
   Type mBufferType;
};

class ASN1BERMessageBuffer : public ASN1MessageBuffer {
protected:
   explicit ASN1BERMessageBuffer(Type bufferType) : ASN1MessageBuffer(bufferType) {}
};

class ASN1XERMessageBuffer : public ASN1MessageBuffer {
protected:
   explicit ASN1XERMessageBuffer(Type bufferType) : ASN1MessageBuffer(bufferType) {}
};

#endif
