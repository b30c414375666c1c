/*
 * Growth of the front-to-back (XER) output buffer, and the bit length of an
 * octet.
 */
#ifndef BLOBXML_RTBUFFER_H
#define BLOBXML_RTBUFFER_H

#include "asn1type.h"

/* Smallest growth step of a dynamic output buffer. */
#define RT_BUFFER_GROW_MIN 16384u

/* Ensures nbytes more octets fit at buffer.byteIndex: flushes an attached
   stream first; grows a dynamic buffer by max(nbytes, 16384) in msgMemHeap.
   RTS_BUFFER_FULL for a full caller's buffer, RTS_NO_MEMORY when growth
   fails (the buffer is then dropped). Failures are recorded. */
int rtCheckBuffer(ASN1CTXT* pctxt, size_t nbytes);

/* 1 + position of the highest set bit (0x01 gives 1, 0x80 gives 8); 0 for 0. */
int rtOctetBitLen(ASN1OCTET octet);

#endif
