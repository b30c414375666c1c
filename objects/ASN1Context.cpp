/*
 * The reference-counted context object.
 */
#include "ASN1Context.h"

#include "ASN1MessageBuffer.h"
#include "rtContext.h"

ASN1Context::ASN1Context() : mRefCount(0) {
   int stat = rtInitContext(&mCtxt, nullptr);
   if (stat != RTS_OK) {
      /* A failed init leaves both heap slots null; freeing only clears the
         marker, so a stale record never looks initialised. */
      rtFreeContext(&mCtxt);
      throw ASN1MessageBuffer::RTLError(stat);
   }
}

ASN1Context::~ASN1Context() { rtFreeContext(&mCtxt); }

void ASN1Context::_unref() {
   if (--mRefCount == 0) delete this;
}

int ASN1Context::PrintErrorInfo() { return rtErrPrint(&mCtxt.errInfo); }
