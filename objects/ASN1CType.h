/*
 * Control-class base: binds one value structure to a message buffer. A
 * control object holds one reference to its context; it does not own its
 * buffer, which must outlive it.
 */
#ifndef BLOBXML_ASN1CTYPE_H
#define BLOBXML_ASN1CTYPE_H

#include "ASN1Context.h"
#include "asn1type.h"

class ASN1MessageBufferIF;

/* The generated control classes override EncodeTo and DecodeFrom. */
class ASN1CType {
public:
   virtual ~ASN1CType() {}

   /* EncodeTo / DecodeFrom on the buffer given at construction (or the last
      one set); RTS_UNSUPPORTED when the object has no buffer. Results pass
      through: a status, or the encoded length for BER. */
   virtual int Encode();
   virtual int Decode();
   /* The base does nothing and returns 0. */
   virtual int EncodeTo(ASN1MessageBufferIF& msgBuf);
   virtual int DecodeFrom(ASN1MessageBufferIF& msgBuf);

   /* Remembers the buffer and takes over its context's memory heap, so that
      values decoded or copied afterwards live in the heap of the buffer in
      use. */
   void setMsgBuf(ASN1MessageBufferIF& msgBuf);

   ASN1CtxtPtr getContext() { return mpContext; }
   /* Null when the object has no context. */
   ASN1CTXT* getCtxtPtr() { return mpContext != nullptr ? mpContext->getPtr() : nullptr; }
   ASN1MessageBufferIF* getMsgBuf() { return mpMsgBuf; }

protected:
   /* A new context of its own, no buffer. */
   ASN1CType();
   /* The buffer's context (one more reference) and the buffer. */
   explicit ASN1CType(ASN1MessageBufferIF& msgBuf);
   /* The given context (one more reference; null allowed), no buffer. */
   explicit ASN1CType(ASN1Context* context);
   /* Shares the other object's context and buffer. */
   ASN1CType(const ASN1CType& other) = default;
   ASN1CType& operator=(const ASN1CType& other) = default;

   ASN1CtxtPtr mpContext;
   ASN1MessageBufferIF* mpMsgBuf;
};

#endif
