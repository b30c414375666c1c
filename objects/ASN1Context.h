/*
 * The reference-counted context object and its smart pointer.
 *
 * Ownership: a message buffer holds one reference to its context and every
 * control object made on it holds another, so a decoded value (allocated from
 * that context's heap) lives until the last of them goes. A control object
 * does not own its buffer; the buffer must outlive it.
 */
#ifndef BLOBXML_ASN1CONTEXT_H
#define BLOBXML_ASN1CONTEXT_H

#include "asn1type.h"

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

   /* Counted by every ASN1CtxtPtr; the last _unref deletes the object. */
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

#endif
