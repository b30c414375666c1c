/*
 * Object identifier values with constructors, copy and comparison:
 * ASN1TObjId over ASN1OBJID (unsigned 32-bit arcs) and ASN1TObjId64 over
 * ASN1OID64 (signed 64-bit arcs). Counts above MAX_OID_ARCS are cut to it so
 * that a copy never reads or writes past the arc array.
 */
#ifndef BLOBXML_ASN1TOBJID_H
#define BLOBXML_ASN1TOBJID_H

#include "asn1type.h"

struct ASN1TObjId : public ASN1OBJID {
   /* No arcs. */
   ASN1TObjId();
   ASN1TObjId(unsigned char count, const ASN1UINT* arcs);
   ASN1TObjId(const ASN1OBJID& oid);
   ASN1TObjId(const ASN1TObjId& oid);

   ASN1TObjId& operator=(const ASN1OBJID& oid);
   ASN1TObjId& operator=(const ASN1TObjId& oid);
};

struct ASN1TObjId64 : public ASN1OID64 {
   /* No arcs. */
   ASN1TObjId64();
   ASN1TObjId64(unsigned char count, const ASN1INT64* arcs);
   ASN1TObjId64(const ASN1OID64& oid);
   ASN1TObjId64(const ASN1TObjId64& oid);

   ASN1TObjId64& operator=(const ASN1OID64& oid);
   ASN1TObjId64& operator=(const ASN1TObjId64& oid);
};

/* Same number of arcs and the same arcs in order; two empty identifiers are
   equal. */
bool operator==(const ASN1OBJID& lhs, const ASN1OBJID& rhs);
bool operator!=(const ASN1OBJID& lhs, const ASN1OBJID& rhs);
bool operator==(const ASN1OID64& lhs, const ASN1OID64& rhs);
bool operator!=(const ASN1OID64& lhs, const ASN1OID64& rhs);

#endif
