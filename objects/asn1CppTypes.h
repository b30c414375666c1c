/*
 * Object layer base: the reference-counted context object and its smart
 * pointer, the message buffer interface and base class, the control-class
 * base ASN1CType, the exceptions of the object layer, and ASN1TPDU, the base
 * of value structures that remember the context owning their parts.
 *
 * Ownership: a message buffer holds one reference to its context and every
 * control object made on it holds another, so a decoded value (allocated from
 * that context's heap) lives until the last of them goes. A control object
 * does not own its buffer; the buffer must outlive it.
 */
#ifndef BLOBXML_ASN1CPPTYPES_H
#define BLOBXML_ASN1CPPTYPES_H

#include "asn1type.h"
#include "rtMemHeap.h"

/* ---- exceptions --------------------------------------------------------- */

/* A failure status from a stream operator (<<, >>) or, as the base of
   ASN1MessageBuffer::RTLError, from a constructor. Not a std::exception. */
class ASN1RTLException {
public:
   explicit ASN1RTLException(int status) : mStatus(status) {}
   virtual ~ASN1RTLException() {}

   int getStatus() const { return mStatus; }

private:
   int mStatus;
};

/* ---- the context object ------------------------------------------------- */

/* The context record made reference-counted so that buffers, control objects
   and value structures can share it. Created with new; the count starts at 0
   and the object deletes itself when _unref brings it back to 0. */
class ASN1Context {
public:
   /* Throws ASN1MessageBuffer::RTLError when rtInitContext fails. */
   ASN1Context();
   ~ASN1Context();
   ASN1Context(const ASN1Context&) = delete;
   ASN1Context& operator=(const ASN1Context&) = delete;

   ASN1CTXT* getPtr() { return &mCtxt; }

   void _ref() { mRefCount++; }
   void _unref();
   ASN1UINT getRefCount() const { return mRefCount; }

   /* "ASN.1 ERROR: Status %d\n" with the first recorded status, on standard
      output; returns the count printed. */
   int PrintErrorInfo();

private:
   ASN1CTXT mCtxt;
   ASN1UINT mRefCount;
};

/* Holds one reference to a context (or null). */
class ASN1CtxtPtr {
public:
   ASN1CtxtPtr(ASN1Context* context = nullptr) : mPointer(context) {
      if (mPointer != nullptr) mPointer->_ref();
   }
   ASN1CtxtPtr(const ASN1CtxtPtr& other) : ASN1CtxtPtr(other.mPointer) {}
   ~ASN1CtxtPtr() {
      if (mPointer != nullptr) mPointer->_unref();
   }

   ASN1CtxtPtr& operator=(const ASN1CtxtPtr& other) { return *this = other.mPointer; }
   /* References the new context before releasing the old one, so assigning
      a pointer to the context it already holds is harmless. */
   ASN1CtxtPtr& operator=(ASN1Context* context) {
      if (context != nullptr) context->_ref();
      if (mPointer != nullptr) mPointer->_unref();
      mPointer = context;
      return *this;
   }

   ASN1Context* operator->() const { return mPointer; }
   ASN1Context& operator*() const { return *mPointer; }
   operator ASN1Context*() const { return mPointer; }

private:
   ASN1Context* mPointer;
};

/* ---- message buffers ---------------------------------------------------- */

class ASN1CType;

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

/* ---- control-class base ------------------------------------------------- */

/* Binds one value structure to a message buffer; the generated control
   classes override EncodeTo and DecodeFrom. */
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

/* ---- value structure base ----------------------------------------------- */

/* First part of every value structure that has a free routine: the context
   whose heap owns the value's dynamic parts, null while the value lives
   inside another value or no control object has bound it. */
class ASN1TPDU {
public:
   ASN1CtxtPtr getContext() const { return mpContext; }
   void setContext(ASN1Context* context) { mpContext = context; }

protected:
   ASN1CtxtPtr mpContext;
};

#endif
