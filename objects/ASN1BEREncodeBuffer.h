/*
 * Message buffer for BER/DER encoding, written back to front (runtime-owned
 * and growing, or the caller's fixed array).
 */
#ifndef BLOBXML_ASN1BERENCODEBUFFER_H
#define BLOBXML_ASN1BERENCODEBUFFER_H

#include "ASN1MessageBuffer.h"

class ASN1CType;

class ASN1BEREncodeBuffer : public ASN1BERMessageBuffer {
public:
   /* A runtime-owned buffer of 16384 bytes that grows as needed. */
   ASN1BEREncodeBuffer();
   /* The caller's fixed buffer; an encoding that does not fit fails with
      RTS_BUFFER_FULL. Both forms throw RTLError when the set-up fails. */
   ASN1BEREncodeBuffer(ASN1OCTET* buffer, int size);

   /* A new[] copy of the encoded message (the caller frees it with
      delete[]); null when the buffer has no storage. */
   ASN1OCTET* getMsgCopy() override;
   /* The first octet of the encoded message; it ends just before the
      buffer's last octet. */
   ASN1OCTET* getMsgPtr() override;
   /* Octets encoded so far. */
   int getMsgLen();
   /* Empties the buffer for the next message. */
   void init() override;
   bool isA(Type bufferType) override { return bufferType == BEREncode; }

   /* Sets the buffer up again (null: runtime-owned); returns the status. */
   int setBuffer(ASN1OCTET* buffer, int size);

   /* Encodes the object here; a negative result throws ASN1RTLException. */
   ASN1BEREncodeBuffer& operator<<(ASN1CType& object);
};

#endif
