/*
 * Base of the value structures that remember the context owning their parts.
 */
#ifndef BLOBXML_ASN1TPDU_H
#define BLOBXML_ASN1TPDU_H

#include "ASN1Context.h"

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
